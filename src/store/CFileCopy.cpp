#include "store/CFileCopy.h"

#include "store/CDurableBatch.h"
#include "store/CDurableFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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
        if (!CDurableFile::WriteAll(out, buffer, static_cast<size_t>(n))) {
            return false;
        }
    }
}

} // namespace

bool CFileCopy::CopyInto(const QString& source, const QString& destination, bool replace, CDurableBatch& batch) {
    const QByteArray src = QFile::encodeName(source);
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
    const CDurableFile::Name how = replace ? CDurableFile::Name::Replace : CDurableFile::Name::NoReplace;
    // A file without a name, named once it is whole and on the disk; a kill before that leaves nothing.
    const int out = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, st.st_mode & 07777);
    if (out >= 0) {
        const bool ok = copyContent(in, out) && ::fchmod(out, st.st_mode & 07777) == 0;
        ::close(in);
        if (!ok) {
            ::close(out);
            return false;
        }
        CDurableFile::StartWriteBack(out);
        batch.addUnnamed(out, destination, how);
        return true;
    }
    // File systems without unnamed files go through a temporary name. The ".ini" ending keeps a file left behind
    // by a crash out of the list, as the store's own temporary files.
    QByteArray temp = folder + "/.kelda-copy-XXXXXX.ini";
    const int named = ::mkstemps(temp.data(), 4);
    if (named < 0) {
        ::close(in);
        return false;
    }
    bool ok = copyContent(in, named);
    ok = ::fchmod(named, st.st_mode & 07777) == 0 && ok;
    if (ok) {
        CDurableFile::StartWriteBack(named);
    }
    ok = ::close(named) == 0 && ok;
    ::close(in);
    if (!ok) {
        ::unlink(temp.constData());
        return false;
    }
    batch.add(QFile::decodeName(temp), destination, how);
    return true;
}

bool CFileCopy::Copy(const QString& source, const QString& destination, bool replace) {
    CDurableBatch batch;
    return CopyInto(source, destination, replace, batch) && batch.commit().ok();
}

bool CFileCopy::Move(const QString& source, const QString& destination, bool replace, CDurableBatch* folders) {
    const QByteArray src = QFile::encodeName(source);
    const QByteArray dst = QFile::encodeName(destination);
    const CDurableFile::Name how = replace ? CDurableFile::Name::Replace : CDurableFile::Name::NoReplace;
    if (!folders) {
        return CDurableFile::Rename(src, dst, how);
    }
    if (!CDurableFile::RenameOnly(src, dst, how)) {
        return false;
    }
    folders->addFolder(QFileInfo(source).path());
    folders->addFolder(QFileInfo(destination).path());
    return true;
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
