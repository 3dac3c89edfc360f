// The download operations of the unit link: whole boxes, and single voice files for the list.
#include "link/CFtpMng.h"

#include "link/CBoxFetch.h"
#include "link/CFtpListing.h"
#include "link/CListingReader.h"
#include "platform/CCancelFlag.h"
#include "platform/CDiskSpace.h"
#include "platform/CProgress.h"
#include "platform/CUserInterface.h"
#include "store/CFileMng.h"
#include "store/CRecordBuilder.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Feeds every line of a listing to take, dispatching one pending event per character and polling the cancel flag
// per character kept. Cancelled when the cancel flag ended the walk; otherwise the result of the fetch run.
template <typename Take> UnitResult walkListing(const QString& text, CUserInterface* ui, CBoxFetch& run, Take take) {
    CListingReader reader(text, [ui](QChar c) {
        if (ui) {
            ui->dispatchPendingEvents(1);
        }
        return c == QLatin1Char('\r') || CListingReader::isDropped(c) || CCancelFlag::value() != 1;
    });
    QString line;
    while (reader.next(line)) {
        if (!take(line)) {
            return run.result();
        }
    }
    if (reader.stopped()) {
        return UnitResult::Cancelled;
    }
    return run.result();
}

} // namespace

UnitResult CFtpMng::inBoxFolder(const QString& boxFolder, int& lineCount,
                                const std::function<UnitResult(const QString& folder)>& fetch) {
    lineCount = 0;
    if (!m_conn) {
        return UnitResult::CommFailure;
    }
    pauseKeepAlive();
    const QString folder = boxFolder.isEmpty() ? programDirectory() : boxFolder;
    m_conn->localDirectory = folder;
    const UnitResult result = fetch(folder);
    resumeKeepAlive();
    return result;
}

UnitResult CFtpMng::DownloadBox(const QString& boxFolder, const QString& unitDirectory, int& lineCount,
                                CProgress* progress, CDownloadLeaveOut* leaveOut) {
    return inBoxFolder(boxFolder, lineCount, [&](const QString& folder) {
        QString text;
        qint64 byteLength = 0;
        const UnitReply listed = m_conn->ListLong(unitDirectory, Files::All, text, byteLength);
        UnitResult result = UnitResult::Cancelled;
        if (listed.result != UnitResult::Done && listed.result != UnitResult::Cancelled) {
            result = listingFailure(listed);
        } else if (listed.result == UnitResult::Done && CCancelFlag::value() != 1) {
            lineCount = CFtpListing::countLines(text, [] {});
            CBoxFetch run(*m_conn, m_ui, progress, folder, m_convertOnDownload);
            run.setKeepCurrentWav(m_keepCurrentWav);
            run.setFreeSpace(m_freeSpace);
            run.setLeaveOut(leaveOut);
            result = walkListing(text, m_ui, run, [&run](const QString& line) { return run.takeLongLine(line); });
            if (result == UnitResult::Cancelled) {
                run.dropHalfMessage();
            }
            result = run.finish(result);
        }
        return result;
    });
}

UnitResult CFtpMng::DownloadBoxInfo(const QString& boxFolder, const QString& unitDirectory, int& lineCount,
                                    CProgress* progress, CDownloadLeaveOut* leaveOut) {
    return inBoxFolder(boxFolder, lineCount, [&](const QString& folder) {
        QString text;
        const UnitReply listed = m_conn->ListNames(unitDirectory, Files::Info, text);
        UnitResult result = listingFailure(listed);
        if (listed.result == UnitResult::Done) {
            lineCount = CFtpListing::countLines(text, [] {});
            CBoxFetch run(*m_conn, m_ui, progress, folder, false);
            run.setLeaveOut(leaveOut);
            result = walkListing(text, m_ui, run, [&run](const QString& line) { return run.takeInfoLine(line); });
            result = run.finish(result);
        }
        return result;
    });
}

