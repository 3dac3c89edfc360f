#pragma once

#include "link/LOGIN_VALUES.h"

// The part of the settings block the unit link reads and writes: the logged-in flag, the values a login
// uses, and the remembered values with their check box (the [LOGIN] section, written by the settings block
// at exit). The settings block provides it; tests use it as it is.
class CLinkSettings {
public:
    virtual ~CLinkSettings() = default;

    int loggedIn = 0;
    // The keep-alive is finding out whether the link still answers, or the lost link is being re-established:
    // a command that needs the unit waits for the outcome instead of running on the connection in question.
    bool linkChecking = false;
    LOGIN_VALUES connection; // used by ConnectLogin and reconnection; never saved
    // The port of the unit's service when it is not the standard one (a forwarded port, the simulated unit):
    // given on the command line, never saved; 0 for the standard one.
    int unitPort = 0;
    LOGIN_VALUES remembered; // [LOGIN] IP, USER, PASS
    int rememberFlag = 0;    // [LOGIN] CHECK
    // The remembered password is kept in the desktop's keyring, not in the settings file.
    bool passwordInKeyring = false;
};
