#pragma once

#include "shell/CMainFrameLogic.h"

#include <QObject>

#include <memory>
#include <vector>

class CChildFrame;
class CLinkController;
class CMainFrame;
class CUserInterface;
struct FILESTS_INFO;

// Connects the main frame's commands to the subsystems that serve them: login and the keep-alive link,
// downloads, download folders, conversion and playback. The frame keeps its own logic; this only routes.
class CCommandRouter : public QObject {
    Q_OBJECT
public:
    CCommandRouter(CMainFrame& frame, CUserInterface& ui);
    ~CCommandRouter() override;

    CLinkController& link() { return *m_link; }
    // Takes a command; false leaves it to the frame.
    bool handle(CMainFrameLogic::Command cmd);

private:
    void login();
    void logout();
    void folderDownload();
    void boxDownload(bool bulk);
    void voiceDownload();
    void folderChange();
    void startFolder();
    void convert();
    void play();
    void wavDelete();
    // The selected rows' records of the active list, in list order.
    std::vector<FILESTS_INFO> selectedRecords() const;
    void prepareDownload();

    CMainFrame& m_frame;
    CUserInterface& m_ui;
    std::unique_ptr<CLinkController> m_link;
};
