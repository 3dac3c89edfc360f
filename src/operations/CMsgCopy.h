#pragma once

#include "operations/RESULT_MESSAGE.h"
#include "platform/CDiskSpace.h"
#include "store/CDurableBatch.h"
#include "store/CMoveJournal.h"
#include "store/FILESTS_INFO.h"

#include <QList>
#include <QString>

#include <functional>
#include <vector>

class CUserInterface;

// The answers of the overwrite question ("ﾌｧｲﾙ上書きの確認").
enum class OverwriteAnswer {
    Yes,    // "はい(&Y)": this file, and the rest of this message without asking
    All,    // "全て上書き(&A)": every file of the run without asking
    No,     // "いいえ(&N)": this message stops here
    Cancel, // "キャンセル": the run stops here
};

// "移動・コピー": moves or copies the messages of the selected rows into another box folder of the same download
// folder, file by file (".vminf", ".vmdat", ".wav"). A file already in the target is only replaced after the
// user's answer; a cancel takes back the message in hand. Every message ends whole in one box folder (a move) or
// whole in the target (a copy), also when the program is killed in between: the next operation on the folder
// finishes it.
class CMsgCopy {
public:
    enum class Kind { Move = 0, Copy = 1 };
    using AskOverwrite = std::function<OverwriteAnswer(const QString& fileName)>;

    struct Summary {
        int selected = 0;
        int processed = 0;
        int transferred = 0;  // messages that are now whole in the target (moved, copied or completed)
        int failed = 0;       // messages left out because a file could not be read or written
        bool noVoice = false; // rows without their voice data on the PC
        bool memory = false;  // the run stopped for lack of space
        bool cancelled = false;
        bool stopped = false; // "キャンセル" answered to the overwrite question
        bool busy = false;    // another operation held the download folder; nothing was done
        // Whether the run ended in the completion message.
        bool completed() const {
            return selected > 0 && !cancelled && !stopped && !busy && failed == 0 && !memory && !noVoice &&
                   transferred > 0;
        }
    };

    CMsgCopy(CUserInterface& ui, AskOverwrite ask) : m_ui(ui), m_ask(std::move(ask)) {}

    // Runs over the selected rows in list order. target is "rusuroku/NNNN" or "naisen/NNNN", downloadFolder the
    // current download folder. Shows its progress and result messages.
    Summary Run(Kind kind, const QString& target, const std::vector<FILESTS_INFO>& rows, const QString& downloadFolder);

    // The list window's handler of a cancel request: the run stops after the file in hand and takes its message back.
    void RequestCancel() { m_cancel = 1; }
    bool cancelRequested() const { return m_cancel != 0; }
    // A further source of cancel requests, asked where the flag is checked (the command line's interrupt).
    void setCancelPoll(std::function<bool()> poll) { m_poll = std::move(poll); }
    // Measures the room in a target box folder (empty: the volume's own).
    void setFreeSpace(CDiskSpace::Probe probe) { m_freeSpace = std::move(probe); }

    static QList<RESULT_MESSAGE> ResultMessages(Kind kind, const Summary& s);

    static QString DoneText(Kind kind);
    // Shown in place of the completion message when every message was left where it was (the overwrite question
    // answered "いいえ(&N)").
    static QString NothingDoneText(Kind kind);
    static QString DoneCaption(Kind kind);
    static QString FailedText(Kind kind, int count);

    // Copies a file through a temporary name in the destination's folder, so that a failure half-way leaves
    // no cut file under a message's name. With replace, an existing destination is replaced; without, the call
    // fails when it exists. True when the destination holds the whole source.
    static bool CopyFile(const QString& source, const QString& destination, bool replace);

private:
    struct Handled {
        QString source;
        QString destination;
    };
    // Moves the message in hand back, and removes its note.
    static void undoMove(const QString& downloadFolder, const QList<Handled>& files);

    // Copies wait, written whole and without names, to be synced and named as one group (one sync of their data
    // and of the target folder, not one of each file): the messages of consecutive rows from one box folder, up
    // to kCopyGroup of them. One note tells the group, so that a kill while it is named is finished later.
    static constexpr int kCopyGroup = 64;
    struct PendingCopies {
        CDurableBatch files;
        CMoveJournal::Entry note;
        QString sourceDir;
        QList<QStringList> rows; // each row's destinations
    };
    // Names the waiting copies and counts their rows as copied or failed.
    static void commitCopies(PendingCopies& pending, const QString& downloadFolder, Summary& s);

    CUserInterface& m_ui;
    AskOverwrite m_ask;
    int m_cancel = 0;
    std::function<bool()> m_poll;
    CDiskSpace::Probe m_freeSpace;
};
