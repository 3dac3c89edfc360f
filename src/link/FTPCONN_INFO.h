#pragma once

#include "link/CUnitBoxOps.h"
#include "link/FTP_TIMEOUTS.h"
#include "link/UnitResult.h"

#include <QByteArray>
#include <QString>

#include <optional>

#include <netinet/in.h>

class CProgress;
class CUserInterface;

// The connection context of the unit link: the control connection, the sockets of the current transfer and
// the local directory retrievals write into. Created by CFtpMng::ConnectLogin and released by CFtpMng::Quit.
// Every wait is bounded by the timeouts and repaints the window while it lasts; the waits of a transfer also
// watch the cancel flag.
class FTPCONN_INFO {
public:
    static constexpr int kChunkSize = 1024;
    static constexpr int kReplyCapacity = 511;
    // The most a reply may bring, all its lines together; a peer that goes on past it is not a unit.
    static constexpr int kMaxReplyBytes = 64 * 1024;
    static constexpr int kMaxListingBytes = 10240000;
    static constexpr int kMaxRootChars = 102400;
    static constexpr int kMaxBoxListChars = 1024000;

    FTPCONN_INFO(CUserInterface* ui, const FTP_TIMEOUTS& timeouts);
    ~FTPCONN_INFO();
    FTPCONN_INFO(const FTPCONN_INFO&) = delete;
    FTPCONN_INFO& operator=(const FTPCONN_INFO&) = delete;

    // Connects the control socket to serverAddress within the connect wait, the window repainting meanwhile.
    bool ConnectControl();
    // Control connection. A null command only reads a reply (the greeting).
    int Command(const QString* command, QString* replyText = nullptr);
    int Command(const QString& command, QString* replyText = nullptr) { return Command(&command, replyText); }
    int SendLine(const QString& text);
    // One line of the control connection, framed only by CR LF (a bare LF is part of the text).
    int ReadReplyLine(QString& text, int capacity);
    // One whole reply: a line "xyz-..." opens a reply of several lines that ends at the line that repeats the code
    // followed by a blank ("xyz ..."); any other line is a reply on its own. text: the reply's first line. -1
    // when no whole reply came within the waits.
    int ReadReply(QString& text, int firstByteMs);
    // USER and PASS; true when the unit accepted both. refusal: the code the unit refused with (0: no answer).
    bool Login(const QString& user, const QString& password, int* refusal = nullptr);
    // Why the control connection last failed to connect or to bring a reply: nobody answered within the wait, the
    // unit refused the connection, no route to it, or it closed the connection.
    enum class Failure { None, NoAnswer, Refused, Unreachable, Closed };
    Failure lastFailure() const { return m_lastFailure; }
    // Whether the waits of the control connection (connecting, replies) end when the cancel flag is set; the
    // waits of a transfer always watch it.
    void setWatchCancel(bool on) { m_watchCancel = on; }

    // Data connections and transfers.
    // PORT, the command, and the unit connecting back: 0, -1 (no connection within the accept wait), or the
    // unit's refusal code.
    int OpenDataPort(const QString& commandLine);
    // Up to one chunk of the data connection: its size; 0 at the end of the data (or at a cancel while waiting);
    // -1 when the connection broke or stayed silent past the data wait.
    int ReceiveChunk(char* buffer);
    void CloseData();
    // The reply that ends a transfer, as its code; -1 when none came whole.
    int ReadFinalReply();
    // What ReadFinalReply received last.
    const QByteArray& finalReplyText() const { return m_finalReply; }
    // Fetches a remote file (a name in the current directory or an absolute path) into the local directory
    // under localName; the box download passes its switches, the list download uses the short form.
    // headroom: zero bytes written in front of the data (room for a record); bytesReceived does not count them.
    // maxBytes: the most the file may bring (-1 no limit); a transfer that brings more is broken off.
    // progress: told the chunk count of a transfer that is not silent (null: told nothing).
    // Done (closed with 226), CommFailure (broken, silent past the wait, cut, not closed with 226), Cancelled,
    // NoDiskSpace (the disk filled up while writing), else the unit's refusal as Classify reads it for a file.
    UnitReply Retrieve(const QString& remote, const QString& localName, bool resetCounter, bool silent,
                       int headroom = 0, qint64 maxBytes = -1, CProgress* progress = nullptr);
    UnitReply Retrieve(const QString& name, bool resetCounter, bool silent, CProgress* progress = nullptr) {
        return Retrieve(name, name, resetCounter, silent, 0, -1, progress);
    }
    // Listings of a box directory: Done when whole (a directory with nothing to list is an empty listing),
    // NoBoxDirectory, CommFailure, Cancelled (no text), or the unit's refusal of the transfer.
    UnitReply ListNames(const QString& directory, CUnitBoxOps::Files files, QString& text);
    UnitReply ListLong(const QString& directory, CUnitBoxOps::Files files, QString& text, qint64& byteLength);
    // The root, "/rusuroku" and "/naisen" name listings: Done when all are whole (a kind directory with nothing to
    // list is empty), CommFailure, Cancelled, else Refused with the unit's code.
    UnitReply ListTree(QString& rootText, QString& rusurokuText, QString& naisenText);
    // DELE of a unit path: Done, FileInUse (450), FileGoneOnUnit (550: no such file, or protected), Refused with
    // any other code, or CommFailure.
    UnitReply DeleteRemote(const QString& path);
    int AbortTransfer();
    // True when the unit answered PORT at all, a refusal included.
    bool Probe();
    void CloseAll();

