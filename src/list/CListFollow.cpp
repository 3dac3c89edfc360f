#include "list/CListFollow.h"

#include "store/CFolderLock.h"
#include "voice/CVoiceMeasureCache.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

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
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const QString cache = QString::fromLatin1(CVoiceMeasureCache::FILE_NAME);
    for (const QString& folder : boxFolders) {
        hash.addData(folder.toUtf8());
        const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Name);
        for (const QFileInfo& f : files) {
            // The list shows neither the measurement cache nor the WAV files converted beside the messages.
            if (f.fileName() == cache || f.suffix().compare(QLatin1String("wav"), Qt::CaseInsensitive) == 0) {
                continue;
            }
            hash.addData(f.fileName().toUtf8());
            const qint64 figures[2] = {f.size(), f.lastModified().toMSecsSinceEpoch()};
            hash.addData(QByteArrayView(reinterpret_cast<const char*>(figures), sizeof figures));
        }
        hash.addData(QByteArrayView("\n", 1));
    }
    return hash.result();
}
