#pragma once

// Unit operations stop the keep-alive timer and clear the idle count while they talk to the unit, and restart
// it afterwards. The client knows only this much of the timer's owner.
class CLinkPause {
public:
    virtual ~CLinkPause() = default;
    virtual void pauseKeepAlive() = 0;
    virtual void resumeKeepAlive() = 0;
};
