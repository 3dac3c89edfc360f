#include "store/CFolderLock.h"

#include "platform/CCancelFlag.h"
#include "platform/CUserInterface.h"
#include "store/CFileMng.h"
#include "store/CMoveJournal.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

const QString CFolderLock::kFileName = QStringLiteral(".kelda-lock");

namespace {

constexpr int kRetryMs = 100;

int openLockFile(const QString& downloadFolder) {
    const QByteArray path = QFile::encodeName(CFileMng::Join(downloadFolder, CFolderLock::kFileName));
    // Never through a link and never a pipe: the lock file is ours or nothing.
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        // A lock file that exists in a folder this user may not write still serves for reading.
        fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    }
    return fd;
}

} // namespace

CFolderLock::~CFolderLock() {
    release();
}

void CFolderLock::release() {
    if (m_fd >= 0) {
        ::close(m_fd); // the kernel drops the lock with the last descriptor
        m_fd = -1;
    }
}

QString CFolderLock::BusyText() {
    return QStringLiteral("このフォルダは他の処理で使用中です。\n処理が終わってから実行してください。");
}

QString CFolderLock::DownloadFolderOfBox(const QString& boxFolder) {
    QString box = QDir::cleanPath(boxFolder);
    return QFileInfo(QFileInfo(box).path()).path();
}

QString CFolderLock::DownloadFolderOfFile(const QString& messageFile) {
    return DownloadFolderOfBox(QFileInfo(QDir::cleanPath(messageFile)).path());
}

CFolderLock::State CFolderLock::acquire(const QString& downloadFolder, int waitMs, CUserInterface* ui) {
    release();
    // Only a download folder gets a lock file: a message file edited elsewhere leaves nothing behind in its
    // folders.
    if (!CFileMng::IsDownloadFolder(downloadFolder)) {
        return State::NotLockable;
    }
    const int fd = openLockFile(downloadFolder);
    if (fd < 0) {
        return State::NotLockable;
    }
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            break;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            ::close(fd);
            return State::NotLockable;
        }
        // An interrupt ends the wait as the time-out does.
        if (waited.elapsed() >= waitMs || CCancelFlag::isSet()) {
            ::close(fd);
            return State::Busy;
        }
        if (ui) {
            ui->dispatchPendingEvents(-1);
        }
        ::usleep(kRetryMs * 1000);
    }
    m_fd = fd;
    CMoveJournal::Recover(downloadFolder);
    return State::Held;
}

bool CFolderLock::acquireOrTell(CUserInterface& ui, const QString& downloadFolder) {
    if (acquire(downloadFolder, ui.busyFolderWaitMs(), &ui) != State::Busy) {
        return true;
    }
    ui.messageBox(BusyText(), QStringLiteral("エラー"), MsgIcon::Exclamation);
    return false;
}

void CFolderLock::FinishInterrupted(const QString& downloadFolder) {
    // Most looks find nothing to finish; they take no lock then.
    const QStringList left =
        QDir(downloadFolder).entryList({QStringLiteral(".kelda-moving*")}, QDir::Files | QDir::Hidden | QDir::System);
    if (left.isEmpty()) {
        return;
    }
    CFolderLock lock;
    lock.acquire(downloadFolder, 0);
}
