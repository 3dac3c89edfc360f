#pragma once

#include <QProcess>
#include <QString>

#include <cstdint>
#include <vector>

// A sound server of a test's own: PulseAudio on a private socket with one null sink at 8 kHz mono, so that what
// is played comes back sample for sample from the sink's monitor. Stopped with the object.
class CSoundServer {
public:
    explicit CSoundServer(const QString& dir) : m_dir(dir) {}
    ~CSoundServer();
    CSoundServer(const CSoundServer&) = delete;
    CSoundServer& operator=(const CSoundServer&) = delete;

    // Empty when the server runs; otherwise why it could not be started here.
    QString start();
    // For PULSE_SERVER, of a child process or of this one before it first speaks to a sound server.
    QString serverAddress() const { return "unix:" + socket(); }
    // What the monitor recorded since the last call, after waiting for the given time to pass.
    std::vector<int16_t> take(int afterMs);

private:
    QString socket() const { return m_dir + "/run/native"; }
    QString m_dir;
    QProcess m_server;
    QProcess m_recorder;
};
