#include "link/CLinkController.h"

#include "link/CFtpMng.h"
#include "link/CLinkSettings.h"
#include "link/CLinkTexts.h"
#include "link/CLoginForm.h"
#include "platform/CCancelFlag.h"
#include "platform/CCommonTexts.h"
#include "platform/CUserInterface.h"

CLinkController::CLinkController(CLinkSettings& settings, CUserInterface& ui, const FTP_TIMEOUTS& timeouts)
    : m_settings(settings), m_ui(ui), m_timeouts(timeouts), m_ftp(makeClient()) {
    m_timer.setInterval(kPeriodMs);
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CLinkController::tick);
}

CLinkController::~CLinkController() = default;

std::unique_ptr<CFtpMng> CLinkController::makeClient() {
    auto client = std::make_unique<CFtpMng>(&m_ui, m_timeouts);
    client->setKeepAlive(this);
    return client;
}

void CLinkController::startTimer() {
    m_timer.start(kPeriodMs);
}

void CLinkController::stopTimer() {
    m_timer.stop();
}

void CLinkController::repaint() {
    if (onRepaint) {
        onRepaint();
    }
}

bool CLinkController::login(const LOGIN_VALUES& typed, bool remember) {
    // The waits of an attempt dispatch events, "ログイン" among them: a second attempt then would replace the
    // connection the first one is still waiting on.
    if (m_loginRunning) {
        return false;
    }
    m_loginRunning = true;
    CLoginForm form(m_settings);
    m_ftp->setUnitPort(m_settings.unitPort);
    const bool loggedIn = form.submit(typed, remember, *m_ftp, m_ui);
    m_loginRunning = false;
    // A cancel that came after the last wait found the attempt done; it must not stop the next operation.
    CCancelFlag::clear();
    if (!loggedIn) {
        return false;
    }
    loginSucceeded();
    return true;
}

void CLinkController::cancelLogin() {
    if (m_loginRunning) {
        CCancelFlag::set(1);
    }
}

void CLinkController::loginSucceeded() {
    stopTimer();
    startTimer();
    m_idle = 0;
    repaint();
}

void CLinkController::logout() {
    stopTimer();
    m_idle = 0;
    if (m_settings.loggedIn == 1) {
        m_ftp->Quit();
        m_settings.loggedIn = 0;
    }
    repaint();
}

void CLinkController::shutdown() {
    stopTimer();
    if (m_settings.loggedIn == 1) {
        m_ftp->Quit();
        m_settings.loggedIn = 0;
    }
}

void CLinkController::tick() {
    // The timer belongs to the logged-in state; a tick that arrives after the link was given up probes nothing.
    if (m_settings.loggedIn != 1) {
        stopTimer();
        return;
    }
    // No probe under a modal message or dialog of ours: the one it waits on may itself be talking to the unit, and
    // a lost link found now would open another window on top of it. The next tick after it closes probes.
    if (m_ftp->Connection() && !m_ui.isModalOpen() && !m_probing) {
        // The probe's waits repaint and take the person's clicks: a command clicked meanwhile is refused (its rule
        // reads the flag) rather than run on the connection whose answer is awaited, and so is one clicked while
        // the lost link is being re-established.
        m_probing = true;
        m_settings.linkChecking = true;
        repaint();
        ++m_probes;
        const bool alive = m_ftp->Probe();
        m_probing = false;
        if (!alive) {
            m_settings.loggedIn = 0;
            repaint();
            stopTimer();
            m_idle = 0;
            linkLost();
            m_settings.linkChecking = false;
            repaint();
            return;
        }
        m_settings.linkChecking = false;
        repaint();
    }
    if (m_settings.loggedIn == 1) {
        ++m_idle;
        if (m_idle >= kIdleLimit) {
            stopTimer();
            m_idle = 0;
            logout();
        }
    }
}

void CLinkController::linkLost() {
    const RecomChoice choice = askReconnect ? askReconnect() : RecomChoice::Exit;
    if (choice != RecomChoice::Reconnect) {
        if (onExitRequested) {
            onExitRequested();
        }
        return;
    }
    // QUIT is tried on the dead connection; its reply read fails at once or after the reply wait. The client object
    // itself stays: open dialogs and operations hold it, and logging in again gives it a fresh connection.
    m_ftp->Quit();
    const LOGIN_VALUES& v = m_settings.connection;
    m_ftp->setUnitPort(m_settings.unitPort);
    const CFtpMng::Login rc = m_ftp->ConnectLogin(v.address, v.user, v.password);
    if (rc == CFtpMng::Login::LoggedIn) {
        m_settings.loggedIn = 1;
        m_idle = 0;
        startTimer();
        repaint();
        return;
    }
    if (rc == CFtpMng::Login::Cancelled) {
        return;
    }
    m_ui.messageBox(CLinkTexts::LoginFailureText(rc, *m_ftp), CCommonTexts::ErrorCaption(), MsgIcon::Exclamation);
}

void CLinkController::pauseKeepAlive() {
    stopTimer();
    m_idle = 0;
}

void CLinkController::resumeKeepAlive() {
    m_idle = 0;
    // The timer runs only while logged in: an operation that ends after the link was dropped leaves it off.
    if (m_settings.loggedIn == 1) {
        startTimer();
    }
}
