#include "ui/link/CLinkCommands.h"

#include "link/CLinkController.h"
#include "shell/CCommandRules.h"
#include "ui/link/CLoginDlg.h"
#include "ui/link/CRecomDlg.h"
#include "ui/shell/CMainFrame.h"

using C = CMainFrameLogic;
using R = CCommandRules;

CLinkCommands::CLinkCommands(CMainFrame& frame)
    : m_frame(frame), m_link(std::make_unique<CLinkController>(frame.doc(), frame.ui())) {
    m_link->askReconnect = [this] { return CRecomDlg::ask(&m_frame); };
    m_link->onExitRequested = [this] { m_frame.close(); };
    m_link->onRepaint = [this] {
        m_frame.updateCommandStates();
        m_frame.refreshStatus(false);
        m_frame.update();
    };
    m_frame.exitSequence().quitLink = [this] { m_link->shutdown(); };

    CCommandTable& t = m_frame.commands();
    t.add(C::CmdLogin, &R::loggedOut, [this] { login(); });
    t.add(C::CmdLogout, &R::loggedIn, [this] { logout(); });
}

CLinkCommands::~CLinkCommands() {
    m_frame.exitSequence().quitLink = nullptr;
}

void CLinkCommands::login() {
    CLoginDlg dlg(*m_link, &m_frame);
    if (dlg.exec() == QDialog::Accepted) {
        m_link->loginSucceeded();
    }
    m_frame.updateCommandStates();
}

void CLinkCommands::logout() {
    m_link->logout();
    m_frame.updateCommandStates();
    m_frame.update();
}
