#pragma once

#include <memory>

class CLinkController;
class CMainFrame;

// The link's commands: "ログイン..." and "ログアウト" of the settings popup. It owns the connection to the unit
// (with its keep-alive timer), which the download commands use, and sends QUIT when the program closes.
class CLinkCommands {
public:
    explicit CLinkCommands(CMainFrame& frame);
    ~CLinkCommands();

    CLinkController& link() { return *m_link; }

private:
    void login();
    void logout();

    CMainFrame& m_frame;
    std::unique_ptr<CLinkController> m_link;
};
