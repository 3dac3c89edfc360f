#include "operations/CDownKindSetLogic.h"

#include "settings/CKeldaSettings.h"

DlgOutcome CDownKindSetLogic::download(CBoxDownload::Kind kind, const std::function<void()>& hide) {
    if (!confirmed()) {
        return DlgOutcome::Stay;
    }
    run(
        kind, true,
        [this] {
            const QString folder = CBoxDownload::DownloadFolderPath(m_doc.rootWithSlash(), m_doc.folderName);
            return CBoxDownload::BulkBoxes(folder);
        },
        hide);
    return DlgOutcome::EndOk;
}
