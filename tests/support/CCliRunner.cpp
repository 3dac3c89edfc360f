#include "support/CCliRunner.h"

CCliRunner::Result CCliRunner::run(const QStringList& args) const {
    QProcess process;
    start(process, args);
    return finish(process);
}

CCliRunner::Result CCliRunner::runInShell(const QString& script, const QStringList& args) const {
    QProcess process;
    startProgram(process, QStringLiteral("/bin/sh"),
                 QStringList{QStringLiteral("-c"), script, QStringLiteral("sh"), program()} + args);
    return finish(process);
}

void CCliRunner::start(QProcess& process, const QStringList& args) const {
    startProgram(process, program(), args);
}

CCliRunner::Result CCliRunner::finish(QProcess& process) const {
    Result r;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return r;
    }
    r.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.bytes = process.readAllStandardOutput();
    r.out = QString::fromUtf8(r.bytes);
    r.err = QString::fromUtf8(process.readAllStandardError());
    return r;
}

QString CCliRunner::program() {
    return QStringLiteral(KELDA_BIN_DIR "/kelda-cli");
}

void CCliRunner::startProgram(QProcess& process, const QString& program, const QStringList& args) const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("KELDA_PASSWORD"));
    for (auto it = env.cbegin(); it != env.cend(); ++it) {
        environment.insert(it.key(), it.value());
    }
    process.setProcessEnvironment(environment);
    process.start(program, args);
    if (process.waitForStarted()) {
        process.write(input);
        process.closeWriteChannel();
    }
}
