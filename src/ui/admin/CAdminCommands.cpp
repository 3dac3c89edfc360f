#include "ui/admin/CAdminCommands.h"

#include "admin/CFolderChgLogic.h"
#include "admin/CFolderDwnLogic.h"
#include "admin/CFolderSetLogic.h"
#include "link/CFtpMng.h"
#include "link/CLinkController.h"
#include "shell/CCommandRules.h"
#include "ui/admin/CFolderChgDlg.h"
#include "ui/admin/CFolderDwnDlg.h"
#include "ui/admin/CFolderSetDlg.h"
#include "ui/shell/CMainFrame.h"

using C = CMainFrameLogic;
using R = CCommandRules;
using F = CCommandTable::Feature;

CAdminCommands::CAdminCommands(CMainFrame& frame, CLinkController& link) : m_frame(frame), m_link(link) {
    CCommandTable& t = m_frame.commands();
    t.add(C::CmdFolderDownload, &R::always, [this] { folderDownload(); });
    t.add(C::CmdFolderName, &R::always, [this] { folderChange(); });
    t.add(C::CmdStartFolder, &R::always, [this] { startFolder(); });
    t.add(
        C::CmdBoxName, &R::folderHasBoxFolders, [] {}, F::NotBuilt);
    t.add(
        C::CmdMakeBoxFolder, &R::folderHasBoxFolders, [] {}, F::NotBuilt);
    t.add(
        C::CmdRenameBoxFolder, &R::userMadeBoxFolderPresent, [] {}, F::NotBuilt);
    t.add(
        C::CmdImport, &R::folderHasBoxFolders, [] {}, F::NotBuilt);
}

void CAdminCommands::folderDownload() {
    CFtpMng* ftp = m_link.ftp();
    CFolderDwnLogic logic(m_frame.ui(), m_frame.doc(), [ftp](QString& root, QString& rusuroku, QString& naisen) {
        return ftp ? ftp->GetUnitTree(root, rusuroku, naisen) : 0;
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
