#pragma once

#include <QString>

#include <functional>

// Free bytes of the volume that holds a path, and the rule by which a file is judged to fit.
class CDiskSpace {
public:
    // A measurement of free bytes handed to a run in place of the volume's own (tests pretend a full disk with
    // it); an empty one measures the volume.
    using Probe = std::function<qint64(const QString& path)>;

    static qint64 freeBytes(const QString& path);
    // A file of L bytes is reckoned at whole 4096-byte clusters plus one: (L div 4096 + 1) * 4096.
    static qint64 bytesNeeded(qint64 length);
    static bool fits(const QString& targetFolder, qint64 length, const Probe& probe = {});
};