UnitResult CFtpMng::FindVoiceSize(const QString& unitDirectory, const QString& boxFolder, const QString& name,
                                  qint64& listedSize, qint64& spaceNeeded) {
    if (!m_conn) {
        return UnitResult::CommFailure;
    }
    pauseKeepAlive();
    m_conn->localDirectory = boxFolder.isEmpty() ? programDirectory() : boxFolder;
    QString dotless = name;
    if (dotless.size() > CFtpListing::kStemLength) {
        dotless.remove(CFtpListing::kStemLength, 1);
    }
    QString text;
    qint64 byteLength = 0;
    const UnitReply listed = m_conn->ListLong(unitDirectory, Files::Voice, text, byteLength);
    UnitResult result = listingFailure(listed);
    // A cancelled listing lists nothing; the caller looks at the cancel flag.
    if (listed.result == UnitResult::Done || listed.result == UnitResult::Cancelled) {
        result = UnitResult::NotListed;
        CListingReader reader(text, [this](QChar) {
            if (m_ui) {
                m_ui->dispatchPendingEvents(1);
            }
            return true;
        });
        QString line;
        while (reader.next(line)) {
            if (line.contains(dotless)) {
                listedSize = CFtpListing::longSize(line);
                spaceNeeded = CFtpListing::spaceNeeded(listedSize);
                result = UnitResult::Done;
                break;
            }
        }
    }
    resumeKeepAlive();
    return result;
}

UnitResult CFtpMng::DownloadVoice(const QString& unitPath, const QString& boxFolder, const QString& name,
                                  qint64 listedSize, CProgress* progress) {
    if (!m_conn || !CFtpListing::isMessageName(name)) {
        return UnitResult::CommFailure;
    }
    pauseKeepAlive();
    const QString folder = boxFolder.isEmpty() ? programDirectory() : boxFolder;
    m_conn->localDirectory = folder;
    const UnitResult result = fetchVoice(unitPath, folder, name, listedSize, progress);
    resumeKeepAlive();
    return result;
}

UnitResult CFtpMng::fetchVoice(const QString& unitPath, const QString& folder, const QString& name, qint64 listedSize,
                               CProgress* progress) {
    const QString local = CFileMng::Join(folder, name);
    // The unit's copy arrives under the receiving name and becomes the message file only when complete and given
    // its record. A voice file already here, with the record the user may have edited, is never touched: it stays
    // as it was whatever happens to the transfer, and so does any file the user keeps beside it. A voice file cut
    // short by an earlier transfer is no voice file: it is replaced, keeping its record.
    const bool present = CFileMng::FileExists(local);
    const bool kept = present && !CBoxFetch::isCutShort(local, listedSize);
    FILESTS_INFO oldRecord;
    oldRecord.clear();
    const bool keepRecord = present && !kept && CFileMng::ReadRecord(local, oldRecord).bytes >= FILESTS_INFO::SIZE;
    const QString receiving = CFileMng::Join(folder, CBoxFetch::receivingName());
    const UnitResult received = CBoxFetch::receive(*m_conn, unitPath, receiving, listedSize, true, false, progress);
    if (received != UnitResult::Done) {
        QFile::remove(receiving);
        return received;
    }
    if (progress) {
        progress->setStepDone(-1);
    }
    if (kept) {
        QFile::remove(receiving);
    } else if (CRecordBuilder::BuildIntoHeadroom(receiving, local) != CRecordBuilder::Result::Written) {
        // Never a success without the record: the raw file would be listed as a message of garbage.
        const qint64 size = QFileInfo(receiving).size();
        QFile::remove(receiving);
        return freeBytes(folder) < CDiskSpace::bytesNeeded(size) ? UnitResult::NoDiskSpace : UnitResult::CommFailure;
    } else if (keepRecord) {
        // The record stays as the user left it, but what was taken from the unit is what this file's header says
        // (played there since, or not), as for any voice file received; a message deleted there stays so.
        FILESTS_INFO fresh;
        if (oldRecord.importStatus != 3 && CFileMng::ReadRecord(local, fresh).bytes >= FILESTS_INFO::SIZE) {
            oldRecord.importStatus = fresh.importStatus;
        }
        CFileMng::RewriteRecord(oldRecord, local);
    }
    if (progress) {
        progress->setStepDone(-1);
    }
    if (m_ui) {
        for (int i = 0; i < 10; ++i) {
            m_ui->dispatchPendingEvents(1);
            m_ui->sleepMs(1);
        }
    }
    if (!m_convertOnDownload || (kept && m_keepCurrentWav && CFileMng::WavIsCurrent(local))) {
        return UnitResult::Done;
    }
    if (progress) {
        progress->setPhase(CProgress::Phase::Converting);
    }
    if (freeBytes(folder) < CDiskSpace::bytesNeeded(QFileInfo(local).size() * 16)) {
        return UnitResult::NoDiskSpace;
    }
    if (!CFileMng::ConvertToWav(local, m_ui, progress)) {
        if (!kept) {
            QFile::remove(local);
        }
        return kept ? UnitResult::PresentVoiceNotConverted : UnitResult::FetchedVoiceNotConverted;
    }
    return UnitResult::Done;
}
