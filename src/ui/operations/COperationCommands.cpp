#include "ui/operations/COperationCommands.h"

#include "link/CFtpMng.h"
#include "link/CLinkController.h"
#include "operations/CDownKindSetLogic.h"
#include "operations/COperationTexts.h"
#include "operations/CSelDownLogic.h"
#include "operations/CVoiceDownload.h"
#include "platform/CUserInterface.h"
#include "shell/CCommandRules.h"
#include "store/FILESTS_INFO.h"
#include "ui/list/CChildFrame.h"
#include "ui/list/CListDispView.h"
#include "ui/operations/CDownKindSetDlg.h"
#include "ui/operations/CMsgOpsCommand.h"
#include "ui/operations/CSelDownDlg.h"
#include "ui/shell/CMainFrame.h"

using C = CMainFrameLogic;
using R = CCommandRules;

COperationCommands::COperationCommands(CMainFrame& frame, CLinkController& link) : m_frame(frame), m_link(link) {
    CCommandTable& t = m_frame.commands();
    t.add(C::CmdBulkDownload, &R::loggedInToDownloadFolder, [this] { boxDownload(true); });
    t.add(C::CmdSelDownload, &R::loggedInToDownloadFolder, [this] { boxDownload(false); });
    t.add(C::CmdVoiceDownload, &R::loggedInWithInfoOnlyRows, [this] { voiceDownload(); });
    t.add(C::CmdDelete, &R::rowsSelected, [this] { CMsgOpsCommand::Delete(m_frame, m_frame.ui(), m_link.ftp()); });
    // Like the other commands on the folder it works in, it takes the folder name from the field first.
    t.add(C::CmdMoveCopy, &R::movableSelected, [this] {
        m_frame.logic().takeFolderNameFromField();
        CMsgOpsCommand::MoveCopy(m_frame, m_frame.ui());
    });
}

void COperationCommands::prepareDownload() {
    m_frame.logic().takeFolderNameFromField();
    if (CFtpMng* ftp = m_link.ftp()) {
        ftp->setConvertOnDownload(m_frame.doc().downConv == 1);
    }
}

void COperationCommands::boxDownload(bool bulk) {
    prepareDownload();
    CFtpMng* ftp = m_link.ftp();
    if (!ftp) {
        return;
    }
    bool ok = false;
    if (bulk) {
        CDownKindSetLogic logic(m_frame.ui(), m_frame.doc(), *ftp);
        CDownKindSetDlg dlg(logic, &m_frame);
        ok = dlg.exec() == QDialog::Accepted;
    } else {
        CSelDownLogic logic(m_frame.ui(), m_frame.doc(), *ftp);
        CSelDownDlg dlg(logic, &m_frame);
        ok = dlg.run() == DlgOutcome::EndOk;
    }
    if (ok) {
        m_frame.reloadAllLists(CListModel::Sort::Keep, CListModel::Columns::Same);
        m_frame.refreshStatus(true);
    }
}

void COperationCommands::voiceDownload() {
    m_frame.logic().takeFolderNameFromField();
    CChildFrame* active = m_frame.activeList();
    if (!active) {
        return;
    }
    prepareDownload();
    const QString name = m_frame.doc().folderName;
    if (name.isEmpty()) {
        return;
    }
    CUserInterface& ui = m_frame.ui();
    if (ui.messageBox(COperationTexts::DownloadConfirm(name), COperationTexts::DownloadConfirmCaption(),
                      MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes) {
        return;
    }
    CFtpMng* ftp = m_link.ftp();
    if (m_frame.doc().loggedIn != 1 || !ftp) {
        return;
    }
    QStringList paths;
    for (const FILESTS_INFO& r : m_frame.selectedRecords()) {
        paths << FILESTS_INFO::text(r.filePath);
    }
    if (CVoiceDownload::RunVoiceDownload(ui, *ftp, paths).reload) {
        active->view()->reload(CListModel::Sort::Keep, CListModel::Columns::Same);
        m_frame.refreshStatus(true);
    }
}
