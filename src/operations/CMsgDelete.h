#pragma once

#include "link/UnitResult.h"
#include "operations/RESULT_MESSAGE.h"
#include "store/FILESTS_INFO.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class CFtpMng;
class CUserInterface;

// "消去": deletes the messages of the selected rows on the unit, on the PC, or both. The PC pass runs before the
// unit pass, so that with both kinds a message is only deleted on the unit once its local files are gone, and
// never when its voice data is not on the PC.
class CMsgDelete {
public:
    enum class Kind { UnitOnly = 0, UnitAndPc = 1, PcOnly = 2 };
    // The deletion of one message on the unit: Done (the file is gone), FileInUse, FileGoneOnUnit (no such file,
    // or protected); anything else (no connection, a lost link, any other answer) stops the run.
    using UnitDelete = std::function<UnitResult(const QString& localDirectory, const QString& unitPath)>;

    struct Summary {
        int selected = 0;
        int deleted = 0;            // PC files removed plus messages deleted on the unit
        int undeletable = 0;        // PC files that exist but could not be removed
        int keptOnUnit = 0;         // with both kinds: messages left on the unit because their PC files stayed
        QStringList unmarked;       // deleted on the unit, but the PC file's record could not be marked so
        bool inUse = false;         // the unit answered 450
        bool notDownloaded = false; // no voice data on the PC
        bool noMessage = false;     // protected, 550, a file name of another box or not the unit's form
        bool linkError = false;     // the run stopped at a row after "通信エラーが発生しました。"
        bool notDurable = false;    // the disk refused to sync the PC files: nothing was deleted on the unit
        QString inUseBox;           // box folder of the (single) busy row
        bool inUseExtension = false;
        // Whether the run ended in the completion message: every selected row deleted as asked.
        bool completed() const {
            return selected > 0 && !linkError && !notDurable && undeletable == 0 && unmarked.isEmpty() && !inUse &&
                   !notDownloaded && !noMessage;
        }
    };

    // Where a row's message lives on the unit, from its local file path.
    struct UnitTarget {
        QString boxFolder; // local folder that holds the file
        QString boxNo;     // that folder's name
        QString name;      // the unit's ".vminf" name
        QString path;      // "/rusuroku/BOX/NAME.vminf" or "/naisen/BOX/NAME.vminf"
        bool extension = false;
        bool valid = false;   // safe to send and of the unit's form
        bool sameBox = false; // the name carries the box number of its folder, by the unit's reading or the store's
    };
    static UnitTarget UnitTargetOf(const QString& filePath);
    // The box number a unit file name carries: the four characters starting 15 before its end, a leading "R"
    // dropped, "_" read as a blank, trailing blanks removed.
    static QString UnitBoxNo(const QString& fileName);

    // The unit link's deletion as the run needs it.
    static UnitDelete Through(CFtpMng& ftp);

    // Runs the deletion over the selected rows (in list order) with its progress window and result messages.
    // downloadFolder is the current download folder with its trailing "/", the connection's local directory.
    static Summary Run(CUserInterface& ui, Kind kind, const std::vector<FILESTS_INFO>& rows,
                       const QString& downloadFolder, const UnitDelete& unit);

    // Sets the status byte of the record at the head of a local message file to 3 (deleted on the unit) in
    // place. Only that byte changes: the rest of the record stays as it is on disk, whatever the list window
    // holds, and a one-byte write cannot leave half a record behind. False when the file has no whole record
    // or cannot be written.
    static bool MarkDeletedOnUnit(const QString& file);

    // The messages a finished run ends with (none after a link error, which has shown its own).
    static QList<RESULT_MESSAGE> ResultMessages(const Summary& s);

    static QString DoneText() { return QStringLiteral("音声メッセージの消去が正常に完了しました。"); }
    static QString DoneCaption() { return QStringLiteral("消去完了"); }
    // keptOnUnit: the messages whose PC files stayed were, for that reason, not deleted on the unit either.
    static QString UndeletableText(bool single, bool keptOnUnit = false);
    // The files whose record still says the message is on the unit although the unit deleted it.
    static QString UnmarkedText(const QStringList& files);
    // The disk refused to sync the PC files before the deletion on the unit, which was therefore not started.
    static QString NotDurableText();
    // The PC deletion could not be written down: nothing was deleted.
    static QString PcDeletionsNotWrittenText();
    // The stems of the rows a deletion on the PC alone leaves on the unit (not protected, not known deleted there,
    // of the unit's form).
    static QStringList StillOnUnit(const std::vector<FILESTS_INFO>& rows);

private:
    // Syncs the records marked in place; any that may not be on the disk go to s.unmarked.
    static void syncMarks(const QString& downloadFolder, const QStringList& marked, Summary& s);
};
