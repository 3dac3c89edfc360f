#include "ui/shell/CKeldaStartup.h"

#include "platform/CUserInterface.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

CKeldaStartup::CKeldaStartup() = default;

CKeldaStartup::~CKeldaStartup() {
    if (m_lock) {
        m_lock->unlock();
    }
}

CKeldaStartup::Options CKeldaStartup::parse(const QStringList& args) {
    Options o;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](const QString& name) -> QString {
            if (a.startsWith(name + '=')) {
                return a.mid(name.size() + 1);
            }
            if (i + 1 < args.size()) {
                return args[++i];
            }
            o.error = QStringLiteral("%1 needs a value").arg(name);
            return QString();
        };
        if (a == QLatin1String("--version")) {
            o.version = true;
        } else if (a == QLatin1String("--verbose")) {
            o.verbose = true;
        } else if (a == QLatin1String("--settings-dir") || a.startsWith(QLatin1String("--settings-dir="))) {
            o.settingsDir = value(QStringLiteral("--settings-dir"));
        } else if (a == QLatin1String("--unit-port") || a.startsWith(QLatin1String("--unit-port="))) {
            bool ok = false;
            const int port = value(QStringLiteral("--unit-port")).toInt(&ok);
            if (!ok || port <= 0 || port > 65535) {
                o.error = QStringLiteral("--unit-port needs a port number");
            }
            o.unitPort = port;
        }
        // Anything else is accepted and opens nothing, as the command line always has.
    }
    return o;
}

QString CKeldaStartup::settingsFile(const QString& executableDir, const QString& settingsDir) {
    const QString name = QStringLiteral("KELDA.ini");
    if (!settingsDir.isEmpty()) {
        QDir().mkpath(settingsDir);
        return QDir(settingsDir).filePath(name);
    }
    const QFileInfo dir(executableDir);
    if (dir.isDir() && dir.isWritable()) {
        return QDir(executableDir).filePath(name);
    }
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/KELDA";
    QDir().mkpath(config);
    return QDir(config).filePath(name);
}

QString CKeldaStartup::lockFilePath(const QString& lockDir) {
    QString dir = lockDir;
    if (dir.isEmpty()) {
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    }
    if (dir.isEmpty()) {
        dir = QDir::tempPath();
    }
    return QDir(dir).filePath(QStringLiteral("KELDA.lock"));
}

bool CKeldaStartup::acquireSingleInstance(CUserInterface& ui, const QString& lockDir) {
    m_lock = std::make_unique<QLockFile>(lockFilePath(lockDir));
    // Only a dead owner makes the lock stale; a long-running instance keeps it however old it is.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        return true;
    }
    m_lock.reset();
    ui.messageBox(QStringLiteral("ＱＳ－ＺＵＮＯ音声ファイル管理は既に起動しています。"), QStringLiteral("エラー"),
                  MsgIcon::Error);
    return false;
}
