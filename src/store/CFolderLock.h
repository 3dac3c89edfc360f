#pragma once

#include <QString>

class CUserInterface;

// Only one operation at a time changes a download folder: the desktop program and kelda-cli (a nightly download,
// say) take this lock on it first. It is a lock of the kernel on a file inside the download folder, so it goes
// with the process that holds it, however that ends. Whoever takes it also finishes a move or copy that an earlier
// run left half done.
class CFolderLock {
public:
    enum class State {
        Held,        // this object holds the folder
        Busy,        // another operation held it for the whole wait
        NotLockable, // no lock file can be made (a read-only folder): nobody else can hold it either
    };

    static const QString kFileName;

    CFolderLock() = default;
    ~CFolderLock();
    CFolderLock(const CFolderLock&) = delete;
    CFolderLock& operator=(const CFolderLock&) = delete;

    // Takes the lock of downloadFolder, trying again for up to waitMs while another operation holds it (the window
    // repainting meanwhile when ui is given). Once held, an interrupted move or copy is finished.
    State acquire(const QString& downloadFolder, int waitMs, CUserInterface* ui = nullptr);
    // The same with the wait the user interface names; when the folder stays busy the user is told and false
    // returned.
    bool acquireOrTell(CUserInterface& ui, const QString& downloadFolder);
    void release();

    // The download folder a box folder or message file belongs to.
    static QString DownloadFolderOfBox(const QString& boxFolder);
    static QString DownloadFolderOfFile(const QString& messageFile);

    // A read-only look at a download folder (a list): when no operation holds it, a move or copy left half done is
    // finished first; when one does, that operation finishes its own.
    static void FinishInterrupted(const QString& downloadFolder);

    static QString BusyText();

private:
    int m_fd = -1;
};
