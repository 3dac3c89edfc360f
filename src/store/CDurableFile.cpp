#include "store/CDurableFile.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) {
        return QByteArrayLiteral(".");
    }
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

} // namespace

bool CDurableFile::SyncData(int fd) {
    for (;;) {
        if (::fdatasync(fd) == 0) {
            return true;
        }
        if (errno != EINTR) {
            return false;
        }
    }
}

bool CDurableFile::SyncFile(const QByteArray& path) {
    // Non-blocking: a named pipe put under the name must not hold the operation.
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    const bool ok = SyncData(fd);
    ::close(fd);
    return ok;
}

bool CDurableFile::SyncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.isEmpty() ? "." : folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool ok = false;
    for (;;) {
        if (::fsync(fd) == 0) {
            ok = true;
            break;
        }
        // A file system that cannot sync a folder (EINVAL) keeps its names by other means.
        if (errno == EINVAL) {
            ok = true;
            break;
        }
        if (errno != EINTR) {
            break;
        }
    }
    ::close(fd);
    return ok;
}

bool CDurableFile::SyncFolderOf(const QByteArray& path) {
    return SyncFolder(folderOf(path));
}

bool CDurableFile::SyncFileSystemOf(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::syncfs(fd) == 0;
    ::close(fd);
    return ok;
}

void CDurableFile::StartWriteBack(int fd) {
    // Only a head start: the sync that follows is what counts, so a refusal here changes nothing.
    (void)::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
}

bool CDurableFile::RenameOnly(const QByteArray& from, const QByteArray& to, Name how) {
    if (how == Name::Replace) {
        return ::rename(from.constData(), to.constData()) == 0;
    }
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        return false; // EEXIST among them: the name is taken
    }
    // File systems without the no-replace rename (a memory stick's, say): look first.
    struct stat st;
    if (::lstat(to.constData(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return errno == ENOENT && ::rename(from.constData(), to.constData()) == 0;
}

bool CDurableFile::Rename(const QByteArray& from, const QByteArray& to, Name how) {
    if (!RenameOnly(from, to, how)) {
        return false;
    }
    const QByteArray left = folderOf(from);
    const QByteArray got = folderOf(to);
    // The name has moved whatever the syncs say; a refused sync is still a failure to report.
    bool ok = SyncFolder(got);
    if (left != got) {
        ok = SyncFolder(left) && ok;
    }
    return ok;
}

bool CDurableFile::WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

unsigned int CDurableFile::NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool CDurableFile::WriteWhole(const QByteArray& realPath, const char* head, size_t headSize, const char* rest,
                              size_t restSize, unsigned int mode) {
    QByteArray temp = folderOf(realPath) + "/.kelda-XXXXXX.ini";
    const int fd = ::mkstemps(temp.data(), 4);
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAll(fd, head, headSize) && WriteAll(fd, rest, restSize);
    ok = ok && ::fchmod(fd, mode & 07777) == 0;
    ok = ok && SyncData(fd);
    ok = ::close(fd) == 0 && ok;
    if (!ok || !RenameOnly(temp, realPath, Name::Replace)) {
        ::unlink(temp.constData());
        return false;
    }
    return SyncFolderOf(realPath);
}

bool CDurableFile::WriteWhole(const QString& file, const QByteArray& content) {
    const QByteArray path = QFile::encodeName(file);
    unsigned int mode = NewFileMode();
    QByteArray target = path;
    struct stat st;
    if (::lstat(path.constData(), &st) == 0) {
        // A symbolic link is written through: the file it names gets the content and the link stays a link.
        char* real = ::realpath(path.constData(), nullptr);
        if (!real) {
            return false;
        }
        target = QByteArray(real);
        std::free(real);
        if (::stat(target.constData(), &st) != 0) {
            return false;
        }
        mode = st.st_mode & 07777;
    }
    return WriteWhole(target, content.constData(), static_cast<size_t>(content.size()), nullptr, 0, mode);
}
