#pragma once

#include "link/CLinkPause.h"
#include "link/FTP_TIMEOUTS.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class CFtpMng;
class CLinkSettings;
class CUserInterface;
struct LOGIN_VALUES;

// Staying connected: the keep-alive timer of the main frame with its idle count, logout (by menu or after
// 100 idle ticks), the lost-link path with the reconnection choice, and the pause around unit operations.
// It owns the current client and replaces it on reconnection.
class CLinkController : public QObject, public CLinkPause {
    Q_OBJECT

public:
    static constexpr int kPeriodMs = 6000;
    static constexpr int kIdleLimit = 100;

    // The two buttons of the reconnection dialog. The values are the dialog's result codes.
    enum class RecomChoice { Reconnect = 1, Exit = 2 };

    CLinkController(CLinkSettings& settings, CUserInterface& ui, const FTP_TIMEOUTS& timeouts = FTP_TIMEOUTS());
    ~CLinkController() override;

    CFtpMng* ftp() const { return m_ftp.get(); }
    CLinkSettings& settings() const { return m_settings; }

    // The login dialog's "ログイン" (checks, stores, logs in); on success the timer is (re)started. One attempt
    // at a time: while one waits for the unit, another is refused at once.
    bool login(const LOGIN_VALUES& typed, bool remember);
    bool loginRunning() const { return m_loginRunning; }
    // The login dialog's "キャンセル" while an attempt waits: the attempt ends at its next look at the cancel flag,
    // closing its connection, without a message.
    void cancelLogin();
    // The login dialog ended with OK: timer restarted, idle count cleared, frame repainted.
    void loginSucceeded();
    // "ログアウト" and the automatic logout.
    void logout();
    // Closing the main window: QUIT when still logged in, and the timer stops.
    void shutdown();

    // One keep-alive tick; the timer calls it every 6 s, tests call it directly.
    void tick();

    void pauseKeepAlive() override;
    void resumeKeepAlive() override;

    int idleCount() const { return m_idle; }
    bool timerActive() const { return m_timer.isActive(); }
    int timerInterval() const { return m_timer.interval(); }
    int probeCount() const { return m_probes; }

    // The reconnection dialog (CRecomDlg) as the frame shows it; without one the choice is "終了".
    std::function<RecomChoice()> askReconnect;
    // "終了" in the reconnection dialog: the main window's close handling.
    std::function<void()> onExitRequested;
    // The frame repaints (menu and button states follow the logged-in flag).
    std::function<void()> onRepaint;

private:
    void startTimer();
    void stopTimer();
    void repaint();
    void linkLost();
    std::unique_ptr<CFtpMng> makeClient();

    CLinkSettings& m_settings;
    CUserInterface& m_ui;
    FTP_TIMEOUTS m_timeouts;
    std::unique_ptr<CFtpMng> m_ftp;
    QTimer m_timer;
    int m_idle = 0;
    int m_probes = 0;
    bool m_loginRunning = false;
    bool m_probing = false; // a probe's waits repaint, and a tick arriving meanwhile must not start another
};
