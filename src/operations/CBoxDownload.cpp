#include "operations/CBoxDownload.h"

#include "operations/COperationTexts.h"
#include "operations/CPrgFileDwnDlg.h"
#include "platform/CCancelFlag.h"
#include "platform/CUserInterface.h"
#include "store/BoxKind.h"
#include "store/CDownloadLeaveOut.h"
#include "store/CFileMng.h"
#include "store/CFolderLock.h"

#include <QFileInfo>
#include <QSet>

namespace {

void addBoxes(QList<CBoxDownload::Box>& out, const QString& downloadFolder, BoxKind boxKind) {
    const QString kind = boxKindDir(boxKind);
    const bool extension = boxKind == BoxKind::Extension;
    QStringList folders;
    CFileMng::ListSubfolders(CFileMng::Join(downloadFolder, kind), folders);
    for (const QString& folder : folders) {
        if (CFileMng::GetMake(folder) == CFileMng::Make::ByUser) {
            continue;
        }
        out.append({folder, QStringLiteral("/%1/%2").arg(kind, QFileInfo(folder).fileName()), extension});
    }
}

} // namespace

QString CBoxDownload::DownloadFolderPath(const QString& root, const QString& folderName) {
    QString path = root + folderName;
    path.replace(QStringLiteral("："), QStringLiteral(":"));
    return path;
}

QList<CBoxDownload::Box> CBoxDownload::BulkBoxes(const QString& downloadFolder) {
    QList<Box> boxes;
    for (const BoxKind kind : kBoxKinds) {
        addBoxes(boxes, downloadFolder, kind);
    }
    return boxes;
}

QList<CBoxDownload::Box> CBoxDownload::SelectedBoxes(const QString& downloadFolder, const QStringList& answeringBoxes,
                                                     const QStringList& extensionBoxes) {
    QList<Box> boxes;
    for (const QString& no : answeringBoxes) {
        boxes.append({CFileMng::Join(downloadFolder, QStringLiteral("rusuroku/") + no),
                      QStringLiteral("/rusuroku/") + no, false});
    }
    for (const QString& no : extensionBoxes) {
        boxes.append(
            {CFileMng::Join(downloadFolder, QStringLiteral("naisen/") + no), QStringLiteral("/naisen/") + no, true});
    }
    return boxes;
}

namespace {

// Box results after which a run goes on with the next box.
bool goesOn(UnitResult r) {
    return r == UnitResult::FileGoneOnUnit || r == UnitResult::NoBoxDirectory ||
           r == UnitResult::PresentVoiceNotConverted;
}

// One run over the chosen boxes: counting, then the answering-machine boxes, then the extension boxes.
class BoxRun {
public:
    BoxRun(CUserInterface& ui, CUnitBoxOps& unit, CBoxDownload::Kind kind, bool bulk,
           const QList<CBoxDownload::Box>& boxes, CFolderLock& lock, CDownloadLeaveOut& leaveOut)
        : m_ui(ui), m_unit(unit), m_kind(kind), m_bulk(bulk), m_boxes(boxes), m_progress(ui), m_lock(lock),
          m_leaveOut(leaveOut) {}

    CBoxDownload::Outcome run();

private:
    // Counts the boxes' files on the unit into m_filesTotal; false when the run ends here (outcome set).
    bool count(CBoxDownload::Outcome& outcome);
    void setUpProgress();
    // Downloads the boxes of one kind; stops at a result the run does not go on after.
    void downloadPhase(bool extension);
    void show(CBoxDownload::Message message, const QString& note = QString());
    // Crosses off the PC deletions the run showed to be settled; the words the last message gains.
    QString settle(CBoxDownload::Outcome& outcome);
    // The stopped run's last word: what came, and the boxes not finished.
    void showStopped(CBoxDownload::Outcome& outcome);

