#pragma once

#include <QByteArray>
#include <QHash>
#include <QProcess>
#include <QString>
#include <QStringList>

// Runs kelda-cli for a test as a script would: a process of its own with this process's environment, less
// KELDA_PASSWORD (a test gives the password on purpose or not at all), plus the variables set here; the bytes
// given on its standard input, which is closed after them; its exit status and both outputs.
class CCliRunner {
public:
    struct Result {
        int code = -1;    // -1: it crashed, or was killed after the time-out
        QByteArray bytes; // standard output as written
        QString out;      // standard output as UTF-8 text
        QString err;
    };

    // Variables the runs get on top of this process's environment.
    QHash<QString, QString> env;
    QByteArray input;
    int timeoutMs = 60000;

    Result run(const QStringList& args) const;
    // Through "/bin/sh -c SCRIPT", in which "$1" is kelda-cli and the ARGS follow it ("exec "$@"" runs it with
    // them): for what a shell does best, such as a file size limit, a redirection or an argument made by printf.
    Result runInShell(const QString& script, const QStringList& args) const;

    // Started without waiting, for a test that acts while it runs; finish() waits for it.
    void start(QProcess& process, const QStringList& args) const;
    Result finish(QProcess& process) const;

    static QString program();

private:
    void startProgram(QProcess& process, const QString& program, const QStringList& args) const;
};
