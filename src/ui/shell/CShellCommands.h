#pragma once

class CMainFrame;

// The frame's own commands: the "設定" and "ウィンドウ" popups, "バージョン" and the arrangements of the list
// windows in the window popup.
class CShellCommands {
public:
    explicit CShellCommands(CMainFrame& frame);

private:
    void settingsPopup();
    void windowPopup();
    void version();

    CMainFrame& m_frame;
};
