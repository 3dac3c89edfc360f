#include "platform/CDiskSpace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/statvfs.h>

qint64 CDiskSpace::freeBytes(const QString& path) {
    // The target may not exist yet: measure the nearest folder above it that does.
    QString p = path.isEmpty() ? QDir::currentPath() : QFileInfo(path).absoluteFilePath();
    while (!QFileInfo::exists(p)) {
        const QString up = QFileInfo(p).path();
        if (up == p) {
            break;
        }
        p = up;
    }
    // statvfs directly: the storage-info class reads the whole mount table on every call, which a check per
    // file of a long run would pay thousands of times.
    struct statvfs st;
    if (::statvfs(QFile::encodeName(p).constData(), &st) != 0) {
        return 0;
    }
    return static_cast<qint64>(st.f_bavail) * static_cast<qint64>(st.f_frsize);
}

qint64 CDiskSpace::bytesNeeded(qint64 length) {
    return (length / 4096 + 1) * 4096;
}

bool CDiskSpace::fits(const QString& targetFolder, qint64 length, const Probe& probe) {
    return (probe ? probe(targetFolder) : freeBytes(targetFolder)) >= bytesNeeded(length);
}
