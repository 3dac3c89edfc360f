#pragma once

#include <QString>
#include <QStringList>

class CUserInterface;

// The process-level start-up: command-line options, the single-instance lock and where "KELDA.ini" lives.
class CKeldaStartup {
public:
    struct Options {
        bool version = false;
        QString settingsDir;
        int unitPort = 0;
        bool verbose = false;
        QString error; // a malformed option; start-up ends
    };
    static Options parse(const QStringList& args);

    // "KELDA.ini" beside the executable; in settingsDir when given; in the user's configuration directory when
    // the executable's directory cannot be written.
    static QString settingsFile(const QString& executableDir, const QString& settingsDir);

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
