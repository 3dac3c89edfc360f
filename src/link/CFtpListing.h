#pragma once

#include "link/CListingReader.h"

#include <QString>
#include <QStringList>

// Reading the unit's listings. A listing is taken apart by CListingReader, the one way every reader shares.
// Names that end up as local file or folder names are checked here, because a listing is untrusted input.
class CFtpListing {
public:
    // Non-empty lines of a listing after normalisation.
    static QStringList normalisedLines(const QString& text);
    // Number of non-empty normalised lines; one pending event is dispatched per character when a callback is
    // given.
    template <typename F> static int countLines(const QString& text, F perCharacter);

    // Long-listing fields of a normalised line: the size is the 9 characters at index 24; the name is the
    // message name at the end of the line with its dot restored, or empty when the line names no message file.
    static qint64 longSize(const QString& line);
    static QString longName(const QString& line);

    // A message file name: a 26-character stem and ".vmdat" or ".vminf", nothing that leaves the folder.
    static bool isMessageName(const QString& name);
    // A box folder name from the tree listing: not empty, not "." or "..", no path separator ("/" or "\\"), no
    // control character, "," or blank (they separate boxes in a list's box selection), at most 4 characters (the
    // unit's box numbers have four). The one rule for reading a listing and for making box folders from it.
    static bool isBoxNumber(const QString& name);
    // Box numbers of a tree listing text (one per line), the rest skipped.
    static QStringList boxNumbers(const QString& text);

    // A file of that size needs one 4096-byte block more than its whole blocks.
    static qint64 spaceNeeded(qint64 size) { return (size / 4096 + 1) * 4096; }

    static constexpr int kStemLength = 26;
    static constexpr int kNameLength = 32;
};

template <typename F> int CFtpListing::countLines(const QString& text, F perCharacter) {
    CListingReader reader(text, [&perCharacter](QChar) {
        perCharacter();
        return true;
    });
    int count = 0;
    QString line;
    while (reader.next(line)) {
        ++count;
    }
    return count;
}
