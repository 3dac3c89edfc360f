#include "operations/CDownloadStartLogic.h"

#include "operations/COperationTexts.h"
#include "platform/CUserInterface.h"
#include "settings/CKeldaSettings.h"

void CDownloadStartLogic::tick() {
    if (m_doc.loggedIn != 1) {
        m_enabled = false;
    }
}

bool CDownloadStartLogic::confirmed() {
    if (!m_enabled || m_doc.folderName.isEmpty()) {
        return false;
    }
    return m_ui.messageBox(COperationTexts::DownloadConfirm(m_doc.folderName),
                           COperationTexts::DownloadConfirmCaption(), MsgIcon::Question,
                           MsgButtons::YesNo) == MsgResult::Yes;
}

void CDownloadStartLogic::run(CBoxDownload::Kind kind, bool bulk,
                              const std::function<QList<CBoxDownload::Box>()>& boxes,
                              const std::function<void()>& hide) {
    if (hide) {
        hide();
    }
    // Hiding the dialog ends its hold on the main window; without this a second download could be started
    // on the same connection while this one runs.
    m_ui.setMainWindowEnabled(false);
    m_result = CBoxDownload::RunBoxDownload(m_ui, m_unit, kind, bulk, boxes(), m_includeDeletedOnPc);
    m_ui.setMainWindowEnabled(true);
    m_ui.activateMainWindow();
}
