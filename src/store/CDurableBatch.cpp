#include "store/CDurableBatch.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

CDurableBatch::~CDurableBatch() {
    discard();
}

void CDurableBatch::add(const QString& temporary, const QString& final, CDurableFile::Name how) {
    m_files.push_back({temporary, final, how, -1});
    m_finals.insert(final);
}

void CDurableBatch::addUnnamed(int fd, const QString& final, CDurableFile::Name how) {
    m_files.push_back({QString(), final, how, fd});
    m_finals.insert(final);
}

void CDurableBatch::addFolder(const QString& folder) {
    if (!m_folders.contains(folder)) {
        m_folders << folder;
    }
}

bool CDurableBatch::holds(const QString& final) const {
    return m_finals.contains(final);
}

void CDurableBatch::removeOne(File& f) {
    if (f.fd >= 0) {
        ::close(f.fd);
        f.fd = -1;
    } else {
        ::unlink(QFile::encodeName(f.temporary).constData());
    }
}

bool CDurableBatch::drop(const QString& final) {
    for (auto it = m_files.begin(); it != m_files.end(); ++it) {
        if (it->final == final) {
            removeOne(*it);
            m_files.erase(it);
            m_finals.remove(final);
            return true;
        }
    }
    return false;
}

bool CDurableBatch::syncOne(const File& f) {
    return f.fd >= 0 ? CDurableFile::SyncData(f.fd) : CDurableFile::SyncFile(QFile::encodeName(f.temporary));
}

bool CDurableBatch::nameOne(const File& f) {
    const QByteArray final = QFile::encodeName(f.final);
    if (f.fd < 0) {
        return CDurableFile::RenameOnly(QFile::encodeName(f.temporary), final, f.how);
    }
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(f.fd);
    // A link never takes over a name that exists.
    if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, final.constData(), AT_SYMLINK_FOLLOW) == 0) {
        return true;
    }
    if (errno != EEXIST || f.how == CDurableFile::Name::NoReplace) {
        return false;
    }
    // Replacing: a name of its own beside the file first, then one rename over it.
    const qsizetype slash = final.lastIndexOf('/');
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QByteArray temporary = (slash >= 0 ? final.left(slash + 1) : QByteArray()) + ".kelda-copy-" +
                                     QByteArray::number(::getpid()) + '-' +
                                     QByteArray::number(QRandomGenerator::global()->generate64()) + ".ini";
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, temporary.constData(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST) {
                continue;
            }
            return false;
        }
        if (::rename(temporary.constData(), final.constData()) == 0) {
            return true;
        }
        ::unlink(temporary.constData());
        return false;
    }
    return false;
}

CDurableBatch::Outcome CDurableBatch::commit(Folders folders, const Named& named) {
    Outcome out;
    std::vector<File> files;
    files.swap(m_files);
    m_finals.clear();
    // Every file's data first: the first sync pays for the journal of the whole group, the rest find their data
    // written already.
    std::vector<char> synced(files.size(), 0);
    for (size_t i = 0; i < files.size(); ++i) {
        synced[i] = syncOne(files[i]) ? 1 : 0;
    }
    for (size_t i = 0; i < files.size(); ++i) {
        File& f = files[i];
        const bool ok = synced[i] && nameOne(f);
        if (ok && f.fd >= 0) {
            ::close(f.fd);
            f.fd = -1;
        } else if (!ok) {
            removeOne(f);
        }
        if (!ok) {
            out.failed << f.final;
            continue;
        }
        out.named << f.final;
        addFolder(QFileInfo(f.final).path());
        if (named) {
            named(f.final);
        }
    }
    if (folders == Folders::SyncNow) {
        out.foldersSynced = syncFolders();
    }
    return out;
}

bool CDurableBatch::syncFolders() {
    bool ok = true;
    for (const QString& folder : std::as_const(m_folders)) {
        ok = CDurableFile::SyncFolder(QFile::encodeName(folder)) && ok;
    }
    m_folders.clear();
    return ok;
}

void CDurableBatch::discard() {
    for (File& f : m_files) {
        removeOne(f);
    }
    m_files.clear();
    m_finals.clear();
    m_folders.clear();
}
