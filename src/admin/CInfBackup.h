#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

// The backups of an import: before a box folder's "inf.ini" is first changed, it is kept as "inf.tmp" beside it,
// a second link to the same file where the file system allows it, else a copy (a box without "inf.ini" gets an
// "inf.tmp" with an empty "NAME"). A cancelled or failed import puts the backups back, so every box ends as it
// was before the import; a completed one removes them.
class CInfBackup {
public:
    static QString TmpPath(const QString& boxFolder);

    // Backs the box folder up unless this run already did: later changes of the same box keep the state from
    // before the import. False when the backup could not be made (then nothing may be changed).
    bool backUp(const QString& boxFolder);
    // Puts back every backup this run made. Returns the box folders that could not be restored.
    QStringList restore();
    // Removes the "inf.tmp" of every box folder below the kind directory (the import completed).
    static void RemoveBackups(const QString& kindDir);

private:
    QStringList m_folders; // in the order they were backed up
    QSet<QString> m_known; // the same, to look up: a run of thousands of boxes asks once per line
};
