#pragma once

#include "link/UnitResult.h"
#include "platform/CDiskSpace.h"
#include "store/CDurableBatch.h"

#include <QSet>
#include <QString>

class CDownloadLeaveOut;
class CProgress;
class CUserInterface;
class FTPCONN_INFO;

// One box download into a local box folder: the files a listing names are taken one at a time, fetched when
// missing, given their record, and (when asked) converted to WAV as each message becomes complete. It remembers
// which files it wrote, since only those are ever removed again.
class CBoxFetch {
public:
    CBoxFetch(FTPCONN_INFO& conn, CUserInterface* ui, CProgress* progress, const QString& folder,
              bool convertOnDownload);

    // Files arrive under this name and become message files only when complete, given their record and on the
    // disk; the ".ini" keeps a leftover out of every message count. The name is the process's own, so that no
    // other run ever writes into a file this one is receiving; serial tells apart the files of one run that wait
    // to be named together (0: the run's one receiving file).
    static QString receivingName(int serial = 0);
    // Removes what runs that no longer exist left under their receiving names in a box folder.
    static void removeStaleReceiving(const QString& folder);
    // Whether name is the receiving file of a run of this machine that is still going.
    static bool isLiveReceiving(const QString& name);

    // Leaves a message's WAV file alone when it is complete and newer than the voice file.
    void setKeepCurrentWav(bool on) { m_keepCurrentWav = on; }
    // Measures the room in the box folder (empty: the volume's own).
    void setFreeSpace(CDiskSpace::Probe probe) { m_freeSpace = std::move(probe); }
    // The messages this box leaves on the unit (null: none); told every name the unit lists.
    void setLeaveOut(CDownloadLeaveOut* leaveOut) { m_leaveOut = leaveOut; }

    // One line of the box's long listing (voice and information files). False when the run ends here; the
    // result then says why.
    bool takeLongLine(const QString& line);
    // One line of the box's name listing of information files.
    bool takeInfoLine(const QString& line);
    // The run was cancelled between files: a message that is only half here is removed again.
    void dropHalfMessage();
    // The walk of the listing ended with walked: the files received and not yet named are synced and named.
    // What the run came to: walked, unless the walk went through and a file could not be put in place.
    UnitResult finish(UnitResult walked);

    // Where the run ended: the stopping result, or Done / FileGoneOnUnit after the last line.
    UnitResult result() const;

    // The other file of a message ("x.vmdat" for "x.vminf" and back); empty for any other name.
    static QString companionOf(const QString& path);
    // The most a file listed at listedSize may bring: a message still being recorded grows, but a transfer far
    // past that is a unit sending without end. An unknown size (-1) allows what an information file could hold.
    static qint64 mostExpected(qint64 listedSize);
    // A local voice file shorter than its record and the unit's header, or than the unit's listed size (when
    // known, -1 otherwise) with its record: a transfer cut short left it, and it counts as not there.
    static bool isCutShort(const QString& localVoiceFile, qint64 listedSize);
    // Retrieves remote into the receiving name (receivingPath) of the connection's local directory, with room for
    // the record. A file shorter than its listed size (-1 unknown) is cut short, however the unit closed the
    // transfer; more is a file still being recorded and is kept. Done, FileGoneOnUnit, Cancelled, NoDiskSpace, or
    // CommFailure for anything else. progress: told the chunks of a transfer that is not silent (null: nothing).
    static UnitResult receive(FTPCONN_INFO& conn, const QString& remote, const QString& receivingPath,
                              qint64 listedSize, bool resetCounter, bool silent, CProgress* progress);

private:
    enum class Fetch { Written, GoneOnUnit, Failed };
    // Retrieves one file into the receiving name and makes it the message file local.
    Fetch fetch(const QString& name, const QString& local, qint64 listedSize, bool voice, bool silent);
    bool keepPresent(const QString& local, bool voice);
    bool keepFetched(const QString& local, bool voice);
    // Converts the voice file of the message in hand; Done, NoDiskSpace or notConverted.
    UnitResult convertPendingVoice(UnitResult notConverted);
    void removeFetched(const QString& path);
    // Syncs and names the files received so far; false (and the run stops) when one could not be put in place.
    bool commitReceived();
    // The run stops as for a file that could not be written; false.
    bool writeFailed();
    bool stop(UnitResult result);

    FTPCONN_INFO& m_conn;
    CUserInterface* m_ui;
    CProgress* m_progress; // the window that follows the run; null: none
    CDownloadLeaveOut* m_leaveOut = nullptr;
    QString m_folder;
    QString m_receiving;
    // Received files wait here to be synced and named as one group: the files of one message, or of up to
    // kBatchFiles information files.
    static constexpr int kBatchFiles = 128;
    CDurableBatch m_batch;
    int m_received = 0;
    bool m_convert;
    bool m_keepCurrentWav = false;
    CDiskSpace::Probe m_freeSpace;
    qint64 freeBytes() const { return m_freeSpace ? m_freeSpace(m_folder) : CDiskSpace::freeBytes(m_folder); }
    QString m_pendingVoice; // the voice file of the message in hand, waiting for its information file
    QString m_lastHandled;  // the local file of the last line handled
    QSet<QString> m_fetched;
    bool m_goneOnUnit = false;
    bool m_messageFetched = false; // a file of the message in hand came in this run
    UnitResult m_stopResult = UnitResult::Done;
};
