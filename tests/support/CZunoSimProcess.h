#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Runs the simulated unit (zuno-sim) for a test: a temporary root laid out like the unit, a free loopback port,
// a transcript of the commands it received and a faults file that is re-read at every new session.
class CZunoSimProcess {
public:
    CZunoSimProcess();
    ~CZunoSimProcess();
    CZunoSimProcess(const CZunoSimProcess&) = delete;
    CZunoSimProcess& operator=(const CZunoSimProcess&) = delete;

    // The folder served; it holds "rusuroku" and "naisen" from the start.
    QString root() const;
    // Accounts; without any, the simulator's defaults (mirta and parvol) with password "zuno" apply.
    void addUser(const QString& name, const QString& password);
    void addArguments(const QStringList& args) { m_extraArgs << args; }

    // Fault rules in the simulator's syntax (see zuno-sim --help), one per line; they take effect from the
    // next session on, so they may be changed while the simulator runs.
    void setFaults(const QString& rules);

    bool start(int timeoutMs = 5000);
    void stop();
    bool isRunning() const;
    quint16 port() const { return m_port; }

    // Files of the unit. The path is relative to the root ("rusuroku/0001/NAME.vmdat"); folders are created.
    bool writeFile(const QString& relPath, const QByteArray& data) const;
    bool makeBox(const QString& kind, const QString& box) const;
    QByteArray readFile(const QString& relPath) const;
    bool exists(const QString& relPath) const;

    // Command lines received so far, in order. PORT arguments are replaced by nothing ("PORT") because they
    // change from run to run; the raw form keeps them.
    QStringList transcript() const;
    QStringList rawTranscript() const;
    void clearTranscript();

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QStringList m_users;
    QStringList m_extraArgs;
    quint16 m_port = 0;
};
