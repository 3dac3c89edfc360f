#pragma once

#include <QString>

class CFolderLock;
class CUserInterface;

// The two steps before box names or box folder names are written, in the desktop program and in kelda-cli alike:
// the user confirms the registration, then the download folder's lock is taken (a busy folder is told).
class CRegisterGate {
public:
    enum class Start {
        Go,       // confirmed and the lock is held in the given lock
        Declined, // the confirmation was answered no: nothing asked of the folder
        Busy,     // the folder stayed busy; the user was told
    };

    static Start Begin(CUserInterface& ui, CFolderLock& lock, const QString& downloadFolder);
};
