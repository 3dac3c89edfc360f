#include "list/CListFollow.h"

#include "store/CFolderLock.h"
#include "voice/CVoiceMeasureCache.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>

CListFollow::CListFollow(QObject* parent) : QObject(parent) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CListFollow::check);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &CListFollow::onChanged);
    m_poll.setInterval(POLL_MS);
    connect(&m_poll, &QTimer::timeout, this, [this] {
        if (!m_timer.isActive()) {
            check();
        }
    });
}

void CListFollow::setPollMs(int ms) {
    m_poll.setInterval(ms);
}

void CListFollow::loaded(const QString& downloadFolder, const QStringList& boxFolders) {
    m_downloadFolder = downloadFolder;
    m_folders = boxFolders;
    watch();
    caughtUp();
    m_poll.start();
}

void CListFollow::caughtUp() {
    m_signature = signature(m_folders);
    m_timer.stop();
}

void CListFollow::clear() {
    m_timer.stop();
    m_poll.stop();
    m_folders.clear();
    watch();
}

void CListFollow::watch() {
    if (!m_watcher.directories().isEmpty()) {
        m_watcher.removePaths(m_watcher.directories());
    }
    // A box folder that is not there yet is not watched; the next load looks again.
    QStringList present;
    for (const QString& f : m_folders) {
        if (QFileInfo(f).isDir()) {
            present << f;
        }
    }
    if (!present.isEmpty()) {
        m_watcher.addPaths(present);
    }
}

void CListFollow::onChanged() {
    // A run writes many files one after another: the list follows once they are quiet.
    m_timer.start(m_quietMs);
}

void CListFollow::check() {
    if (m_folders.isEmpty()) {
        return;
    }
    if (mayReload && !mayReload()) {
        m_timer.start(RETRY_MS);
        return;
    }
    const QByteArray now = signature(m_folders);
    if (now == m_signature) {
        return;
    }
    // A run that holds the download folder may be half-way through a move: the list waits for it to end. Only a
    // change is looked into, so that the window's look every few seconds never holds the lock a nightly run wants.
    if (!m_downloadFolder.isEmpty()) {
        CFolderLock lock;
        if (lock.acquire(m_downloadFolder, 0) == CFolderLock::State::Busy) {
            m_timer.start(RETRY_MS);
            return;
        }
    }
    m_signature = now;
    Q_EMIT reloadDue();
}

QByteArray CListFollow::signature(const QStringList& boxFolders) {
    // Taken on every load of the list: names and figures straight from the directory, as cheaply as they come. A
    // directory lists its names in the same order while nothing changes in it.
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const size_t cacheLength = std::strlen(CVoiceMeasureCache::FILE_NAME);
    for (const QString& folder : boxFolders) {
        const QByteArray path = QFile::encodeName(folder);
        hash.addData(path);
        DIR* dir = ::opendir(path.constData());
        if (!dir) {
            continue;
        }
        while (const dirent* e = ::readdir(dir)) {
            const size_t n = std::strlen(e->d_name);
            // The list shows neither hidden files, the measurement cache nor the WAV files converted beside the
            // messages.
            if (e->d_name[0] == '.' ||
                (n == cacheLength && std::memcmp(e->d_name, CVoiceMeasureCache::FILE_NAME, n) == 0) ||
                (n > 4 && ::strcasecmp(e->d_name + n - 4, ".wav") == 0)) {
                continue;
            }
            struct stat st {};
            if (::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) {
                continue;
            }
            const qint64 figures[3] = {qint64(st.st_size), qint64(st.st_mtim.tv_sec), qint64(st.st_mtim.tv_nsec)};
            hash.addData(QByteArrayView(e->d_name, qsizetype(n) + 1));
            hash.addData(QByteArrayView(reinterpret_cast<const char*>(figures), sizeof figures));
        }
        ::closedir(dir);
        hash.addData(QByteArrayView("\n", 1));
    }
    return hash.result();
}
