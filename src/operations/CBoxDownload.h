#pragma once

#include "link/CUnitBoxOps.h"

#include <QList>
#include <QString>
#include <QStringList>

class CUserInterface;

// The box-level download run behind "一括ﾀﾞｳﾝﾛｰﾄﾞ" and "選択ﾀﾞｳﾝﾛｰﾄﾞ": counts the chosen boxes' files on the unit,
// downloads box after box with a progress window, and reports the outcome with its messages.
class CBoxDownload {
public:
    enum class Kind { VoiceAndInfo, InfoOnly };
    // The kind of a download dialog's button: 0 "録音情報と音声ファイル", 1 "録音情報のみ".
    static Kind KindOfButton(int button) { return button == 1 ? Kind::InfoOnly : Kind::VoiceAndInfo; }

    // How a run ended: the counting failed or found nothing, the user cancelled, or the boxes were gone through.
    // FolderBusy: another operation held the download folder.
    enum class Ending { CountFailed, NothingToDownload, Cancelled, Finished, FolderBusy };
    // The closing messages of a run (texts in COperationTexts).
    enum class Message {
        DownloadDone,
        NoMessages,
        AlreadyErased,
        NoDiskSpace,
        CommError,
        PartlyNoVoice,
        PartlyNoDiskSpace,
        FolderBusy,
        // "キャンセル": the run says what it brought and which boxes it did not finish.
        Stopped
    };

    // What the closing messages of a finished run are chosen from.
    struct Tally {
        UnitResult last = UnitResult::Done; // the last per-box result that counts (NoDiskSpace after a full disk)
        bool filesGoneOnUnit = false;       // some box had files gone on the unit
        bool single = false;                // at most one message (information only: one file) was to come
        int filesAffected = 0;              // listing lines of the boxes that did not end Done
        int filesTotal = 0;                 // files counted on the unit
    };

    struct Outcome {
        Ending ending = Ending::Finished;
        UnitResult last = UnitResult::Done; // as in Tally; Done when no box was downloaded
        QList<Message> messages;            // as shown, in order
        int keptElsewhere = 0;              // messages left on the unit: the PC keeps them in another box folder
        int deletedOnPc = 0;                // and: deleted on the PC alone
        QString note;                       // what the last message said beyond its own text (empty: nothing)
        // The run ended with nothing but its completion message.
        bool complete() const { return messages == QList<Message>{Message::DownloadDone}; }
    };

    struct Box {
        QString boxFolder; // local box folder
        QString unitDir;   // "/rusuroku/NNNN" or "/naisen/NNNN"
        bool extension = false;
    };

    // The box folders of a download folder a bulk download goes through: answering-machine boxes, then
    // extension boxes, in directory order; folders made by hand on the PC (MAKE 1) are left out.
    static QList<Box> BulkBoxes(const QString& downloadFolder);
    // The named boxes of a selected download (answering-machine boxes first).
    static QList<Box> SelectedBoxes(const QString& downloadFolder, const QStringList& answeringBoxes,
                                    const QStringList& extensionBoxes);
    // A local download folder path from the settings' root and folder name ("：" back to ":").
    static QString DownloadFolderPath(const QString& root, const QString& folderName);

    // Runs the download and shows every message itself. Messages the PC keeps in another box folder stay on the
    // unit, and so do those deleted on the PC alone unless includeDeletedOnPc.
    static Outcome RunBoxDownload(CUserInterface& ui, CUnitBoxOps& unit, Kind kind, bool bulk, const QList<Box>& boxes,
                                  bool includeDeletedOnPc = false);
    // The lines after "ダウンロードを中止しました。": messages brought, and the boxes not gone through (each kind's
    // numbers after its name, as the box field names them).
    static QString StoppedText(int received, const QList<Box>& boxesLeft);
    // The closing messages of a finished run, in the order shown; none at all for some partial ends.
    static QList<Message> ResultMessages(const Tally& tally);
    // A completion (shown under "ダウンロード完了") rather than an error.
    static bool IsCompletion(Message message);
    static QString TextOf(Message message);
};
