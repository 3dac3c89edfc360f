#pragma once

#include "link/FTPCONN_INFO.h"
#include "link/FTP_TIMEOUTS.h"
#include "operations/CUnitBoxOps.h"

#include <QString>

#include <memory>

class CLinkPause;
class CUserInterface;

// The unit link as the rest of the program sees it: one per program run (a new one after a reconnection).
// It owns the connection context while one exists; unit operations pause the keep-alive timer around them.
class CFtpMng : public CUnitBoxOps {
public:
    enum { CONNECT_OK = 0, CONNECT_FAILED = 1, LOGIN_FAILED = 2 };

    explicit CFtpMng(CUserInterface* ui, const FTP_TIMEOUTS& timeouts = FTP_TIMEOUTS());
    ~CFtpMng();
    CFtpMng(const CFtpMng&) = delete;
    CFtpMng& operator=(const CFtpMng&) = delete;

    // 0 logged in, 1 connection failed, 2 login refused (the connection stays until the next attempt or Quit).
    int ConnectLogin(const QString& address, const QString& user, const QString& password);
    // QUIT, one reply line (its code does not matter), then everything is closed and released.
    int Quit();

    // The connection context; null while there is none.
    FTPCONN_INFO* Connection() const { return m_conn.get(); }

    int GetUnitTree(QString& rootText, QString& rusurokuText, QString& naisenText);
    int CountBoxFiles(const QString& unitDirectory, const QString& localDirectory, int mode) override;

    // Per-box downloads into a local box folder: every listed file not yet present is fetched and given its
    // record. 0 all present; 550 some file was gone on the unit; -1 communication failure; -2 no such box
    // directory (or converting a present voice file failed); -3 cancelled (or converting a fetched one failed);
    // -4 not enough disk space.
    int DownloadBox(const QString& boxFolder, const QString& unitDirectory, int& lineCount) override;
    int DownloadBoxInfo(const QString& boxFolder, const QString& unitDirectory, int& lineCount) override;
    // The space a voice file of the unit's box directory needs locally: 1 found, 0 not listed, -2 no such box
    // directory, -1 failure.
    int FindVoiceSize(const QString& unitDirectory, const QString& boxFolder, const QString& name, qint64& spaceNeeded);
    // Fetches one voice file (an absolute unit path) into the box folder; a voice file already there is kept.
    // 0 done; 550 not on the unit; -3 cancelled or conversion failed; -4 no room for the WAV file; -1 failure.
    int DownloadVoice(const QString& unitPath, const QString& boxFolder, const QString& name);

    // Whether downloads convert voice data to WAV as soon as a message is complete.
    void setConvertOnDownload(bool on) { m_convertOnDownload = on; }
    bool convertOnDownload() const { return m_convertOnDownload; }
    int DeleteOnUnit(const QString& localDirectory, const QString& path);
    // The keep-alive probe of the current connection; 0 when there is none.
    int Probe();

    void setKeepAlive(CLinkPause* keepAlive) { m_keepAlive = keepAlive; }
    CLinkPause* keepAlive() const { return m_keepAlive; }
    CUserInterface* ui() const { return m_ui; }
    void setTimeouts(const FTP_TIMEOUTS& timeouts) { m_timeouts = timeouts; }
    const FTP_TIMEOUTS& timeouts() const { return m_timeouts; }

    // The unit's FTP port: the services database entry "ftp"/"tcp", else 21, unless overridden (for a unit
    // behind a forwarded port, or a simulated one). 0 removes the override.
    static void setPortOverride(int port);
    static int unitPort();
    // The folder of the program file, where retrievals go unless told otherwise.
    static QString programDirectory();

    // Pause/resume of the keep-alive timer around a unit operation.
    void pauseKeepAlive();
    void resumeKeepAlive();

private:
    CUserInterface* m_ui;
    FTP_TIMEOUTS m_timeouts;
    std::unique_ptr<FTPCONN_INFO> m_conn;
    CLinkPause* m_keepAlive = nullptr;
    bool m_convertOnDownload = false;
    static inline int s_portOverride = 0;
};
