#include "support/CZunoSimProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

CZunoSimProcess::CZunoSimProcess() {
    QDir(m_dir.path()).mkpath("root/rusuroku");
    QDir(m_dir.path()).mkpath("root/naisen");
}

CZunoSimProcess::~CZunoSimProcess() {
    stop();
}

QString CZunoSimProcess::root() const {
    return m_dir.path() + "/root";
}

void CZunoSimProcess::addUser(const QString& name, const QString& password) {
    m_users << name + ":" + password;
}

void CZunoSimProcess::setFaults(const QString& rules) {
    QFile f(m_dir.path() + "/faults.txt");
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        f.write(rules.toUtf8());
        f.write("\n");
    }
}

bool CZunoSimProcess::start(int timeoutMs) {
    stop();
    QStringList args{"--root",       root(),
                     "--port",       "0",
                     "--faults",     m_dir.path() + "/faults.txt",
                     "--transcript", m_dir.path() + "/transcript.txt"};
    for (const auto& u : m_users) {
        args << "--user" << u;
    }
    args << m_extraArgs;
    m_process.setProgram(QStringLiteral(KELDA_BIN_DIR "/zuno-sim"));
    m_process.setArguments(args);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start();
    if (!m_process.waitForStarted(timeoutMs)) {
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (!m_process.canReadLine()) {
        if (clock.elapsed() > timeoutMs || !m_process.waitForReadyRead(timeoutMs)) {
            stop();
            return false;
        }
    }
    const QByteArray line = m_process.readLine().trimmed();
    const int colon = line.lastIndexOf(':');
    if (!line.startsWith("listening on ") || colon < 0) {
        stop();
        return false;
    }
    m_port = static_cast<quint16>(line.mid(colon + 1).toUInt());
    return m_port != 0;
}

void CZunoSimProcess::stop() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    m_port = 0;
}

bool CZunoSimProcess::isRunning() const {
    return m_process.state() == QProcess::Running;
}

bool CZunoSimProcess::writeFile(const QString& relPath, const QByteArray& data) const {
    const QString path = root() + "/" + relPath;
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

bool CZunoSimProcess::makeBox(const QString& kind, const QString& box) const {
    return QDir().mkpath(root() + "/" + kind + "/" + box);
}

QByteArray CZunoSimProcess::readFile(const QString& relPath) const {
    QFile f(root() + "/" + relPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool CZunoSimProcess::exists(const QString& relPath) const {
    return QFileInfo::exists(root() + "/" + relPath);
}

QStringList CZunoSimProcess::rawTranscript() const {
    QFile f(m_dir.path() + "/transcript.txt");
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

QStringList CZunoSimProcess::transcript() const {
    QStringList lines = rawTranscript();
    for (auto& l : lines) {
        if (l.startsWith("PORT ")) {
            l = "PORT";
        }
    }
    return lines;
}

void CZunoSimProcess::clearTranscript() {
    QFile f(m_dir.path() + "/transcript.txt");
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        f.close();
    }
}
