#pragma once

#include <QString>

// Copying and moving one message file into another box folder so that the destination name never holds a cut
// file: a copy is written under no name or a temporary one and named once whole; a move is one rename.
class CFileCopy {
public:
    // With replace, an existing destination is replaced; without, the call fails when it exists. True when the
    // destination holds the whole source.
    static bool Copy(const QString& source, const QString& destination, bool replace);
    // Renames source to destination (within one file system), with the same rule for an existing destination.
    static bool Move(const QString& source, const QString& destination, bool replace);
    // Whether two files hold the same bytes (false when either cannot be read).
    static bool SameContent(const QString& a, const QString& b);
};
