#pragma once

#include "store/FILESTS_INFO.h"

#include <QString>
#include <QStringList>

#include <vector>

class CUserInterface;

// The store's file operations. Stateless: every operation opens, reads or writes and closes its files within the
// call. Folder arguments are accepted with or without a trailing "/".
class CFileMng {
public:
    // Appends the records of the messages of a box folder to dest, in directory order: 0 done; -1 a message file
    // could not be opened (dest untouched).
    static int LoadRecords(const QString& boxFolder, std::vector<FILESTS_INFO>& dest);
    // Messages of a folder as the list sizes its array: every file but ".wav", ".ini" and a ".vminf" whose
    // ".vmdat" twin exists. Never smaller than what LoadRecords yields.
    static int CountMessages(const QString& folder);
    // Copies the first 990 bytes of a file into rec (the rest zero); returns the number of bytes copied.
    static int ReadRecord(const QString& file, FILESTS_INFO& rec);
    // Replaces the record of a file, keeping every byte after it. Refreshes rec.boxName from the box folder's
    // "inf.ini" first. 1 written; 0 the file cannot be opened or written (the file is left as it was).
    static int RewriteRecord(FILESTS_INFO& rec, const QString& file);
    // Puts rec in front of the file's content. 0 written, or the file cannot be read (nothing changed);
    // -1 the file cannot be written (the file is left as it was).
    static int PrependRecord(const QString& file, const FILESTS_INFO& rec);
    static bool FileExists(const QString& path);
    // 1 some box folder holds a message; 2 box folders exist but none holds a message; 0 no box folders.
    static int FolderHasMessages(const QString& downloadFolder);
    static bool IsDownloadFolder(const QString& folder);
    static void DeleteWavFiles(const QString& folder);
    static bool HasWavFiles(const QString& folder);
    // 1 the record of the folder's first ".vminf" (else first ".vmdat") read; 0 none found or not readable.
    static int ReadFirstRecord(const QString& boxFolder, FILESTS_INFO& rec);
    // "NAME" of the box folder's "inf.ini" (at most 19 characters), empty when missing.
    static QString GetBoxName(const QString& boxFolder);
    static bool SetBoxName(const QString& boxFolder, const QString& name);
    static bool SetMake(const QString& boxFolder, const QString& value);
    static int GetMake(const QString& boxFolder);
    static bool IsMakePending(const QString& boxFolder);
    // Empties list, then fills it with the full path of every subdirectory, in directory order.
    static void ListSubfolders(const QString& folder, QStringList& list);

    // Decodes a local ".vmdat" file into a ".wav" beside it. 1 converted; 0 not (cancelled, failed, or no file).
    static int ConvertToWav(const QString& vmdatFile, CUserInterface* ui);

    // Naming helpers shared by the operations.
    static QString Join(const QString& folder, const QString& name);
    // The box folder of a message file: its full path less the last 32 characters (the file name).
    static QString BoxFolderOf(const QString& messageFile);
    // The box number a message file name carries ("_" at index 16, then up to 4 characters before the next "_").
    static QString BoxNoFromName(const QString& fileName);
    static QString InfIniPath(const QString& boxFolder);
};
