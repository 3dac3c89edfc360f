#pragma once

#include <QString>

// One thing a check of a download folder found wrong: what kind of fault, which file or folder, what is wrong
// with it and what to do. Faults the check can mend itself carry what the mending needs.
struct CHECK_FINDING {
    enum class Kind {
        BadRecord,       // the record at the head of a message file is not well-formed
        Cut,             // a message file is not whole: not its record, the unit's header and whole frames
        HeaderMismatch,  // the unit's header and the record say different things about the same fact
        PairMismatch,    // the ".vminf" and ".vmdat" of one message describe different messages
        WavIncomplete,   // a WAV file whose header lengths do not fit its size
        WavMismatch,     // a WAV file made from another version of its voice data
        InfIni,          // a box folder's "inf.ini" is missing or cannot be read
        BoxFolderName,   // a box folder name the unit could not have
        Stray,           // a file or folder in a box folder that is no message, WAV or "inf.ini"
        Leftover,        // a temporary file left by an interrupted write
        Unreadable,      // a file that cannot be read
        NotOnPc,         // a message of the unit the PC does not have
        InfoOnlyOnPc,    // the PC holds the recording information only; the unit has the voice data
        ShorterThanUnit, // the PC's voice file is shorter than the unit's
        KindCount
    };

    Kind kind = Kind::Stray;
    QString path;    // the file or folder concerned
    QString problem; // what is wrong
    QString advice;  // what to do
    // Mending: a voice file to fetch again (its unit path and listed size, -1 unknown), a WAV to make again from
    // its voice file, or a leftover to remove.
    bool repairable = false;
    QString unitPath;
    qint64 listedSize = -1;

    // A short name of the kind for scripts and spreadsheets ("cut", "wav-mismatch" ...).
    static QString kindName(Kind kind);
    // The kind as the window shows it.
    static QString kindLabel(Kind kind);
};
