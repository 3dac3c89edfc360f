#pragma once

#include "store/CDurableFile.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

#include <vector>

// Many files put in place with the order of CDurableFile kept and one sync of each folder: each file is written
// whole under a temporary name, then at commit every file's data is synced and every file named; every folder
// that got a name is synced once, at the commit or later (syncFolders), before the operation reports its files.
// A file is named only once its bytes are on the disk, and none is named before the batch commits. What is not
// committed is removed when the batch ends.
class CDurableBatch {
public:
    CDurableBatch() = default;
    ~CDurableBatch();
    CDurableBatch(const CDurableBatch&) = delete;
    CDurableBatch& operator=(const CDurableBatch&) = delete;

    // A file written whole under temporary, to be named final at commit.
    void add(const QString& temporary, const QString& final, CDurableFile::Name how = CDurableFile::Name::Replace);
    // A file written whole without a name (O_TMPFILE), to be named final at commit; the batch owns fd. A kill
    // before the commit leaves nothing behind.
    void addUnnamed(int fd, const QString& final, CDurableFile::Name how);
    // A folder that got or lost a name outside the batch and must be synced at commit.
    void addFolder(const QString& folder);
    int size() const { return static_cast<int>(m_files.size()); }
    bool holds(const QString& final) const;
    // Takes a file out of the batch and removes its temporary; false when the batch does not hold it.
    bool drop(const QString& final);

    struct Outcome {
        QStringList named;  // the final names given, in the order added
        QStringList failed; // the final names not given (their temporaries removed)
        bool foldersSynced = true;
        bool ok() const { return failed.isEmpty() && foldersSynced; }
    };
    enum class Folders { SyncNow, SyncLater };
    // Syncs and names the files, and syncs their folders now or leaves them for syncFolders; no file is left in
    // the batch afterwards. named is told each final name right after it was given.
    using Named = std::function<void(const QString& final)>;
    Outcome commit(Folders folders = Folders::SyncNow, const Named& named = {});
    // Syncs every folder that got a name since the last sync of folders. False when one could not be synced.
    bool syncFolders();
    // Removes every temporary without naming anything.
    void discard();

private:
    struct File {
        QString temporary; // empty for an unnamed file
        QString final;
        CDurableFile::Name how;
        int fd = -1; // the unnamed file's
    };
    static bool syncOne(const File& f);
    static bool nameOne(const File& f);
    static void removeOne(File& f);
    std::vector<File> m_files;
    QSet<QString> m_finals;
    QStringList m_folders;
};
