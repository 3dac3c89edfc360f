#pragma once

#include <QtGlobal>

#include <cstdint>

// Where the player hands its samples: 8 kHz, 16-bit mono. The sound device behind it lives outside the core (the
// player knows only this), and a test stands in its own device that records what it is given.
class CVoiceOutput {
public:
    virtual ~CVoiceOutput() = default;

    // Opens the device for 8 kHz mono samples; false when there is no device to play on.
    virtual bool start() = 0;
    // Samples the device takes now without blocking.
    virtual qint64 room() const = 0;
    virtual void write(const int16_t* samples, qint64 count) = 0;
    // Samples handed over but not yet heard.
    virtual qint64 pending() const = 0;
    // Drops what is queued (a seek or a stop must not let the old position be heard).
    virtual void discard() = 0;
    virtual void setPaused(bool paused) = 0;
    virtual void stop() = 0;
    // 0.0 silent to 1.0 full.
    virtual void setVolume(double volume) = 0;
};
