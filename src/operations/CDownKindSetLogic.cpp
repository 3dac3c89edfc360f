#include "operations/CDownKindSetLogic.h"

#include "settings/CKeldaSettings.h"

CDownKindSetLogic::Outcome CDownKindSetLogic::download(CBoxDownload::Kind kind, const std::function<void()>& hide) {
    if (!confirmed()) {
        return Stay;
    }
    run(
        kind, true,
        [this] {
            const QString folder = CBoxDownload::DownloadFolderPath(m_doc.rootWithSlash(), m_doc.folderName);
            return CBoxDownload::BulkBoxes(folder);
        },
        hide);
    return EndOk;
}
