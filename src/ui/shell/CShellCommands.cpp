#include "ui/shell/CShellCommands.h"

#include "shell/CCommandRules.h"
#include "ui/shell/CAboutDlg.h"
#include "ui/shell/CMainFrame.h"

using C = CMainFrameLogic;
using R = CCommandRules;

CShellCommands::CShellCommands(CMainFrame& frame) : m_frame(frame) {
    CCommandTable& t = m_frame.commands();
    t.add(C::CmdSettings, &R::always, [this] { settingsPopup(); });
    t.add(C::CmdWindow, &R::always, [this] { windowPopup(); });
    t.add(C::CmdVersion, &R::always, [this] { version(); });
    t.add(C::CmdTile, &R::listWindowOpen, [this] { m_frame.arrangeListWindows(C::CmdTile); });
    t.add(C::CmdTileHorz, &R::always, [this] { m_frame.arrangeListWindows(C::CmdTileHorz); });
    t.add(C::CmdTileVert, &R::always, [this] { m_frame.arrangeListWindows(C::CmdTileVert); });
    t.add(C::CmdCascade, &R::always, [this] { m_frame.arrangeListWindows(C::CmdCascade); });
}

void CShellCommands::settingsPopup() {
    // The popup's items work on the folder the field names.
    m_frame.logic().takeFolderNameFromField();
    m_frame.togglePopup(m_frame.settingsMenu(), C::CmdSettings);
}

void CShellCommands::windowPopup() {
    m_frame.togglePopup(m_frame.windowMenu(), C::CmdWindow);
}

void CShellCommands::version() {
    CAboutDlg dlg(&m_frame);
    dlg.exec();
}
