#include "support/CSoundServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QtTest>

#include <cstring>

CSoundServer::~CSoundServer() {
    for (QProcess* p : {&m_recorder, &m_server}) {
        if (p->state() != QProcess::NotRunning) {
            p->terminate();
            if (!p->waitForFinished(3000)) {
                p->kill();
                p->waitForFinished(3000);
            }
        }
    }
}

QString CSoundServer::start() {
    const QString server = QStandardPaths::findExecutable("pulseaudio");
    const QString parec = QStandardPaths::findExecutable("parec");
    if (server.isEmpty() || parec.isEmpty()) {
        return "pulseaudio or parec is not installed";
    }
    QDir().mkpath(m_dir + "/home");
    QDir().mkpath(m_dir + "/run");
    QFile::setPermissions(m_dir + "/run", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", m_dir + "/home");
    env.insert("XDG_RUNTIME_DIR", m_dir + "/run");
    env.insert("XDG_CONFIG_HOME", m_dir + "/home");
    env.remove("PULSE_SERVER");
    m_server.setProcessEnvironment(env);
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.start(server, {"--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no", "--disable-shm",
                            "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket(),
                            "--load=module-null-sink sink_name=kelda_test rate=8000 channels=1"});
    if (!m_server.waitForStarted(5000)) {
        return "pulseaudio did not start";
    }
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(socket())) {
        if (m_server.state() == QProcess::NotRunning || clock.elapsed() > 10000) {
            return "pulseaudio did not come up: " + QString::fromLocal8Bit(m_server.readAll()).trimmed();
        }
        QTest::qWait(50);
    }
    m_recorder.setProcessEnvironment(env);
    m_recorder.start(parec, {"--server=unix:" + socket(), "--device=kelda_test.monitor", "--rate=8000", "--channels=1",
                             "--format=s16le", "--raw", "--latency-msec=20"});
    // The monitor sends silence as soon as the recorder is attached: its first bytes say it listens.
    clock.restart();
    while (m_recorder.bytesAvailable() < 1600) {
        if (m_recorder.state() == QProcess::NotRunning || clock.elapsed() > 10000) {
            return "parec records nothing from the null sink";
        }
        m_recorder.waitForReadyRead(100);
    }
    m_recorder.readAll();
    return QString();
}

std::vector<int16_t> CSoundServer::take(int afterMs) {
    QElapsedTimer clock;
    clock.start();
    QByteArray all;
    while (clock.elapsed() < afterMs) {
        m_recorder.waitForReadyRead(50);
        all += m_recorder.readAll();
    }
    all += m_recorder.readAll();
    std::vector<int16_t> s(static_cast<size_t>(all.size() / 2));
    std::memcpy(s.data(), all.constData(), s.size() * 2);
    return s;
}
