#include "link/CLinkWatch.h"

#include "link/CLinkSettings.h"

CLinkWatch::CLinkWatch(const CLinkSettings& settings, std::function<void()> onLinkDropped)
    : m_settings(settings), m_onLinkDropped(std::move(onLinkDropped)) {
    m_timer.setInterval(kPeriodMs);
    connect(&m_timer, &QTimer::timeout, this, &CLinkWatch::check);
}

void CLinkWatch::start() {
    m_dropped = false;
    m_timer.start();
}

void CLinkWatch::stop() {
    m_timer.stop();
}

void CLinkWatch::check() {
    if (!m_dropped && m_settings.loggedIn == 0) {
        m_dropped = true;
        if (m_onLinkDropped) {
            m_onLinkDropped();
        }
    }
}
