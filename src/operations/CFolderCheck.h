#pragma once

#include "operations/CHECK_FINDING.h"

#include <QHash>
#include <QString>

#include <array>
#include <functional>
#include <vector>

// The check of a download folder against itself: every box folder's "inf.ini" and name, every message file's
// record, size and unit header, the two files of a message against each other, every WAV file against its voice
// data, and what else lies in the box folders. It reads and changes nothing but what it reports; each fault is
// one finding.
class CFolderCheck {
public:
    // What the check learnt of one message, for the comparison with the unit and for a deletion that must
    // vouch for the PC's copy.
    struct LocalMessage {
        QString boxFolder;
        bool info = false;       // its ".vminf" is there
        bool voice = false;      // its ".vmdat" is there
        qint64 voiceSize = -1;   // length of the ".vmdat", record included
        bool voiceSound = false; // the ".vmdat" is there, readable and without a finding of its own or of its pair
    };

    struct Report {
        std::vector<CHECK_FINDING> findings;
        int boxFolders = 0;
        int messages = 0;
        bool cancelled = false;
        // Messages the unit still has that were deleted on the PC alone: no finding, only counted.
        int deletedOnPc = 0;
        // Whether byStem is filled (a comparison with the unit needs it; the check alone does not).
        bool indexMessages = false;
        // By the message's file name without extension; a message kept in two box folders is in the first one.
        QHash<QString, LocalMessage> byStem;

        std::array<int, int(CHECK_FINDING::Kind::KindCount)> counts() const;
        void add(CHECK_FINDING::Kind kind, const QString& path, const QString& problem, const QString& advice,
                 bool repairable = false);
    };

    // Called before each box folder with the count done and the total; false stops the check (cancelled).
    using Progress = std::function<bool(int done, int total)>;

    // Checks every box folder of the download folder (below "rusuroku" and "naisen").
    // indexMessages: fill the report's byStem for a comparison with the unit.
    static Report Run(const QString& downloadFolder, const Progress& progress = {}, bool indexMessages = false);
    // Checks one box folder into report.
    static void CheckBoxFolder(const QString& boxFolder, Report& report);
    // Whether the WAV file beside a voice file is whole and holds as many samples as the voice data's frames.
    static bool WavMatchesVoice(const QString& voiceFile);
};
