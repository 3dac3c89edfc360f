#pragma once

#include "link/LOGIN_VALUES.h"

#include <QString>
#include <QStringList>

class CFtpMng;
class CLinkSettings;
class CUserInterface;

// What the login dialog decides, without its widgets: what it shows when it opens, what "ログイン" stores, the
// checks in their order and their messages, and the login itself.
class CLoginForm {
public:
    static constexpr int kMaxUser = 16;
    static constexpr int kMaxPassword = 16;

    explicit CLoginForm(CLinkSettings& settings) : m_settings(settings) {}

    // Opening: the remembered address in its four parts (empty when there is none or it is not dotted
    // decimal), the remembered user name and password, the check box.
    QStringList initialAddressParts() const;
    QString initialUser() const;
    QString initialPassword() const;
    bool initialRemember() const;
    // Under the check box: where a remembered password is kept, the desktop's keyring or the settings file.
    QString passwordPlaceText() const;

    // "ログイン": stores the values, checks them, logs in. True when logged in (the dialog ends with OK);
    // otherwise a message was shown and the dialog stays open, or the attempt was cancelled (no message).
    bool submit(const LOGIN_VALUES& typed, bool remember, CFtpMng& ftp, CUserInterface& ui);

    // The first failed check's message, or empty when the entries may be sent.
    static QString validate(const LOGIN_VALUES& typed);
    // The address parts "a","b","c","d" as one dotted text; all four empty gives an empty text.
    static QString joinAddress(const QStringList& parts);
    static QStringList splitAddress(const QString& address);

private:
    CLinkSettings& m_settings;
};
