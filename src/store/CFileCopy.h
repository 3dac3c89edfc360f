#pragma once

#include <QString>

class CDurableBatch;

// Copying and moving one message file into another box folder so that the destination name never holds a cut
// file, not even after a power cut: a copy is written under no name or a temporary one, synced and named once
// whole, its folder synced; a move is one rename, both folders synced.
class CFileCopy {
public:
    // With replace, an existing destination is replaced; without, the call fails when it exists. True when the
    // destination holds the whole source, on the disk.
    static bool Copy(const QString& source, const QString& destination, bool replace);
    // The same, written whole and handed to batch, which syncs and names it (with the others) when it commits.
    static bool CopyInto(const QString& source, const QString& destination, bool replace, CDurableBatch& batch);
    // Renames source to destination (within one file system), with the same rule for an existing destination.
    // Both folders are synced, or, with folders, left to it to sync with others.
    static bool Move(const QString& source, const QString& destination, bool replace, CDurableBatch* folders = nullptr);
    // Whether two files hold the same bytes (false when either cannot be read).
    static bool SameContent(const QString& a, const QString& b);
};
