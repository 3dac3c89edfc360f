#pragma once

#include <QString>

#include <functional>

// Free bytes of the volume that holds a path, and the rule by which a file is judged to fit. Tests replace the
// measurement to pretend a full disk.
class CDiskSpace {
public:
    using Probe = std::function<qint64(const QString& path)>;

    static qint64 freeBytes(const QString& path);
    // A file of L bytes is reckoned at whole 4096-byte clusters plus one: (L div 4096 + 1) * 4096.
    static qint64 bytesNeeded(qint64 length);
    static bool fits(const QString& targetFolder, qint64 length);

    // Replaces the measurement (an empty function restores the real one).
    static void setProbe(Probe probe);

private:
    static Probe& probe();
};
