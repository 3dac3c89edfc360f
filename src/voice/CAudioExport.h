#pragma once

#include "store/FILESTS_INFO.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

class CUserInterface;

// Writes the voice of the selected messages into a folder as files that play anywhere, to be passed on: one file
// per message, named from its record, never over a file that is there. Opus files carry the record's texts as
// tags; WAV files hold the samples the conversion writes. Behind the "書き出し中" window, ended by one message that
// says what was written, what was cut and what was left out.
class CAudioExport {
public:
    enum class Format { Opus, Wav };
    struct Options {
        QString folder;
        Format format = Format::Opus;
        // The messages brought to one loudness before they are encoded.
        bool normalize = false;
    };
    enum class Result {
        Completed, // every message with voice data written whole (information-only ones left out, and said so)
        Partly,    // files written, but a voice file was cut short (written up to the cut) or a message failed
        Nothing,   // no file written: no voice data among the rows, no usable folder, or every message failed
        Cancelled, // stopped by the user: the files finished before stay, the one in hand is removed
    };
    struct Outcome {
        Result result = Result::Nothing;
        QStringList written; // the files made, in the rows' order
        QStringList cut;     // of those, the ones whose voice file is cut short
        QStringList failed;  // message files that were not exported (unreadable, or the folder took no file)
        int infoOnly = 0;    // rows without voice data, left out
    };

    static QString Suffix(Format format);
    // The tags of an Opus file, by name: the record's texts as they are, and the date in ISO form for players.
    static std::vector<std::pair<QByteArray, QString>> Tags(const FILESTS_INFO& rec);

    // Exports the rows (records with the message files' paths) in their order into options.folder, which must
    // exist.
    static Outcome Run(CUserInterface& ui, const std::vector<FILESTS_INFO>& rows, const Options& options);
};
