#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class CLinkSettings;

// The once-a-second look at the logged-in flag by dialogs whose buttons need the unit: when the flag drops
// to 0 the dialog is told once, and disables those buttons.
class CLinkWatch : public QObject {
    Q_OBJECT

public:
    static constexpr int kPeriodMs = 1000;

    CLinkWatch(const CLinkSettings& settings, std::function<void()> onLinkDropped);
    void start();
    void stop();
    // One look; the timer calls it, tests call it directly.
    void check();
    bool dropped() const { return m_dropped; }

private:
    const CLinkSettings& m_settings;
    std::function<void()> m_onLinkDropped;
    QTimer m_timer;
    bool m_dropped = false;
};