    CUserInterface& m_ui;
    CUnitBoxOps& m_unit;
    CBoxDownload::Kind m_kind;
    bool m_bulk;
    const QList<CBoxDownload::Box>& m_boxes;
    CPrgFileDwnDlg m_progress;
    CFolderLock& m_lock;
    CDownloadLeaveOut& m_leaveOut;
    // Every box of a bulk run was listed and gone through to its end: what the unit did not list, it no longer has.
    bool m_everyBoxWalked = true;
    int m_filesTotal = 0;
    QSet<int> m_missingOnUnit; // boxes whose unit directory was missing when counting
    UnitResult m_last = UnitResult::Done;
    bool m_filesGone = false;
    bool m_diskFull = false;
    int m_filesAffected = 0;
    QSet<int> m_finished; // boxes gone through to their end
};

void BoxRun::showStopped(CBoxDownload::Outcome& outcome) {
    outcome.ending = CBoxDownload::Ending::Cancelled;
    outcome.messages = {CBoxDownload::Message::Stopped};
    QList<CBoxDownload::Box> left;
    for (int i = 0; i < m_boxes.size(); ++i) {
        if (!m_finished.contains(i)) {
            left << m_boxes[i];
        }
    }
    m_everyBoxWalked = false;
    outcome.note = settle(outcome);
    m_lock.release();
    const QString text = CBoxDownload::StoppedText(m_progress.received(), left);
    m_ui.messageBox(outcome.note.isEmpty() ? text : text + QLatin1Char('\n') + outcome.note,
                    COperationTexts::DownloadStoppedCaption(), MsgIcon::Information);
}

void BoxRun::show(CBoxDownload::Message message, const QString& note) {
    // Only the run's last words are shown, with the folder already free: a person who leaves the message open
    // holds up no other run.
    m_lock.release();
    const bool completion = CBoxDownload::IsCompletion(message);
    const QString text = CBoxDownload::TextOf(message);
    m_ui.messageBox(note.isEmpty() ? text : text + QLatin1Char('\n') + note,
                    completion ? COperationTexts::DownloadDoneCaption() : COperationTexts::ErrorCaption(),
                    completion ? MsgIcon::Information : MsgIcon::Exclamation);
}

bool BoxRun::count(CBoxDownload::Outcome& outcome) {
    const CUnitBoxOps::Files files =
        m_kind == CBoxDownload::Kind::InfoOnly ? CUnitBoxOps::Files::Info : CUnitBoxOps::Files::All;
    for (int i = 0; i < m_boxes.size(); ++i) {
        if (CCancelFlag::isSet()) {
            outcome.ending = CBoxDownload::Ending::Cancelled;
            return false;
        }
        const CUnitBoxOps::Count counted = m_unit.CountBoxFiles(m_boxes[i].unitDir, m_boxes[i].boxFolder, files);
        if (counted.result == UnitResult::Done) {
            m_filesTotal += counted.files;
        } else if (counted.result == UnitResult::NoBoxDirectory) {
            m_missingOnUnit.insert(i);
        } else if (CCancelFlag::isSet()) {
            // "キャンセル" during a listing ends the run as quietly as between two boxes.
            outcome.ending = CBoxDownload::Ending::Cancelled;
            return false;
        } else {
            outcome.ending = CBoxDownload::Ending::CountFailed;
            outcome.messages = {CBoxDownload::Message::CommError};
            return false;
        }
    }
    if (m_filesTotal < 1) {
        outcome.ending = CBoxDownload::Ending::NothingToDownload;
        outcome.messages = {CBoxDownload::Message::NoMessages};
        return false;
    }
    return true;
}

void BoxRun::setUpProgress() {
    // The counter counts files of an information-only run, messages (two files each) otherwise.
    if (m_kind == CBoxDownload::Kind::InfoOnly) {
        m_progress.setRange(0, m_filesTotal);
        m_progress.setCounterTotal(m_filesTotal);
        m_progress.advanceCounter();
    } else if (m_filesTotal / 2 > 0) {
        m_progress.setCounterTotal(m_filesTotal / 2);
        m_progress.advanceCounter();
    }
}

void BoxRun::downloadPhase(bool extension) {
    for (int i = 0; i < m_boxes.size(); ++i) {
        const CBoxDownload::Box& box = m_boxes[i];
        if (box.extension != extension) {
            continue;
        }
        if (CCancelFlag::isSet()) {
            return;
        }
        int lines = 0;
        const UnitResult r = m_kind == CBoxDownload::Kind::VoiceAndInfo
                                 ? m_unit.DownloadBox(box.boxFolder, box.unitDir, lines, &m_progress, &m_leaveOut)
                                 : m_unit.DownloadBoxInfo(box.boxFolder, box.unitDir, lines, &m_progress, &m_leaveOut);
        if (r != UnitResult::Cancelled) {
            m_finished.insert(i);
        }
        // A box whose unit directory was already missing when counting is skipped, not a failure: it must not
        // turn a finished download into a communication error or hide its completion message.
        if (r == UnitResult::NoBoxDirectory && m_missingOnUnit.contains(i)) {
            continue;
        }
        if (r != UnitResult::Done && r != UnitResult::FileGoneOnUnit && r != UnitResult::NoBoxDirectory) {
            m_everyBoxWalked = false;
        }
        m_last = r;
        m_diskFull = m_diskFull || r == UnitResult::NoDiskSpace;
        if (r == UnitResult::Done) {
            continue;
        }
        m_filesAffected += lines;
        m_filesGone = m_filesGone || r == UnitResult::FileGoneOnUnit;
        if (!goesOn(r)) {
            return;
        }
    }
}

CBoxDownload::Outcome BoxRun::run() {
    if (m_bulk) {
        m_ui.dispatchPendingEvents(1002);
    }
    CBoxDownload::Outcome outcome;
    if (!count(outcome)) {
        m_progress.close();
        if (outcome.ending == CBoxDownload::Ending::Cancelled) {
            showStopped(outcome);
            return outcome;
        }
        for (const CBoxDownload::Message m : outcome.messages) {
            show(m);
        }
        return outcome;
    }
    setUpProgress();
    if (m_bulk) {
        m_ui.dispatchPendingEvents(12);
    }

    downloadPhase(false);
    // A bulk download goes on to the extension boxes only after a result it goes on after; a selected one after
    // anything but a communication failure (a full disk included).
    const bool answeringOk =
        m_bulk ? (m_last == UnitResult::Done || goesOn(m_last)) : m_last != UnitResult::CommFailure;
    if (!CCancelFlag::isSet() && answeringOk) {
        downloadPhase(true);
    } else {
        m_everyBoxWalked = false;
    }
    m_progress.close();

    outcome.last = m_last;
    // A press that came after the last box is no stop: the run is whole and says so.
    if (CCancelFlag::isSet() && m_finished.size() < m_boxes.size()) {
        showStopped(outcome);
        return outcome;
    }
    // A selected download goes on to the extension boxes after a full disk; a later box that had room, or one
    // whose voice files were gone, must not hide that messages were left on the unit for want of space.
    if (m_diskFull && m_last != UnitResult::CommFailure) {
        outcome.last = UnitResult::NoDiskSpace;
    }
    CBoxDownload::Tally tally;
    tally.last = outcome.last;
    tally.filesGoneOnUnit = m_filesGone;
    const int toCome = m_bulk || m_kind == CBoxDownload::Kind::InfoOnly ? m_filesTotal : m_filesTotal / 2;
    tally.single = toCome <= 1;
    tally.filesAffected = m_filesAffected;
    tally.filesTotal = m_filesTotal;
    outcome.messages = CBoxDownload::ResultMessages(tally);
    outcome.note = settle(outcome);
    for (qsizetype i = 0; i < outcome.messages.size(); ++i) {
        show(outcome.messages[i], i + 1 == outcome.messages.size() ? outcome.note : QString());
    }
    return outcome;
}

QString BoxRun::settle(CBoxDownload::Outcome& outcome) {
    outcome.keptElsewhere = m_leaveOut.keptElsewhere();
    outcome.deletedOnPc = m_leaveOut.deletedOnPc();
    QStringList lines;
    if (outcome.keptElsewhere > 0 || outcome.deletedOnPc > 0) {
        lines << COperationTexts::LeftOnUnit(outcome.keptElsewhere, outcome.deletedOnPc);
    }
    if (m_leaveOut.deletionsUnreadable()) {
        lines << COperationTexts::PcDeletionsUnreadable();
    } else if (!m_leaveOut.settle(m_bulk && m_everyBoxWalked)) {
        lines << COperationTexts::PcDeletionsNotUpdated();
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

CBoxDownload::Outcome CBoxDownload::RunBoxDownload(CUserInterface& ui, CUnitBoxOps& unit, Kind kind, bool bulk,
                                                   const QList<Box>& boxes, bool includeDeletedOnPc) {
    CCancelFlag::clear();
    // Two runs receiving into one folder at once would each take the other's files for their own.
    CFolderLock lock;
    if (!boxes.isEmpty() && !lock.acquireOrTell(ui, CFolderLock::DownloadFolderOfBox(boxes.first().boxFolder))) {
        Outcome busy;
        busy.ending = Ending::FolderBusy;
        busy.messages = {Message::FolderBusy};
        return busy;
    }
    CDownloadLeaveOut leaveOut;
    if (!boxes.isEmpty()) {
        leaveOut = CDownloadLeaveOut::Of(CFolderLock::DownloadFolderOfBox(boxes.first().boxFolder), includeDeletedOnPc);
    }
    return BoxRun(ui, unit, kind, bulk, boxes, lock, leaveOut).run();
}

QString CBoxDownload::StoppedText(int received, const QList<Box>& boxesLeft) {
    QStringList lines{COperationTexts::DownloadStopped(), COperationTexts::StoppedReceived(received)};
    QStringList answering;
    QStringList extension;
    for (const Box& b : boxesLeft) {
        (b.extension ? extension : answering) << QFileInfo(b.boxFolder).fileName();
    }
    QStringList kinds;
    if (!answering.isEmpty()) {
        kinds << QStringLiteral("留守録BOX ") + answering.join(QLatin1Char(','));
    }
    if (!extension.isEmpty()) {
        kinds << QStringLiteral("内線BOX ") + extension.join(QLatin1Char(','));
    }
    if (!kinds.isEmpty()) {
        lines << COperationTexts::StoppedBoxesLeft(kinds.join(QStringLiteral("  ")));
    }
    return lines.join(QLatin1Char('\n'));
}

QList<CBoxDownload::Message> CBoxDownload::ResultMessages(const Tally& t) {
    const bool diskFull = t.last == UnitResult::NoDiskSpace;
    if (t.single) {
        if (t.last == UnitResult::Done) {
            return {Message::DownloadDone};
        }
        if (t.filesGoneOnUnit) {
            return {Message::AlreadyErased};
        }
        return {diskFull ? Message::NoDiskSpace : Message::CommError};
    }
    if (t.last == UnitResult::Done && !t.filesGoneOnUnit) {
        return {Message::DownloadDone};
    }
    if (t.last == UnitResult::CommFailure) {
        return {Message::CommError};
    }
    // Only some of the files affected: the partial forms, as completions.
    const bool partly = t.filesAffected > 0 && t.filesAffected < t.filesTotal;
    QList<Message> messages;
    if (t.filesGoneOnUnit) {
        messages << (partly ? Message::PartlyNoVoice : Message::AlreadyErased);
    }
    if (diskFull) {
        messages << (partly ? Message::PartlyNoDiskSpace : Message::NoDiskSpace);
    }
    return messages;
}

bool CBoxDownload::IsCompletion(Message message) {
    return message == Message::DownloadDone || message == Message::PartlyNoVoice ||
           message == Message::PartlyNoDiskSpace;
}

QString CBoxDownload::TextOf(Message message) {
    switch (message) {
    case Message::DownloadDone:
        return COperationTexts::DownloadDone();
    case Message::NoMessages:
        return COperationTexts::NoMessages();
    case Message::AlreadyErased:
        return COperationTexts::AlreadyErased();
    case Message::NoDiskSpace:
        return COperationTexts::NoDiskSpace();
    case Message::CommError:
        return COperationTexts::CommError();
    case Message::PartlyNoVoice:
        return COperationTexts::PartlyNoVoice();
    case Message::PartlyNoDiskSpace:
        return COperationTexts::PartlyNoDiskSpace();
    case Message::FolderBusy:
        return CFolderLock::BusyText();
    case Message::Stopped:
        return COperationTexts::DownloadStopped();
    }
    return QString();
}
