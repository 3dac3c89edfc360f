#include "ui/shell/CCommandRouter.h"

#include "admin/CFolderChgLogic.h"
#include "admin/CFolderDwnLogic.h"
#include "admin/CFolderSetLogic.h"
#include "link/CFtpMng.h"
#include "link/CLinkController.h"
#include "operations/CDownKindSetLogic.h"
#include "operations/COperationTexts.h"
#include "operations/CSelDownLogic.h"
#include "operations/CVoiceDownload.h"
#include "platform/CUserInterface.h"
#include "store/FILESTS_INFO.h"
#include "ui/admin/CFolderChgDlg.h"
#include "ui/admin/CFolderDwnDlg.h"
#include "ui/admin/CFolderSetDlg.h"
#include "ui/link/CLoginDlg.h"
#include "ui/link/CRecomDlg.h"
#include "ui/list/CChildFrame.h"
#include "ui/list/CDataListCtrl.h"
#include "ui/list/CListDispView.h"
#include "ui/operations/CDownKindSetDlg.h"
#include "ui/operations/CMsgOpsCommand.h"
#include "ui/operations/CSelDownDlg.h"
#include "ui/shell/CMainFrame.h"
#include "ui/voice/CWavFileDelWnd.h"
#include "voice/CVoiceCommands.h"
#include "voice/CWavFileDelDlg.h"

#include <QCoreApplication>

using C = CMainFrameLogic;

CCommandRouter::CCommandRouter(CMainFrame& frame, CUserInterface& ui)
    : QObject(&frame), m_frame(frame), m_ui(ui), m_link(std::make_unique<CLinkController>(frame.doc(), ui)) {
    m_link->askReconnect = [this] { return CRecomDlg::ask(&m_frame); };
    m_link->onExitRequested = [this] { m_frame.close(); };
    m_link->onRepaint = [this] {
        m_frame.updateCommandStates();
        m_frame.update();
    };
    m_frame.commandHook = [this](C::Command cmd) { return handle(cmd); };
    m_frame.quitLink = [this] { m_link->shutdown(); };
    m_frame.deleteWavQueue = [this](QStringList& queue) { CVoiceCommands::DeleteQueuedWavFiles(m_ui, queue); };
}

CCommandRouter::~CCommandRouter() {
    m_frame.commandHook = nullptr;
    m_frame.quitLink = nullptr;
    m_frame.deleteWavQueue = nullptr;
}

bool CCommandRouter::handle(C::Command cmd) {
    switch (cmd) {
    case C::CmdLogin:
        login();
        return true;
    case C::CmdLogout:
        logout();
        return true;
    case C::CmdFolderDownload:
        folderDownload();
        return true;
    case C::CmdBulkDownload:
        boxDownload(true);
        return true;
    case C::CmdSelDownload:
        boxDownload(false);
        return true;
    case C::CmdVoiceDownload:
        voiceDownload();
        return true;
    case C::CmdFolderName:
        folderChange();
        return true;
    case C::CmdStartFolder:
        startFolder();
        return true;
    case C::CmdConvert:
        convert();
        return true;
    case C::CmdPlay:
        play();
        return true;
    case C::CmdWavDelete:
        wavDelete();
        return true;
    case C::CmdDelete:
        CMsgOpsCommand::Delete(m_frame, m_ui, m_link->ftp());
        return true;
    case C::CmdMoveCopy:
        CMsgOpsCommand::MoveCopy(m_frame, m_ui);
        return true;
    default:
        return false;
    }
}

void CCommandRouter::login() {
    CLoginDlg dlg(*m_link, &m_frame);
    if (dlg.exec() == QDialog::Accepted) {
        m_link->loginSucceeded();
    }
    m_frame.updateCommandStates();
}

void CCommandRouter::logout() {
    m_link->logout();
    m_frame.updateCommandStates();
    m_frame.update();
}

void CCommandRouter::prepareDownload() {
    m_frame.logic().takeFolderNameFromField();
    if (CFtpMng* ftp = m_link->ftp()) {
        ftp->setConvertOnDownload(m_frame.doc().downConv == 1);
    }
}

