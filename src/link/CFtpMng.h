#pragma once

#include "link/CUnitBoxOps.h"
#include "link/FTPCONN_INFO.h"
#include "link/FTP_TIMEOUTS.h"
#include "platform/CDiskSpace.h"

#include <QString>

#include <functional>
#include <memory>

class CLinkPause;
class CProgress;
class CUserInterface;

// The unit link as the rest of the program sees it: one per program run (a new one after a reconnection).
// It owns the connection context while one exists; unit operations pause the keep-alive timer around them.
class CFtpMng : public CUnitBoxOps {
public:
    // Cancelled: the cancel flag was set while the login waited; the connection is closed and nothing is told.
    enum class Login { LoggedIn, ConnectFailed, LoginRefused, Cancelled };

    explicit CFtpMng(CUserInterface* ui, const FTP_TIMEOUTS& timeouts = FTP_TIMEOUTS());
    ~CFtpMng();
    CFtpMng(const CFtpMng&) = delete;
    CFtpMng& operator=(const CFtpMng&) = delete;

    // A refused login keeps the connection until the next attempt or Quit. The waits for the connection, the
    // greeting and the login replies watch the cancel flag (cleared when the attempt starts).
    Login ConnectLogin(const QString& address, const QString& user, const QString& password);
    // What made the last ConnectLogin fail, for the line that names the cause under its message.
    enum class LoginFailure {
        None,
        AddressUnknown,     // the address text names no host
        NoAnswer,           // nothing came within the wait (failureWaitMs)
        Refused,            // the unit refused the connection
        Unreachable,        // no route to the unit
        Closed,             // the unit closed the connection
        GreetingRefused,    // the unit greeted with a refusal (failureCode)
        CredentialsRefused, // the unit refused the user name or password (failureCode)
    };
    LoginFailure lastLoginFailure() const { return m_failure; }
    int failureCode() const { return m_failureCode; }
    int failureWaitMs() const { return m_failureWaitMs; }
    // QUIT, one reply line (its code does not matter), then everything is closed and released. -1 without a
    // connection.
    int Quit();

    // The connection context; null while there is none.
    FTPCONN_INFO* Connection() const { return m_conn.get(); }

    // Done, Refused (a directory the unit will not list or enter), Cancelled or CommFailure.
    UnitReply GetUnitTree(QString& rootText, QString& rusuroku, QString& naisen);
    Count CountBoxFiles(const QString& unitDirectory, const QString& localDirectory, Files files) override;

    // Per-box downloads into a local box folder: every listed file not yet present is fetched and given its
    // record (see CUnitBoxOps for the results).
    UnitResult DownloadBox(const QString& boxFolder, const QString& unitDirectory, int& lineCount, CProgress* progress,
                           CDownloadLeaveOut* leaveOut) override;
    UnitResult DownloadBoxInfo(const QString& boxFolder, const QString& unitDirectory, int& lineCount,
                               CProgress* progress, CDownloadLeaveOut* leaveOut) override;
    // The size a voice file of the unit's box directory is listed at, and the space it needs locally: Done
    // (both set), NotListed, NoBoxDirectory or CommFailure.
    UnitResult FindVoiceSize(const QString& unitDirectory, const QString& boxFolder, const QString& name,
                             qint64& listedSize, qint64& spaceNeeded);
    // Fetches one voice file (an absolute unit path) into the box folder; a whole voice file already there is
    // kept, one cut short is fetched again. listedSize (-1 unknown): what FindVoiceSize found; a file that comes
    // shorter is a failure. Done, FileGoneOnUnit, Cancelled, NoDiskSpace (no room for the file, the record or the
    // WAV file), CommFailure, and for a download that converts, PresentVoiceNotConverted or
    // FetchedVoiceNotConverted. progress: the window that follows the transfer and conversion (null: none).
    UnitResult DownloadVoice(const QString& unitPath, const QString& boxFolder, const QString& name,
                             qint64 listedSize = -1, CProgress* progress = nullptr);

    // Whether downloads convert voice data to WAV as soon as a message is complete.
    void setConvertOnDownload(bool on) { m_convertOnDownload = on; }
    bool convertOnDownload() const { return m_convertOnDownload; }
    // Whether a converting download leaves a message's WAV file alone when it is complete and newer than the
    // voice file, instead of converting every message of the box again on every run. Off for the windows.
    void setKeepCurrentWav(bool on) { m_keepCurrentWav = on; }
    // Measures the room for what downloads write (empty: the volume's own); tests pretend a full disk with it.
    void setFreeSpace(CDiskSpace::Probe probe) { m_freeSpace = std::move(probe); }
    qint64 freeBytes(const QString& folder) const {
        return m_freeSpace ? m_freeSpace(folder) : CDiskSpace::freeBytes(folder);
    }
    // Done, FileInUse, FileGoneOnUnit (no such file, or protected), Refused (with the unit's reply code) or
    // CommFailure.
    UnitReply DeleteOnUnit(const QString& localDirectory, const QString& path);
    // The keep-alive probe of the current connection; false when there is none.
    bool Probe();

    void setKeepAlive(CLinkPause* keepAlive) { m_keepAlive = keepAlive; }
    CLinkPause* keepAlive() const { return m_keepAlive; }
    CUserInterface* ui() const { return m_ui; }
    void setTimeouts(const FTP_TIMEOUTS& timeouts) { m_timeouts = timeouts; }
    const FTP_TIMEOUTS& timeouts() const { return m_timeouts; }

    // The unit's FTP port: the services database entry "ftp"/"tcp", else 21, unless this client was given one
    // (a unit behind a forwarded port, or a simulated one). 0 takes the standard one again.
    void setUnitPort(int port) { m_portGiven = port; }
    int unitPort() const;
    // The folder of the program file, where retrievals go unless told otherwise.
    static QString programDirectory();

    // Pause/resume of the keep-alive timer around a unit operation.
    void pauseKeepAlive();
    void resumeKeepAlive();

private:
    Login connectAndLogin(const QString& address, const QString& user, const QString& password);
    Login attemptLogin(const QString& address, const QString& user, const QString& password);
    // A box listing that did not come, as the box's result: NoBoxDirectory, or CommFailure for anything else.
    static UnitResult listingFailure(const UnitReply& listed);
    // A box download's frame: no link is CommFailure; otherwise the keep-alive is paused and the retrieval folder
    // (boxFolder, or the program folder) set around fetch, which is handed that folder.
    UnitResult inBoxFolder(const QString& boxFolder, int& lineCount,
                           const std::function<UnitResult(const QString& folder)>& fetch);
    // The transfer and record of DownloadVoice, with the keep-alive paused.
    UnitResult fetchVoice(const QString& unitPath, const QString& folder, const QString& name, qint64 listedSize,
                          CProgress* progress);

    CUserInterface* m_ui;
    FTP_TIMEOUTS m_timeouts;
    std::unique_ptr<FTPCONN_INFO> m_conn;
    CLinkPause* m_keepAlive = nullptr;
    bool m_convertOnDownload = false;
    bool m_keepCurrentWav = false;
    CDiskSpace::Probe m_freeSpace;
    LoginFailure m_failure = LoginFailure::None;
    int m_failureCode = 0;
    int m_failureWaitMs = 0;
    int m_portGiven = 0;
};
