#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <vector>

// Reads an extension phone book: CP932 bytes, the first two lines a header. A line ends with LF, CR LF or a CR
// alone (files saved with any of the three conventions read alike). Every later line is taken up to and
// including its end, at most LINE_BYTES bytes (a longer line goes on as the next one). Fields are
// separated by "," with no quoting: field 1 is ignored, field 2 is the box number, and every field from the third
// on that a "," ends is a name for that box, in order (so the last such field wins). The last field of a line,
// with no "," after it, is never used. A field keeps at most FIELD_CHARS characters. Pure: no files, no state.
class CImportLineReader {
public:
    static constexpr int LINE_BYTES = 256;
    static constexpr int FIELD_CHARS = 64;

    struct Line {
        QString boxNo;          // empty when the line has fewer than two ","
        QStringList names;      // each name the line gives its box, in order
        QList<bool> namesExact; // per name: every byte of it was CP932 (a byte that is not became "?")
        bool blank = true;      // nothing but blanks before the line's end
    };

    // Where the first data line starts: after the second line end (the end when there are not two).
    static qsizetype SkipHeader(QByteArrayView data);
    // The next line from pos (its LF included, at most LINE_BYTES bytes); pos moves past it. Empty at the end.
    static QByteArrayView NextLine(QByteArrayView data, qsizetype& pos);
    // The box number and names of one line's bytes. Bytes from a NUL on are not part of the line.
    static Line ParseLine(QByteArrayView line);
    // Every data line of a whole file, header skipped.
    static std::vector<Line> Parse(QByteArrayView data);
};
