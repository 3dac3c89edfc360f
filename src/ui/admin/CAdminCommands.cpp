#include "ui/admin/CAdminCommands.h"

#include "admin/CAdminTexts.h"
#include "admin/CBoxFldNameChgLogic.h"
#include "admin/CBoxNameChgLogic.h"
#include "admin/CExportSetLogic.h"
#include "admin/CFolderChgLogic.h"
#include "admin/CFolderDwnLogic.h"
#include "admin/CFolderSetLogic.h"
#include "admin/CImportSetLogic.h"
#include "admin/CMakeBoxFldLogic.h"
#include "link/CFtpMng.h"
#include "link/CLinkController.h"
#include "operations/CFolderCheckLogic.h"
#include "platform/CUserInterface.h"
#include "shell/CCommandRules.h"
#include "ui/admin/CBoxFldNameChgDlg.h"
#include "ui/admin/CBoxNameChgDlg.h"
#include "ui/admin/CExportSetDlg.h"
#include "ui/admin/CFolderCheckWnd.h"
#include "ui/admin/CFolderChgDlg.h"
#include "ui/admin/CFolderDwnDlg.h"
#include "ui/admin/CFolderSetDlg.h"
#include "ui/admin/CImportSetDlg.h"
#include "ui/admin/CMakeBoxFldDlg.h"
#include "ui/list/CChildFrame.h"
#include "ui/list/CListDispView.h"
#include "ui/shell/CMainFrame.h"

using C = CMainFrameLogic;
using R = CCommandRules;

CAdminCommands::CAdminCommands(CMainFrame& frame, CLinkController& link) : m_frame(frame), m_link(link) {
    CCommandTable& t = m_frame.commands();
    t.add(C::CmdFolderDownload, &R::always, [this] { folderDownload(); });
    t.add(C::CmdFolderName, &R::always, [this] { folderChange(); });
    t.add(C::CmdStartFolder, &R::always, [this] { startFolder(); });
    t.add(C::CmdBoxName, &R::folderHasBoxFolders, [this] { boxNames(); });
    t.add(C::CmdMakeBoxFolder, &R::folderHasBoxFolders, [this] { makeBoxFolder(); });
    t.add(C::CmdRenameBoxFolder, &R::userMadeBoxFolderPresent, [this] { renameBoxFolders(); });
    t.add(C::CmdExport, &R::listActive, [this] { exportList(); });
    t.add(C::CmdImport, &R::folderHasBoxFolders, [this] { importNames(); });
    t.add(C::CmdCheckFolder, &R::folderHasBoxFolders, [this] { checkFolder(); });
}

void CAdminCommands::folderDownload() {
    CFtpMng* ftp = m_link.ftp();
    CFolderDwnLogic logic(m_frame.ui(), m_frame.doc(), [ftp](QString& root, QString& rusuroku, QString& naisen) {
        return ftp && ftp->GetUnitTree(root, rusuroku, naisen).result == UnitResult::Done;
    });
    CFolderDwnDlg dlg(logic, CFtpMng::programDirectory(), &m_frame);
    dlg.setUserInterface(&m_frame.ui());
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    m_frame.closeAllListWindows();
    m_frame.setCurrentFolder(m_frame.doc().downloadFolderText);
}

void CAdminCommands::folderChange() {
    CFolderChgLogic logic(m_frame.doc());
    CFolderChgDlg dlg(logic, m_frame.ui(), &m_frame);
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

void CAdminCommands::startFolder() {
    CFolderSetLogic logic(m_frame.ui(), m_frame.doc());
    CFolderSetDlg dlg(logic, m_frame.doc().folder, &m_frame);
    dlg.exec();
}

void CAdminCommands::boxNames() {
    CBoxNameChgLogic logic(m_frame.ui(), m_frame.doc());
    if (logic.open() != CBoxNameChgLogic::Open::Ready) {
        return;
    }
    CBoxNameChgDlg dlg(logic, &m_frame);
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    if (logic.failures().isEmpty()) {
        m_frame.ui().messageBox(CAdminTexts::BoxNameDone(), CAdminTexts::BoxNameDoneCaption(), MsgIcon::Information);
    } else {
        m_frame.ui().messageBox(CAdminTexts::BoxNameFailed(logic.failures()), CAdminTexts::ErrorCaption(),
                                MsgIcon::Exclamation);
    }
    m_frame.reloadAllLists(CListModel::Sort::Keep, CListModel::Columns::Same);
}

void CAdminCommands::makeBoxFolder() {
    CMakeBoxFldLogic logic(m_frame.ui(), m_frame.doc());
    CMakeBoxFldDlg dlg(logic, &m_frame);
    if (dlg.exec() == QDialog::Accepted) {
        m_frame.ui().messageBox(CAdminTexts::MakeDone(), CAdminTexts::MakeDoneCaption(), MsgIcon::Information);
    }
}

void CAdminCommands::renameBoxFolders() {
    CBoxFldNameChgLogic logic(m_frame.ui(), m_frame.doc());
    if (logic.open() != CBoxFldNameChgLogic::Open::Ready) {
        return;
    }
    CBoxFldNameChgDlg dlg(logic, &m_frame);
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    // A folder that kept its old name is said so; the completion message would claim otherwise.
    if (logic.failures().isEmpty()) {
        m_frame.ui().messageBox(CAdminTexts::RenameDone(), CAdminTexts::RenameDoneCaption(), MsgIcon::Information);
    } else {
        m_frame.ui().messageBox(CAdminTexts::RenameFailed(logic.failures()), CAdminTexts::ErrorCaption(),
                                MsgIcon::Exclamation);
    }
}

void CAdminCommands::exportList() {
    CChildFrame* active = m_frame.activeList();
    if (!active) {
        return;
    }
    CExportSetLogic logic(m_frame.ui(), m_frame.doc(), &active->view()->model());
    CExportSetDlg dlg(logic, &m_frame);
    if (dlg.exec() == QDialog::Accepted) {
        m_frame.ui().messageBox(CAdminTexts::ExportDone(), CAdminTexts::ExportDoneCaption(), MsgIcon::Information);
    }
}

void CAdminCommands::importNames() {
    if (m_frame.logic().folderField().isEmpty()) {
        return;
    }
    CImportSetLogic logic(m_frame.ui(), m_frame.doc());
    CImportSetDlg dlg(logic, &m_frame);
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    m_frame.ui().messageBox(logic.doneText(), CAdminTexts::ImportDoneCaption(), MsgIcon::Information);
    m_frame.reloadAllLists(CListModel::Sort::Keep, CListModel::Columns::Same);
}

void CAdminCommands::checkFolder() {
    // Compared with the unit only while logged in; a check never logs in by itself.
    CFolderCheckLogic logic(m_frame.ui(), m_frame.doc().currentFolderPath(),
                            m_frame.doc().loggedIn == 1 ? m_link.ftp() : nullptr);
    logic.run();
    CFolderCheckWnd wnd(logic, &m_frame);
    wnd.exec();
    // Mending fetches voice files and makes WAV files: the lists and the status line show what is there now.
    if (logic.repairs() > 0) {
        m_frame.reloadAllLists(CListModel::Sort::Keep, CListModel::Columns::Same);
        m_frame.refreshStatus(true);
    }
}
