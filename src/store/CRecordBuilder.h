#pragma once

#include "store/FILESTS_INFO.h"

#include <QByteArray>
#include <QString>

// Gives a file just received from the unit its record, built from the unit's 256-byte header (and, for voice
// data, carried over from the ".vminf" already on the PC).
class CRecordBuilder {
public:
    enum class Result {
        Written,     // record prepended
        WriteFailed, // the file could not be rewritten; it is as it was received
        Unreadable,  // the file could not be opened to read its header; left unchanged
    };
    static Result BuildForReceivedFile(const QString& path);
    // The same for a file received with 990 bytes of room in front of the unit's data: the record is written
    // into that room, the file synced and then renamed to finalPath (its folder synced), so a message file never
    // exists half-made, not even after a power cut. Written, WriteFailed (the received file is left where it is)
    // or Unreadable.
    static Result BuildIntoHeadroom(const QString& receivedPath, const QString& finalPath);
    // Only the record into the room, for a caller that syncs and names many files at once (CDurableBatch):
    // with sync the file's data is synced, otherwise its write to the disk is started.
    static Result WriteIntoHeadroom(const QString& receivedPath, const QString& finalPath, bool sync);

    // The parts of the record that come from a unit header; exposed so that callers and tools agree on them.
    // header holds up to 256 bytes; missing bytes read as zero.
    static void ApplyHeader(FILESTS_INFO& rec, const QByteArray& header, bool fresh, bool isVoice);
    // "%04d/%02d/%02d %02d:%02d" from an RFC 1123 date text, as written without time-zone conversion;
    // empty when the text does not parse.
    static QString FormatRecDateTime(const QString& internetTime);
    // "%02d:%02d:%02d" from a length in tenths of a second; 100 hours or more shows "99:59:59".
    static QString FormatRecTime(quint32 tenths);
};
