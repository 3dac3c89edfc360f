#pragma once

#include "platform/CDiskSpace.h"
#include "store/FILESTS_INFO.h"

#include <QString>
#include <QStringList>

#include <vector>

class CUserInterface;

// The convert and play commands of the list and the removal of played WAV files at exit. They take what they
// work on as plain inputs (the selected rows' records, the after-play setting, the deletion queue the main
// frame owns), so the list window and the main frame only have to hand these over.
class CVoiceCommands {
public:
    // How a convert run ended: every file converted (or already converted) and the completion message shown;
    // some files converted and the partial message shown; nothing converted for a reason the run told; nothing
    // selected; or cancelled.
    enum class ConvertResult { Completed, Partly, Failed, NothingToConvert, Cancelled };

    struct ConvertOutcome {
        int converted = 0; // WAV files written by this run
        bool cancelled = false;
        ConvertResult result = ConvertResult::NothingToConvert;
    };

    // Converts the voice data of the selected rows (in list order) into WAV files beside them, with the
    // conversion dialog and the closing message. Rows whose WAV file exists are left as they are.
    // freeSpace: measures the room for the WAV files (empty: the volume's own).
    static ConvertOutcome Convert(CUserInterface& ui, const std::vector<FILESTS_INFO>& selectedRows,
                                  const CDiskSpace::Probe& freeSpace = {});
    // "変換します。よろしいですか？" with how many messages are chosen.
    static QString ConvertQuestion(int chosen);

    // Plays one row: converts it when its WAV file is missing, hands the WAV file to the default player,
    // marks the row played in memory and in its file, and queues the WAV file for deletion at exit when
    // deleteAfterPlay (the "CONVDEL" setting) is on. True when handed to the player (the list reloads).
    static bool Play(CUserInterface& ui, FILESTS_INFO& row, bool deleteAfterPlay, QStringList& deletionQueue,
                     const CDiskSpace::Probe& freeSpace = {});

    // At confirmed exit: deletes the queued WAV files behind the "消去中" window and empties the queue.
    static void DeleteQueuedWavFiles(CUserInterface& ui, QStringList& deletionQueue);

    // The free-space rule of a conversion: the WAV file is reckoned at 16 times the voice data.
    static bool WavFits(const QString& voiceFile, qint64 voiceBytes, const CDiskSpace::Probe& freeSpace = {});
};
