#include "ui/shell/CKeldaStartup.h"

#include "platform/CCommonTexts.h"
#include "platform/CUserInterface.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

CKeldaStartup::CKeldaStartup() = default;

CKeldaStartup::~CKeldaStartup() {
    if (m_lockFd >= 0) {
        ::close(m_lockFd);
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
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
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

QString CKeldaStartup::helpText() {
    return QStringLiteral(
               "Usage: kelda [--settings-dir DIR] [--unit-port N] [--verbose]\n"
               "       kelda --help | --version\n"
               "\n"
               "The desktop program for the voice-mail unit of the telephone exchange: downloads, lists, converts\n"
               "and plays its messages. Only one runs at a time.\n"
               "\n"
               "  --settings-dir DIR   keep the settings file KELDA.ini in DIR (made when missing)\n"
               "  --unit-port N        talk to the unit on TCP port N instead of the \"ftp\" service's port (21)\n"
               "  --verbose            write a line per converted voice file to stderr\n"
               "  --help               print this text and exit\n"
               "  --version            print the version and exit\n"
               "\n"
               "Settings: without --settings-dir, a KELDA.ini next to the program is used when it exists;\n"
               "an installed kelda keeps it in %1.\n"
               "kelda-cli runs the downloads without a window (kelda-cli --help).\n")
        .arg(QDir(configDirectory()).filePath(QStringLiteral("KELDA.ini")));
}

QString CKeldaStartup::configDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/KELDA");
}

bool CKeldaStartup::isInstalled(const QString& executableDir) {
    return QFileInfo(QDir(executableDir).filePath(QStringLiteral("../libexec/kelda"))).isDir();
}

QString CKeldaStartup::settingsFile(const QString& executableDir, const QString& settingsDir) {
    const QString name = QStringLiteral("KELDA.ini");
    if (!settingsDir.isEmpty()) {
        QDir().mkpath(settingsDir);
        return QDir(settingsDir).filePath(name);
    }
    const QString beside = QDir(executableDir).filePath(name);
    if (QFileInfo(beside).isFile()) {
        return beside;
    }
    // An installed program's folder is shared by every user (and writable by root), so it never holds one.
    const QFileInfo dir(executableDir);
    if (dir.isDir() && dir.isWritable() && !isInstalled(executableDir)) {
        return beside;
    }
    const QString config = configDirectory();
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
    // The kernel holds the lock for exactly as long as this process lives: whatever a crashed run left in the
    // file (nothing, a half-written owner, another host's name), the next start is never blocked by it.
    const QByteArray path = QFile::encodeName(lockFilePath(lockDir));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        // Without a lock file to hold, refusing would keep the program from starting at all.
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        if (m_lockFd >= 0) {
            ::close(m_lockFd);
        }
        m_lockFd = fd;
        // The owner's process id, for a person looking at the file; the lock itself does not read it.
        const QByteArray pid = QByteArray::number(static_cast<qint64>(::getpid())) + '\n';
        if (::ftruncate(fd, 0) == 0) {
            [[maybe_unused]] const ssize_t written = ::write(fd, pid.constData(), static_cast<size_t>(pid.size()));
        }
        return true;
    }
    ::close(fd);
    ui.messageBox(QStringLiteral("ＱＳ－ＺＵＮＯ音声ファイル管理は既に起動しています。"), CCommonTexts::ErrorCaption(),
                  MsgIcon::Error);
    return false;
}
