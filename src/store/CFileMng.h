#pragma once

#include "store/FILESTS_INFO.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class CProgress;
class CUserInterface;

// The store's file operations. Stateless: every operation opens, reads or writes and closes its files within the
// call. Folder arguments are accepted with or without a trailing "/".
class CFileMng {
public:
    // What a load of a box folder's records came to.
    struct LoadOutcome {
        int loaded = 0;     // records appended
        int unreadable = 0; // message files that could not be opened or read, left out
    };
    // What became of a write of a record into a file.
    enum class WriteResult {
        Written,
        Unreadable, // the file cannot be read: nothing changed
        Unwritable  // the file cannot be written: the file is left as it was
    };
    // What a read of a record found.
    struct ReadOutcome {
        bool opened = false; // false: missing, not a regular file, or not readable
        int bytes = 0;       // bytes copied into the record
    };
    // What a download folder's box folders hold.
    enum class FolderMessages { NoBoxFolders, NoMessages, HasMessages };
    // What a search for a box folder's first record found.
    enum class FirstRecord { Read, NoneFound, Unreadable };
    // How a box folder came to exist, from "MAKE" of its "inf.ini".
    enum class Make {
        None,    // "0" or absent: nothing pending
        ByUser,  // "1": made by the user with the box folder creation command
        Pending, // "2": made by a folder download that has not finished with it
        Other    // any other value
    };

    // A box folder's directory, listed once: what was counted is what a load of the listing reads.
    struct BoxListing {
        QString folder;
        QByteArray names; // every name of the folder as the file system holds it, each ended by a NUL
        struct Message {
            qsizetype at; // where its name starts in names
            bool regular; // listed as a regular file
        };
        std::vector<Message> messages; // the files a load reads, in directory order
        int count = 0;                 // CountMessages of the folder
    };

    static BoxListing ListBox(const QString& boxFolder);
    // Appends the records of the messages of a box folder to dest, in directory order. A message file that cannot
    // be opened or read, or is no regular file, is left out alone and counted in unreadable.
    static LoadOutcome LoadRecords(const QString& boxFolder, std::vector<FILESTS_INFO>& dest);
    static LoadOutcome LoadRecords(const BoxListing& listing, std::vector<FILESTS_INFO>& dest);
    // Called after every LOAD_STEP files while a load runs (not at its end), with the records it has appended so
    // far: a window can follow a box of thousands of messages as its records arrive. It must leave dest alone.
    using LoadStep = std::function<void(int loaded)>;
    static constexpr int LOAD_STEP = 256;
    static LoadOutcome LoadRecords(const BoxListing& listing, std::vector<FILESTS_INFO>& dest, const LoadStep& step);
    // Messages of a folder as the list sizes its array: every file but ".wav", ".ini" and a ".vminf" whose
    // ".vmdat" twin exists.
    static int CountMessages(const QString& folder);
    // Copies the first 990 bytes of a file into rec (the rest zero). Only a regular file is read.
    static ReadOutcome ReadRecord(const QString& file, FILESTS_INFO& rec);
    // Replaces the record of a file, keeping every byte after it. Refreshes rec.boxName from the box folder's
    // "inf.ini" first.
    static WriteResult RewriteRecord(FILESTS_INFO& rec, const QString& file);
    // Puts rec in front of the file's content.
    static WriteResult PrependRecord(const QString& file, const FILESTS_INFO& rec);
    static bool FileExists(const QString& path);
    static FolderMessages FolderHasMessages(const QString& downloadFolder);
    static bool IsDownloadFolder(const QString& folder);
    static void DeleteWavFiles(const QString& folder);
    static bool HasWavFiles(const QString& folder);
    // Reads the record of the folder's first ".vminf" (else first ".vmdat").
    static FirstRecord ReadFirstRecord(const QString& boxFolder, FILESTS_INFO& rec);
    // "NAME" of the box folder's "inf.ini" (at most 19 characters), empty when missing.
    static QString GetBoxName(const QString& boxFolder);
    static bool SetBoxName(const QString& boxFolder, const QString& name);
    static bool SetMake(const QString& boxFolder, const QString& value);
    static Make GetMake(const QString& boxFolder);
    static bool IsMakePending(const QString& boxFolder);
    // Empties list, then fills it with the full path of every subdirectory, in directory order.
    static void ListSubfolders(const QString& folder, QStringList& list);

    // Decodes a local ".vmdat" file into a ".wav" beside it. False when it did not (cancelled, failed, or no file).
    // progress: the window that follows the conversion (null: none).
    static bool ConvertToWav(const QString& vmdatFile, CUserInterface* ui, CProgress* progress);
    // Whether the WAV file of a voice-data file is what converting it would give: complete (its header carries
    // the sizes of every frame of the voice data) and written after the voice file.
    static bool WavIsCurrent(const QString& vmdatFile);
    // Whether the WAV file is complete for the voice data (its size and header sizes are those of every frame),
    // whenever it was written: a WAV file cut by a crash or a power cut is not.
    static bool WavIsComplete(const QString& vmdatFile);

    // Naming helpers shared by the operations.
    static QString Join(const QString& folder, const QString& name);
    // The box folder of a message file: the directory it is named in, with a trailing "/".
    static QString BoxFolderOf(const QString& messageFile);
    // The box number a message file name carries ("_" at index 16, then up to 4 characters before the next "_").
    static QString BoxNoFromName(const QString& fileName);
    static QString InfIniPath(const QString& boxFolder);
};
