#include "operations/CDownKindSetLogic.h"

#include "operations/CBoxDownload.h"
#include "operations/COperationTexts.h"
#include "platform/CUserInterface.h"
#include "settings/CKeldaSettings.h"

void CDownKindSetLogic::tick() {
    if (m_doc.loggedIn != 1) {
        m_enabled = false;
    }
}

CDownKindSetLogic::Outcome CDownKindSetLogic::download(CBoxDownload::Kind kind, const std::function<void()>& hide) {
    if (!m_enabled || m_doc.folderName.isEmpty()) {
        return Stay;
    }
    if (m_ui.messageBox(COperationTexts::DownloadConfirm(m_doc.folderName), COperationTexts::DownloadConfirmCaption(),
                        MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes) {
        return Stay;
    }
    if (hide) {
        hide();
    }
    // Hiding the dialog ends its hold on the main window; without this a second download could be started
    // on the same connection while this one runs.
    m_ui.setMainWindowEnabled(false);
    const QString folder = CBoxDownload::DownloadFolderPath(m_doc.rootWithSlash(), m_doc.folderName);
    m_result = CBoxDownload::RunBoxDownload(m_ui, m_unit, kind, true, CBoxDownload::BulkBoxes(folder));
    m_ui.setMainWindowEnabled(true);
    m_ui.activateMainWindow();
    return EndOk;
}
