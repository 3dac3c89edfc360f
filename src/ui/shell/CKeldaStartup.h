#pragma once

#include <QString>
#include <QStringList>

class CUserInterface;

// The process-level start-up: command-line options, the single-instance lock and where "KELDA.ini" lives.
class CKeldaStartup {
public:
    struct Options {
        bool version = false;
        bool help = false;
        QString settingsDir;
        int unitPort = 0;
        bool verbose = false;
        QString error; // a malformed option; start-up ends
    };
    static Options parse(const QStringList& args);

    // What "kelda --help" prints.
    static QString helpText();

    // "KELDA.ini" in settingsDir when given; else the one beside the executable when it exists; else beside the
    // executable when the executable runs from a folder of its own that can be written (a build folder); else,
    // for an installed program or a read-only folder, in the user's configuration directory.
    static QString settingsFile(const QString& executableDir, const QString& settingsDir);
    // The user's configuration directory for KELDA ($XDG_CONFIG_HOME/KELDA).
    static QString configDirectory();
    // An installed program has its tools in ../libexec/kelda beside its bin folder.
    static bool isInstalled(const QString& executableDir);

    CKeldaStartup();
    ~CKeldaStartup();
    // Takes the lock named after "KELDA" in lockDir (default: the user's runtime directory), held until this
    // object goes. A lock file left by a process that no longer runs never blocks, whatever it holds. False,
    // after the message, when another instance holds it.
    bool acquireSingleInstance(CUserInterface& ui, const QString& lockDir = QString());
    static QString lockFilePath(const QString& lockDir = QString());

private:
    int m_lockFd = -1;
};
