#pragma once

#include "voice/CVoiceOutput.h"

#include <QString>

#include <memory>

class QAudioSink;
class QIODevice;

// The player's samples on the desktop's default sound device (through its sound server), for the list window and
// kelda-cli alike.
class CAudioDeviceOutput : public CVoiceOutput {
public:
    // The list window keeps a short queue so a pause or a seek is heard at once; kelda-cli neither pauses nor
    // seeks and takes a longer one, so a busy moment of the machine never leaves a gap in what is heard.
    static constexpr int WINDOW_BUFFER_MS = 200;
    static constexpr int CONSOLE_BUFFER_MS = 1000;

    explicit CAudioDeviceOutput(int bufferMs = WINDOW_BUFFER_MS);
    ~CAudioDeviceOutput() override;

    bool start() override;
    qint64 room() const override;
    void write(const int16_t* samples, qint64 count) override;
    qint64 pending() const override;
    void discard() override;
    void setPaused(bool paused) override;
    void stop() override;
    void setVolume(double volume) override;

    // Why start() failed, in one line of the program's Japanese; empty when it did not.
    QString problem() const { return m_problem; }
    // Milliseconds the sound server may still hold after the last samples left this output: a caller that
    // closes the device at the end of a message waits this long first, so the end is heard.
    static constexpr int TAIL_MS = 300;

    // Ends the process with the given status. Once the sound server was spoken to, the media library's own
    // teardown at exit races with its sound server thread and at times aborts the process after all work is done
    // (a status of 134 instead of the program's own): so the process then ends without running the libraries'
    // exit handlers, after standard output and error are flushed. Call it only when every file is closed.
    [[noreturn]] static void endProcess(int status);

private:
    std::unique_ptr<QAudioSink> m_sink;
    QIODevice* m_io = nullptr;
    double m_volume = 1.0;
    qsizetype m_bufferBytes;
    QString m_problem;
    static bool s_serverTouched;
};
