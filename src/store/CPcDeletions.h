#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

// The messages of a download folder deleted on the PC alone: the unit still has them, and a download would bring
// them back. They are written down in the download folder, one message name (without extension) per line, before
// their files go, and crossed off once the unit no longer lists them or they are downloaded again on purpose.
class CPcDeletions {
public:
    static const QString kFileName;

    // The names written down; an absent list is an empty one. ok (if given): false when a list is there and cannot
    // be read.
    static QSet<QString> Read(const QString& downloadFolder, bool* ok = nullptr);
    // Adds stems to the list, whole or not at all, synced before it returns; false when it cannot be written.
    static bool Add(const QString& downloadFolder, const QStringList& stems);
    // Replaces the list by stems (the file goes when it is empty); false when it cannot be written.
    static bool Write(const QString& downloadFolder, const QSet<QString>& stems);
};
