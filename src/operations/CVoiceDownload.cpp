#include "operations/CVoiceDownload.h"

#include "link/CFtpMng.h"
#include "operations/COperationTexts.h"
#include "operations/CPrgFileDwnDlg.h"
#include "platform/CCancelFlag.h"
#include "platform/CDiskSpace.h"
#include "platform/CUserInterface.h"
#include "store/BoxKind.h"
#include "store/CFolderLock.h"

CVoiceDownload::Target CVoiceDownload::TargetOf(const QString& filePath) {
    Target t;
    const qsizetype slash = filePath.lastIndexOf('/');
    t.name = filePath.mid(slash + 1);
    t.name.replace(QLatin1String(".vminf"), QLatin1String(".vmdat"));
    t.boxFolder = filePath.left(std::max<qsizetype>(slash, 0));
    const qsizetype before = slash > 0 ? t.boxFolder.lastIndexOf('/') : -1;
    t.boxNo = t.boxFolder.mid(before + 1);
    const QString kind =
        boxKindDir(boxKindOf(filePath.contains(QLatin1Char('/') + boxKindDir(BoxKind::Extension) + QLatin1Char('/'))));
    t.unitDir = QStringLiteral("/%1/%2").arg(kind, t.boxNo);
    t.unitPath = t.unitDir + '/' + t.name;
    return t;
}

namespace {

// What the files of one run came to, for the closing messages.
struct VoiceTally {
    int tried = 0;        // files taken in hand
    int received = 0;     // files brought from the unit
    int notFetched = 0;   // files gone on the unit, or left for want of space
    bool missing = false; // some file was not on the unit
    bool diskFull = false;
    UnitResult last = UnitResult::Done;
};

bool stoppedQuietly(UnitResult r) {
    return r == UnitResult::Cancelled || r == UnitResult::PresentVoiceNotConverted ||
           r == UnitResult::FetchedVoiceNotConverted;
}

VoiceTally fetchAll(CUserInterface& ui, CFtpMng& ftp, const QStringList& paths) {
    VoiceTally t;
    bool pendingMissing = false;
    qint64 spaceNeeded = 0;
    qint64 listedSize = -1;
    CPrgFileDwnDlg progress(ui);
    progress.setCounterTotal(static_cast<int>(paths.size()));
    progress.advanceCounter();
    for (const QString& path : paths) {
        if (CCancelFlag::isSet()) {
            break;
        }
        ++t.tried;
        const CVoiceDownload::Target target = CVoiceDownload::TargetOf(path);
        const qint64 free = ftp.freeBytes(target.boxFolder);
        const UnitResult found =
            ftp.FindVoiceSize(target.unitDir, target.boxFolder, target.name, listedSize, spaceNeeded);
        if (found == UnitResult::NotListed) {
            t.missing = true;
            pendingMissing = true;
        } else if (free < spaceNeeded) {
            ++t.notFetched;
            t.diskFull = true;
            break;
        }
        if (CCancelFlag::isSet()) {
            break;
        }
        progress.setStepTotal(spaceNeeded / 1024);
        t.last = ftp.DownloadVoice(target.unitPath, target.boxFolder, target.name,
                                   found == UnitResult::Done ? listedSize : -1, &progress);
        if (t.last == UnitResult::Done) {
            ++t.received;
            if (pendingMissing) {
                ++t.notFetched;
                pendingMissing = false;
            }
        } else if (t.last == UnitResult::FileGoneOnUnit) {
            t.missing = true;
            ++t.notFetched;
            pendingMissing = false;
        } else {
            t.diskFull = t.diskFull || t.last == UnitResult::NoDiskSpace;
            break;
        }
        progress.setPhase(CProgress::Phase::Downloading);
        progress.nextFile();
        ui.dispatchPendingEvents(1);
    }
    progress.close();
    return t;
}

} // namespace

CVoiceDownload::Outcome CVoiceDownload::RunVoiceDownload(CUserInterface& ui, CFtpMng& ftp,
                                                         const QStringList& selectedFilePaths) {
    CCancelFlag::clear();
    if (selectedFilePaths.isEmpty()) {
        ui.messageBox(COperationTexts::NothingSelected(), COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
        return {};
    }
    CFolderLock lock;
    if (!lock.acquireOrTell(ui, CFolderLock::DownloadFolderOfFile(selectedFilePaths.first()))) {
        return {};
    }

    ui.setMainWindowEnabled(false);
    const VoiceTally t = fetchAll(ui, ftp, selectedFilePaths);
    ui.setMainWindowEnabled(true);
    // The folder is free before the last word: a person who leaves the message open holds up no other run.
    lock.release();

    if (CCancelFlag::isSet() && t.received < selectedFilePaths.size()) {
        // Stopped by the person: what came, and how many of the chosen messages still lack their voice data.
        ui.messageBox(
            QStringList{COperationTexts::DownloadStopped(), COperationTexts::StoppedReceived(t.received),
                        COperationTexts::StoppedVoiceLeft(static_cast<int>(selectedFilePaths.size()) - t.received)}
                .join(QLatin1Char('\n')),
            COperationTexts::DownloadStoppedCaption(), MsgIcon::Information);
        return {true, false};
    }
    if (stoppedQuietly(t.last)) {
        return {true, false};
    }
    const auto done = [&ui](const QString& text) {
        ui.messageBox(text, COperationTexts::DownloadDoneCaption(), MsgIcon::Information);
    };
    const auto error = [&ui](const QString& text) {
        ui.messageBox(text, COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
    };
    const bool allOrOne = t.tried < 2 || t.tried == t.notFetched;
    if (t.missing) {
        if (allOrOne) {
            error(COperationTexts::AlreadyErased());
            if (t.tried == t.notFetched && t.diskFull) {
                error(COperationTexts::NoDiskSpace());
            }
            return {};
        }
        done(COperationTexts::PartlyNoVoice());
    }
    if (t.diskFull) {
        if (allOrOne) {
            error(COperationTexts::NoDiskSpace());
        } else {
            done(COperationTexts::PartlyNoDiskSpace());
        }
        return {};
    }
    if (t.missing) {
        return {true, false};
    }
    if (t.last != UnitResult::Done) {
        error(COperationTexts::CommError());
        return {};
    }
    done(COperationTexts::DownloadDone());
    return {true, true};
}
