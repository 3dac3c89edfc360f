#include "store/CFileCopy.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const char* data, size_t size) {
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

bool copyContent(int in, int out) {
    // In the kernel when it can; a plain read and write loop otherwise (or after a partial start, from where it
    // stopped, since both offsets moved along).
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
        if (n == 0) {
            return true;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
                return false;
            }
            break;
        }
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            return true;
        }
        if (!writeAll(out, buffer, static_cast<size_t>(n))) {
            return false;
        }
    }
}

} // namespace

bool CFileCopy::Copy(const QString& source, const QString& destination, bool replace) {
    const QByteArray src = QFile::encodeName(source);
    const QByteArray dst = QFile::encodeName(destination);
    if (!replace && QFileInfo::exists(destination)) {
        return false;
    }
    const int in = ::open(src.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return false;
    }
    struct stat st;
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return false;
    }
    const QByteArray folder = QFile::encodeName(QFileInfo(destination).path());
    if (!replace) {
        // A file without a name, named once it is whole: linking it refuses a name that exists meanwhile.
        const int out = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, st.st_mode & 07777);
        if (out >= 0) {
            bool ok = copyContent(in, out) && ::fchmod(out, st.st_mode & 07777) == 0;
            if (ok) {
                const QByteArray self = "/proc/self/fd/" + QByteArray::number(out);
                ok = ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, dst.constData(), AT_SYMLINK_FOLLOW) == 0;
            }
            ok = ::close(out) == 0 && ok;
            ::close(in);
            return ok;
        }
        // File systems without unnamed files go the way of a replacement, through a temporary name.
    }
    // The ".ini" ending keeps a file left behind by a crash out of the list, as the store's own temporary files.
    QByteArray temp = folder + "/.kelda-copy-XXXXXX.ini";
    const int out = ::mkstemps(temp.data(), 4);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = copyContent(in, out);
    ok = ::fchmod(out, st.st_mode & 07777) == 0 && ok;
    ok = ::close(out) == 0 && ok;
    ::close(in);
    if (ok && !replace) {
        // Without replace a destination that appeared meanwhile is not taken over.
        if (::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0) {
            return true;
        }
        ok = (errno == EINVAL || errno == ENOSYS) && !QFileInfo::exists(destination) &&
             ::rename(temp.constData(), dst.constData()) == 0;
    } else if (ok) {
        ok = ::rename(temp.constData(), dst.constData()) == 0;
    }
    if (!ok) {
        ::unlink(temp.constData());
    }
    return ok;
}

bool CFileCopy::Move(const QString& source, const QString& destination, bool replace) {
    const QByteArray src = QFile::encodeName(source);
    const QByteArray dst = QFile::encodeName(destination);
    if (replace) {
        return ::rename(src.constData(), dst.constData()) == 0;
    }
    if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    // File systems without the no-replace rename: look first.
    return (errno == EINVAL || errno == ENOSYS) && !QFileInfo::exists(destination) &&
           ::rename(src.constData(), dst.constData()) == 0;
}

bool CFileCopy::SameContent(const QString& a, const QString& b) {
    QFile fa(a);
    QFile fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size()) {
        return false;
    }
    while (!fa.atEnd()) {
        const QByteArray x = fa.read(1 << 16);
        if (x.isEmpty() || x != fb.read(x.size())) {
            return false;
        }
    }
    return true;
}
