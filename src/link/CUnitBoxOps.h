#pragma once

#include "link/UnitResult.h"

#include <QString>

class CDownloadLeaveOut;
class CProgress;

// What a box download needs from the unit, per box. The FTP client provides it; tests put a fake in its place
// to drive every combination of per-box results.
class CUnitBoxOps {
public:
    // Which files of a box directory a listing takes.
    enum class Files { All, Info, Voice };

    // The files listed in a unit box directory: Done with the count, NoBoxDirectory or CommFailure.
    struct Count {
        UnitResult result = UnitResult::Done;
        int files = 0;
        bool operator==(const Count&) const = default;
    };

    virtual ~CUnitBoxOps() = default;
    virtual Count CountBoxFiles(const QString& unitDir, const QString& localDir, Files files) = 0;
    // Per-box downloads (voice and information, or information only). lineCount: the lines of the box listing.
    // Done, FileGoneOnUnit, CommFailure, NoBoxDirectory, Cancelled, NoDiskSpace, and for a download that
    // converts, PresentVoiceNotConverted or FetchedVoiceNotConverted. progress: the window that follows the
    // download (null: none). leaveOut: the messages the PC keeps elsewhere or deleted, which stay on the unit
    // (null: none).
    virtual UnitResult DownloadBox(const QString& boxFolder, const QString& unitDir, int& lineCount,
                                   CProgress* progress, CDownloadLeaveOut* leaveOut) = 0;
    virtual UnitResult DownloadBoxInfo(const QString& boxFolder, const QString& unitDir, int& lineCount,
                                       CProgress* progress, CDownloadLeaveOut* leaveOut) = 0;
};
