#include "link/CBoxFetch.h"

#include "link/CFtpListing.h"
#include "link/FTPCONN_INFO.h"
#include "platform/CDiskSpace.h"
#include "platform/CProgress.h"
#include "store/CDownloadLeaveOut.h"
#include "store/CFileMng.h"
#include "store/CRecordBuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace {

// This machine, as the receiving names carry it: a download folder on a shared disk may be written from two
// machines, whose process numbers say nothing about each other.
QString hostTag() {
    QString host = QSysInfo::machineHostName();
    host.replace(QLatin1Char('/'), QLatin1Char('_'));
    return host.isEmpty() ? QStringLiteral("host") : host;
}

} // namespace

QString CBoxFetch::receivingName(int serial) {
    if (serial <= 0) {
        return QStringLiteral(".kelda-receiving-%1-%2.ini").arg(hostTag()).arg(::getpid());
    }
    return QStringLiteral(".kelda-receiving-%1-%2-%3.ini").arg(hostTag()).arg(::getpid()).arg(serial);
}

namespace {

// The process a receiving name of this machine belongs to; 0 for another machine's or an older program's name.
pid_t receivingPid(const QString& name) {
    const QString prefix = QStringLiteral(".kelda-receiving-%1-").arg(hostTag());
    if (!name.startsWith(prefix) || !name.endsWith(QLatin1String(".ini"))) {
        return 0;
    }
    bool ok = false;
    // The process number, and the file's number within that run when it receives many at once.
    const QString rest = name.mid(prefix.size()).chopped(4);
    const pid_t pid = static_cast<pid_t>(rest.section(QLatin1Char('-'), 0, 0).toLongLong(&ok));
    return ok && pid > 0 ? pid : 0;
}

} // namespace

