#pragma once

#include <QByteArray>
#include <QString>

#include <fcntl.h>

// Reading files that must be ordinary files. A named pipe, device or socket standing under such a file's name
// is refused at once: opening or reading it could wait for ever for a writer that never comes.
class CRegularFile {
public:
    // A descriptor open for reading on path (relative to dirFd when it is not absolute), or -1 when it cannot
    // be opened or is not a regular file. The open itself never waits.
    static int openForReading(const char* path, int dirFd = AT_FDCWD);
    // Reads up to size bytes from the start of the file into buf. The number read, or -1 when the file cannot be
    // opened or read.
    static qint64 readHead(const QString& file, char* buf, qint64 size);
    // The whole file into content. False when it cannot be opened or read.
    static bool readAll(const QString& file, QByteArray& content);
    // Reads from fd until size bytes or the end of the file. The number read, or -1 on a read error.
    static qint64 readFully(int fd, char* buf, qint64 size);
};
