#pragma once

#include "operations/CHECK_FINDING.h"

#include <QString>

#include <vector>

class CFtpMng;
class CUserInterface;

// Mends what a check of a download folder found and can mend: voice files missing or cut are fetched again the
// way the list's voice-data download fetches them, WAV files that do not match their voice data are converted
// again, temporary files left by interrupted writes are removed. A message file is never deleted.
class CFolderRepair {
public:
    struct Action {
        QString path;
        QString text; // what was done, or why it was not
        bool done = false;
    };

    // ftp: the logged-in unit, or null when the check ran without it (voice files are then not fetched). The
    // download folder is held for the whole repair, so no download or move writes beside it; when another
    // operation holds it nothing is done and the one action says so.
    static std::vector<Action> Run(CUserInterface* ui, CFtpMng* ftp, const QString& downloadFolder,
                                   const std::vector<CHECK_FINDING>& findings);
};