    // Fields of the context.
    int controlSocket = -1;
    int listenSocket = -1;
    int dataSocket = -1;
    sockaddr_in serverAddress{};
    QString localDirectory;
    int chunkCounter = 0;
    qint64 bytesReceived = 0;
    // The most a listing may bring; no box holds that much, so a peer sending more is stopped and the listing
    // fails. Tests lower it.
    int maxListingBytes = kMaxListingBytes;

    CUserInterface* ui() const { return m_ui; }
    const FTP_TIMEOUTS& timeouts() const { return m_timeouts; }

    static bool isSuccessCode(int code);

    // What a command was about, which decides what the unit's refusal means.
    enum class Asked { File, BoxDirectory, Listing, Other };
    // The one reading of the unit's answers. code: what Command or OpenDataPort said (0 accepted, below 0 no
    // answer, else the reply code). 550 says "not there": a file gone (File), a box directory missing
    // (BoxDirectory) or a directory with nothing to list (Listing: Done, with the code, and no data to take).
    // 450 says a file is in use (File). Any other refusal is Refused with its code.
    static UnitReply Classify(int code, Asked asked);

private:
    enum class Wait { Ready, TimedOut, Failed, Cancelled };
    // How a retrieval's data ended.
    struct Received {
        enum class End { Closed, Broken, TooLong };
        End end = End::Closed;
        bool cancelled = false;
        bool writeFailed = false;
        bool diskFull = false;
    };

    int createListener(QString& portLine);
    // The data connection of the unit (the control connection's peer) within the accept wait; -1 none.
    int acceptFromUnit();
    Received receiveInto(int fd, int headroom, bool silent, qint64 maxBytes, CProgress* progress);
    // Throws away what is waiting on the control connection.
    void drainControl();
    // budget: how many bytes the line may still take; it is lowered by what was taken.
    int readLine(QString& text, int capacity, int firstByteMs, int& budget);
    // After a reply did not come (a wait ran out, the connection broke, the peer went on without end) whatever
    // arrives later could be taken for the answer to another command: the connection is closed, so that every
    // command after it fails at once and the keep-alive probe finds the link lost.
    void dropControl();
    static int codeOf(const QString& line);
    static bool isTransferComplete(int finalCode);
    // Collects a whole listing from the data socket; -1 on a receive error, a data connection silent past its
    // wait or a listing longer than maxListingBytes (the transfer is then aborted). pollCancel: abort on the
    // cancel flag.
    int collect(QByteArray& raw, bool pollCancel);
    // The listing's text once its data has come: 1 when the unit closed it with 226 and it is within maxChars.
    int finishListing(QByteArray& raw, QString& text, int maxChars);
    // A box listing up to its data: CWD into directory, command on a data port, the data collected into raw.
    // Nothing when raw holds all that came; otherwise the reply that ended it.
    std::optional<UnitReply> collectBoxListing(const QString& directory, const QString& command, QByteArray& raw);
    void closeListener();
    // Waits until the socket is ready for events, repainting and (watchCancel) looking at the cancel flag
    // between slices.
    Wait waitFor(int fd, short events, int timeoutMs, bool watchCancel);
    static void closeSocket(int& fd);

    CUserInterface* m_ui;
    FTP_TIMEOUTS m_timeouts;
    // Read-ahead of the data connection: the unit's stream is taken in large receives and handed out in
    // chunks, so that the chunk size stays the progress unit without a system call per kilobyte.
    QByteArray m_readAhead;
    QByteArray m_finalReply;
    int m_readPos = 0;
    int m_readLen = 0;
    bool m_watchCancel = false;
    Failure m_lastFailure = Failure::None;
};