void CCommandRouter::folderDownload() {
    CFtpMng* ftp = m_link->ftp();
    CFolderDwnLogic logic(m_ui, m_frame.doc(), [ftp](QString& root, QString& rusuroku, QString& naisen) {
        return ftp ? ftp->GetUnitTree(root, rusuroku, naisen) : 0;
    });
    CFolderDwnDlg dlg(logic, CFtpMng::programDirectory(), &m_frame);
    dlg.setUserInterface(&m_ui);
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    m_frame.closeAllListWindows();
    m_frame.setCurrentFolder(m_frame.doc().downloadFolderText);
}

void CCommandRouter::boxDownload(bool bulk) {
    prepareDownload();
    CFtpMng* ftp = m_link->ftp();
    if (!ftp) {
        return;
    }
    bool ok = false;
    if (bulk) {
        CDownKindSetLogic logic(m_ui, m_frame.doc(), *ftp);
        CDownKindSetDlg dlg(logic, &m_frame);
        ok = dlg.exec() == QDialog::Accepted;
    } else {
        CSelDownLogic logic(m_ui, m_frame.doc(), *ftp);
        CSelDownDlg dlg(logic, &m_frame);
        ok = dlg.run() == QDialog::Accepted;
    }
    if (ok) {
        m_frame.reloadAllLists(1, 0);
        m_frame.refreshStatus(true);
    }
}

void CCommandRouter::voiceDownload() {
    CChildFrame* active = m_frame.activeList();
    if (!active) {
        return;
    }
    prepareDownload();
    const QString name = m_frame.doc().folderName;
    if (name.isEmpty()) {
        return;
    }
    if (m_ui.messageBox(COperationTexts::DownloadConfirm(name), COperationTexts::DownloadConfirmCaption(),
                        MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes) {
        return;
    }
    CFtpMng* ftp = m_link->ftp();
    if (m_frame.doc().loggedIn != 1 || !ftp) {
        return;
    }
    QStringList paths;
    for (const FILESTS_INFO& r : selectedRecords()) {
        paths << FILESTS_INFO::text(r.filePath);
    }
    if (CVoiceDownload::RunVoiceDownload(m_ui, *ftp, paths)) {
        active->view()->reload(1, 0);
        m_frame.refreshStatus(true);
    }
}

void CCommandRouter::folderChange() {
    CFolderChgLogic logic(m_frame.doc());
    CFolderChgDlg dlg(logic, m_ui, &m_frame);
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    const QString before = m_frame.logic().folderField();
    const QString after = C::folderFieldText(m_frame.doc().folder, m_frame.doc().folderName);
    if (after != before) {
        m_frame.closeAllListWindows();
    }
    m_frame.logic().setFolderField(after);
    m_frame.refreshFields();
    m_frame.updateCommandStates();
}

void CCommandRouter::startFolder() {
    CFolderSetLogic logic(m_ui, m_frame.doc());
    CFolderSetDlg dlg(logic, m_frame.doc().folder, &m_frame);
    dlg.exec();
}

std::vector<FILESTS_INFO> CCommandRouter::selectedRecords() const {
    std::vector<FILESTS_INFO> out;
    CChildFrame* active = m_frame.activeList();
    if (!active) {
        return out;
    }
    const CListModel& model = active->view()->model();
    for (int row : active->view()->list()->selectedRowNumbers()) {
        if (row >= 0 && row < model.rowCount()) {
            out.push_back(model.recordAt(row));
        }
    }
    return out;
}

void CCommandRouter::convert() {
    if (!m_frame.activeList()) {
        return;
    }
    if (m_ui.messageBox(QStringLiteral("変換します。よろしいですか？"), QStringLiteral("変換の確認"), MsgIcon::Question,
                        MsgButtons::YesNo) != MsgResult::Yes) {
        return;
    }
    CVoiceCommands::Convert(m_ui, selectedRecords());
}

void CCommandRouter::play() {
    CChildFrame* active = m_frame.activeList();
    if (!active) {
        return;
    }
    std::vector<FILESTS_INFO> rows = selectedRecords();
    if (rows.size() != 1) {
        return;
    }
    if (CVoiceCommands::Play(m_ui, rows[0], m_frame.doc().convDel == 1, m_frame.wavDeleteQueue) == 1) {
        active->view()->reload(1, 0);
        m_frame.refreshStatus(false);
    }
}

void CCommandRouter::wavDelete() {
    CWavFileDelDlg logic(m_ui, m_frame.doc().currentFolderPath());
    CWavFileDelWnd dlg(logic, &m_frame);
    dlg.run();
}
