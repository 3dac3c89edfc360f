#include "platform/CRegularFile.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

int CRegularFile::openForReading(const char* path, int dirFd) {
    // Without O_NONBLOCK, opening a named pipe waits for a writer.
    const int fd = ::openat(dirFd, path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return -1;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

qint64 CRegularFile::readFully(int fd, char* buf, qint64 size) {
    qint64 got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, buf + got, static_cast<size_t>(size - got));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            break;
        }
        got += n;
    }
    return got;
}

qint64 CRegularFile::readHead(const QString& file, char* buf, qint64 size) {
    const int fd = openForReading(QFile::encodeName(file).constData());
    if (fd < 0) {
        return -1;
    }
    const qint64 n = readFully(fd, buf, size);
    ::close(fd);
    return n;
}

bool CRegularFile::readAll(const QString& file, QByteArray& content) {
    const int fd = openForReading(QFile::encodeName(file).constData());
    if (fd < 0) {
        return false;
    }
    QByteArray all;
    char chunk[65536];
    for (;;) {
        const qint64 n = readFully(fd, chunk, sizeof chunk);
        if (n < 0) {
            ::close(fd);
            return false;
        }
        all.append(chunk, n);
        if (n < static_cast<qint64>(sizeof chunk)) {
            break;
        }
    }
    ::close(fd);
    content = all;
    return true;
}
