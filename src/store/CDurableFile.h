#pragma once

#include <QByteArray>
#include <QString>

// Putting a file in place so that a power cut after an operation said done loses nothing. A rename or a link can
// reach the disk before the data of the file it names, so a file's data is synced after its last write and before
// it is named; the name lives in its folder, so the folder is synced after the name is given and before the
// operation reports it. A file rewritten in place is synced before the write is reported.
//
// Every call answers false when the disk refused (EIO, ENOSPC or EDQUOT at sync time included): the caller then
// treats the file as not written and leaves the old one in place.
class CDurableFile {
public:
    // How a name is given.
    enum class Name {
        Replace,  // an existing file of that name is replaced in one step
        NoReplace // an existing file (or one that appears meanwhile) is never taken over: false then
    };

    // Syncs the data of an open file and what is needed to read it back (fdatasync).
    static bool SyncData(int fd);
    // The same for a file by its path (a file written through another descriptor, or by an earlier run: cheap
    // when its data is on the disk already).
    static bool SyncFile(const QByteArray& path);
    // Syncs a folder, so that the names given or taken in it last.
    static bool SyncFolder(const QByteArray& folder);
    static bool SyncFolderOf(const QByteArray& path);
    // Syncs everything written to the file system that holds path (one call for any number of files: data,
    // names and in-place writes alike).
    static bool SyncFileSystemOf(const QString& path);
    // Starts writing a file's data to the disk without waiting, so that a later sync of many files finds most of
    // the work done.
    static void StartWriteBack(int fd);

    // Renames a file whose data is synced, without syncing any folder: for callers that sync the folders of many
    // names once (CDurableBatch). With Name::NoReplace on a file system without a no-replace rename, the name is
    // looked at first; a name that exists fails with errno EEXIST.
    static bool RenameOnly(const QByteArray& from, const QByteArray& to, Name how);
    // Renames a file whose data is synced, then syncs the folder that got the name (and the one it left).
    static bool Rename(const QByteArray& from, const QByteArray& to, Name how);

    // Replaces a file's whole content: written under a temporary name in the same folder (whose ".ini" ending
    // keeps a leftover out of every message count), synced, renamed over the file, folder synced. A symbolic link
    // is written through. A file that exists keeps its permissions; a new one gets those any new file gets here.
    static bool WriteWhole(const QString& file, const QByteArray& content);
    // The same with the content in two pieces (a record and what follows it), and the permissions given.
    static bool WriteWhole(const QByteArray& realPath, const char* head, size_t headSize, const char* rest,
                           size_t restSize, unsigned int mode);

    // Writes all of data at the file's offset, retrying short writes and EINTR.
    static bool WriteAll(int fd, const char* data, size_t size);
    // The permissions a new file gets here (0666 less the process's umask).
    static unsigned int NewFileMode();
};