void CBoxFetch::removeStaleReceiving(const QString& folder) {
    const QStringList names =
        QDir(folder).entryList({QStringLiteral(".kelda-receiving-*.ini")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const pid_t pid = receivingPid(name);
        if (pid != 0 && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH) {
            QFile::remove(CFileMng::Join(folder, name));
        }
    }
}

bool CBoxFetch::isLiveReceiving(const QString& name) {
    const pid_t pid = receivingPid(name);
    return pid != 0 && (pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH);
}

namespace {

// A name of the plain listing ("stem" + "vminf" without the dot) with its dot back; empty when it is no message.
QString nameFromPlainLine(const QString& line, const QString& ext) {
    if (!line.endsWith(ext)) {
        return QString();
    }
    const QString name = line.left(line.size() - ext.size()) + '.' + ext;
    return CFtpListing::isMessageName(name) ? name : QString();
}

} // namespace

CBoxFetch::CBoxFetch(FTPCONN_INFO& conn, CUserInterface* ui, CProgress* progress, const QString& folder,
                     bool convertOnDownload)
    : m_conn(conn), m_ui(ui), m_progress(progress), m_folder(folder),
      m_receiving(CFileMng::Join(folder, receivingName())), m_convert(convertOnDownload) {
    removeStaleReceiving(folder);
}

QString CBoxFetch::companionOf(const QString& path) {
    if (path.endsWith(QLatin1String(".vmdat"))) {
        return path.left(path.size() - 6) + QLatin1String(".vminf");
    }
    if (path.endsWith(QLatin1String(".vminf"))) {
        return path.left(path.size() - 6) + QLatin1String(".vmdat");
    }
    return QString();
}

qint64 CBoxFetch::mostExpected(qint64 listedSize) {
    constexpr qint64 kAllowance = 1024 * 1024;
    return listedSize < 0 ? kAllowance : 2 * listedSize + kAllowance;
}

bool CBoxFetch::isCutShort(const QString& localVoiceFile, qint64 listedSize) {
    const qint64 size = QFileInfo(localVoiceFile).size();
    return size < FILESTS_INFO::VOICE_OFFSET || (listedSize >= 0 && size < listedSize + FILESTS_INFO::SIZE);
}

bool CBoxFetch::stop(UnitResult result) {
    m_stopResult = result;
    return false;
}

UnitResult CBoxFetch::result() const {
    if (m_stopResult != UnitResult::Done) {
        return m_stopResult;
    }
    return m_goneOnUnit ? UnitResult::FileGoneOnUnit : UnitResult::Done;
}

void CBoxFetch::removeFetched(const QString& path) {
    if (m_fetched.contains(path) && !m_batch.drop(path)) {
        QFile::remove(path);
    }
}

bool CBoxFetch::writeFailed() {
    if (m_stopResult == UnitResult::Done) {
        // Told as any file that could not be written.
        m_stopResult = freeBytes() < 4096 ? UnitResult::NoDiskSpace : UnitResult::CommFailure;
    }
    return false;
}

bool CBoxFetch::commitReceived() {
    if (m_batch.size() == 0) {
        return true;
    }
    // The folder's names are synced once, when the walk ends.
    const CDurableBatch::Outcome named = m_batch.commit(CDurableBatch::Folders::SyncLater);
    for (const QString& failed : named.failed) {
        // A message never keeps one file of this run without the other.
        m_fetched.remove(failed);
        removeFetched(companionOf(failed));
    }
    return named.failed.isEmpty() || writeFailed();
}

UnitResult CBoxFetch::finish(UnitResult walked) {
    if (!commitReceived() || !m_batch.syncFolders()) {
        writeFailed();
    }
    if (walked == UnitResult::Done || walked == UnitResult::FileGoneOnUnit || m_stopResult != UnitResult::Done) {
        return result();
    }
    return walked;
}

void CBoxFetch::dropHalfMessage() {
    commitReceived();
    if (!m_lastHandled.isEmpty() && !CFileMng::FileExists(companionOf(m_lastHandled))) {
        removeFetched(m_lastHandled);
    }
}

UnitResult CBoxFetch::convertPendingVoice(UnitResult notConverted) {
    if (m_progress) {
        m_progress->setPhase(CProgress::Phase::Converting);
    }
    const QString voice = m_pendingVoice;
    m_pendingVoice.clear();
    // The WAV file is made from the voice file under its own name.
    if (!commitReceived()) {
        return m_stopResult;
    }
    if (m_keepCurrentWav && CFileMng::WavIsCurrent(voice)) {
        return UnitResult::Done;
    }
    const qint64 need = CDiskSpace::bytesNeeded(QFileInfo(voice).size() * 16);
    if (freeBytes() < need) {
        return UnitResult::NoDiskSpace;
    }
    if (CFileMng::ConvertToWav(voice, m_ui, m_progress)) {
        return UnitResult::Done;
    }
    if (notConverted == UnitResult::FetchedVoiceNotConverted) {
        // A message this run brought and could not convert goes again, so that the next run starts it afresh.
        removeFetched(voice);
        removeFetched(companionOf(voice));
    }
    return notConverted;
}

CBoxFetch::Fetch CBoxFetch::fetch(const QString& name, const QString& local, qint64 listedSize, bool voice,
                                  bool silent) {
    const UnitResult received = receive(m_conn, name, m_receiving, listedSize, voice, silent, m_progress);
    if (received == UnitResult::FileGoneOnUnit) {
        return Fetch::GoneOnUnit;
    }
    if (received == UnitResult::Done &&
        CRecordBuilder::WriteIntoHeadroom(m_receiving, local, false) == CRecordBuilder::Result::Written) {
        // It waits under a name of its own, beside the next file being received, to be synced and named with the
        // rest of its group.
        const QString waiting = CFileMng::Join(m_folder, receivingName(++m_received));
        if (::rename(QFile::encodeName(m_receiving).constData(), QFile::encodeName(waiting).constData()) == 0) {
            m_batch.add(waiting, local);
            m_fetched.insert(local);
            return Fetch::Written;
        }
    }
    QFile::remove(m_receiving);
    removeFetched(companionOf(local));
    m_stopResult = received == UnitResult::Done ? UnitResult::CommFailure : received;
    return Fetch::Failed;
}

UnitResult CBoxFetch::receive(FTPCONN_INFO& conn, const QString& remote, const QString& receivingPath,
                              qint64 listedSize, bool resetCounter, bool silent, CProgress* progress) {
    const UnitReply reply = conn.Retrieve(remote, QFileInfo(receivingPath).fileName(), resetCounter, silent,
                                          sizeof(FILESTS_INFO), mostExpected(listedSize), progress);
    switch (reply.result) {
    case UnitResult::Done:
        // A unit that cuts a file short may still close the transfer with 226; only the listed size tells.
        return listedSize >= 0 && QFileInfo(receivingPath).size() - qint64(sizeof(FILESTS_INFO)) < listedSize
                   ? UnitResult::CommFailure
                   : UnitResult::Done;
    case UnitResult::FileGoneOnUnit:
    case UnitResult::Cancelled:
    case UnitResult::NoDiskSpace:
        return reply.result;
    default:
        return UnitResult::CommFailure;
    }
}

bool CBoxFetch::keepPresent(const QString& local, bool voice) {
    if (voice) {
        if (m_progress) {
            m_progress->setStepDone(95);
        }
        m_pendingVoice = local;
        return true;
    }
    if (m_progress) {
        m_progress->setStepDone(-1);
    }
    if (m_convert && !m_pendingVoice.isEmpty()) {
        const UnitResult converted = convertPendingVoice(UnitResult::PresentVoiceNotConverted);
        if (converted != UnitResult::Done) {
            return stop(converted);
        }
    }
    return true;
}

bool CBoxFetch::keepFetched(const QString& local, bool voice) {
    if (voice) {
        if (m_convert) {
            m_pendingVoice = local;
        }
        return true;
    }
    if (m_convert && !m_pendingVoice.isEmpty()) {
        const UnitResult converted = convertPendingVoice(UnitResult::FetchedVoiceNotConverted);
        if (converted != UnitResult::Done) {
            return stop(converted);
        }
    }
    return true;
}

bool CBoxFetch::takeLongLine(const QString& line) {
    const bool voice = line.contains(QLatin1String("vmdat"));
    if (!voice && !line.contains(QLatin1String("vminf"))) {
        return true;
    }
    const qint64 size = CFtpListing::longSize(line);
    const QString name = CFtpListing::longName(line);
    if (name.isEmpty()) {
        return true; // nothing that could be written safely under this folder
    }
    const QString local = CFileMng::Join(m_folder, name);
    if (freeBytes() < CFtpListing::spaceNeeded(size)) {
        return stop(UnitResult::NoDiskSpace);
    }
    if (voice) {
        if (m_progress) {
            m_progress->setStepTotal(size / 1024);
        }
    }
    if (m_leaveOut) {
        m_leaveOut->listed(name);
    }
    const bool present = CFileMng::FileExists(local);
    if (!present && m_leaveOut && m_leaveOut->leavesOut(m_folder, name)) {
        // The PC keeps this message in another box or had it deleted: it stays on the unit, counted as done.
        if (m_progress) {
            m_progress->setStepDone(-1);
        }
    } else if (present && !(voice && isCutShort(local, size))) {
        m_lastHandled = local;
        if (!keepPresent(local, voice)) {
            return false;
        }
    } else {
        m_lastHandled = local;
        switch (fetch(name, local, size, voice, false)) {
        case Fetch::GoneOnUnit:
            m_goneOnUnit = true;
            if (m_progress) {
                m_progress->setStepDone(-1);
            }
            return true;
        case Fetch::Failed:
            return false;
        case Fetch::Written:
            m_messageFetched = true;
            if (m_progress) {
                m_progress->setStepDone(-1);
            }
            if (!keepFetched(local, voice)) {
                return false;
            }
            break;
        }
    }
    if (!voice) {
        // The message is whole here: both its files go to the disk and get their names before the next one.
        if (!commitReceived()) {
            return false;
        }
        if (m_progress) {
            if (m_messageFetched) {
                m_progress->messageReceived();
            }
            m_progress->setPhase(CProgress::Phase::Downloading);
            m_progress->nextFile();
        }
        m_messageFetched = false;
    }
    return true;
}

bool CBoxFetch::takeInfoLine(const QString& line) {
    if (!line.contains(QLatin1String("vminf"))) {
        return true;
    }
    const QString name = nameFromPlainLine(line, QStringLiteral("vminf"));
    if (name.isEmpty()) {
        return true;
    }
    const QString local = CFileMng::Join(m_folder, name);
    if (freeBytes() < 4096) {
        return stop(UnitResult::NoDiskSpace);
    }
    if (m_leaveOut) {
        m_leaveOut->listed(name);
    }
    if (!CFileMng::FileExists(local) && !(m_leaveOut && m_leaveOut->leavesOut(m_folder, name))) {
        const Fetch fetched = fetch(name, local, -1, true, true);
        if (fetched == Fetch::Failed) {
            return false;
        }
        m_goneOnUnit = m_goneOnUnit || fetched == Fetch::GoneOnUnit;
        if (m_batch.size() >= kBatchFiles && !commitReceived()) {
            return false;
        }
        if (fetched == Fetch::Written && m_progress) {
            m_progress->messageReceived();
        }
    }
    if (m_progress) {
        m_progress->countFile();
    }
    return true;
}
