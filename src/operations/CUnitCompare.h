#pragma once

#include "link/UnitResult.h"
#include "operations/CFolderCheck.h"

#include "store/FILESTS_INFO.h"

#include <QHash>
#include <QString>

#include <vector>

class CFtpMng;

// The check of a download folder against the unit's listings: messages the unit has and the PC does not,
// messages the PC holds as recording information only while the unit has their voice data, and voice files
// shorter than the unit lists them. It only lists; nothing on the unit changes.
class CUnitCompare {
public:
    enum class Outcome { Done, CommFailure, Cancelled };

    // One box directory of the unit: the size of every message file it lists, by file name.
    struct UnitBox {
        QString directory; // "/rusuroku/NNNN" or "/naisen/NNNN"
        QHash<QString, qint64> sizes;
    };

    // Lists every box of the unit and adds its findings to report (made by CFolderCheck::Run on the same folder,
    // with its messages indexed);
    // a voice file the local check found cut learns where the unit keeps it and its listed size.
    static Outcome Run(CFtpMng& ftp, const QString& downloadFolder, CFolderCheck::Report& report);
    // The long listing of one box directory: Done, NotListed (no such box directory on the unit), CommFailure or
    // Cancelled.
    static UnitResult ListBox(CFtpMng& ftp, const QString& unitDirectory, UnitBox& box);

    // A message a deletion on the unit leaves alone, and why.
    struct Unverified {
        QString file;
        QString reason;
    };
    // Keeps of rows (records whose filePath names the message file) only the messages the PC can vouch for: a
    // voice file that passes every check of its box folder and is as long as the unit lists it in the box
    // directory the deletion addresses. The others are taken out and returned; a listing that fails takes out
    // every row of its box.
    static std::vector<Unverified> KeepVerified(CFtpMng& ftp, std::vector<FILESTS_INFO>& rows);
};
