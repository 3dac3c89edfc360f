#include "link/CLoginForm.h"

#include "link/CFtpMng.h"
#include "link/CLinkSettings.h"
#include "link/CLinkTexts.h"
#include "platform/CCommonTexts.h"
#include "platform/CUserInterface.h"

#include <QRegularExpression>

namespace {

// A character whose code unit's low byte is a Shift_JIS lead byte: such names and passwords cannot be sent.
bool hasLeadByteCharacter(const QString& text) {
    for (QChar c : text) {
        const int low = c.unicode() & 0xff;
        if ((low >= 0x81 && low <= 0x9f) || (low >= 0xe0 && low <= 0xfc)) {
            return true;
        }
    }
    return false;
}

} // namespace

QStringList CLoginForm::splitAddress(const QString& address) {
    static const QRegularExpression dotted(QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
    const auto m = dotted.match(address);
    if (!m.hasMatch()) {
        return {};
    }
    return {m.captured(1), m.captured(2), m.captured(3), m.captured(4)};
}

QString CLoginForm::joinAddress(const QStringList& parts) {
    bool anything = false;
    for (const auto& p : parts) {
        anything = anything || !p.trimmed().isEmpty();
    }
    if (!anything) {
        return QString();
    }
    // Like an address control, a blank part reads as 0.
    QStringList out;
    for (int i = 0; i < 4; ++i) {
        const QString p = parts.value(i).trimmed();
        out << (p.isEmpty() ? QStringLiteral("0") : QString::number(p.toInt()));
    }
    return out.join(QLatin1Char('.'));
}

QStringList CLoginForm::initialAddressParts() const {
    return m_settings.remembered.address.isEmpty() ? QStringList() : splitAddress(m_settings.remembered.address);
}

QString CLoginForm::initialUser() const {
    return m_settings.remembered.user;
}

QString CLoginForm::initialPassword() const {
    return m_settings.remembered.password;
}

bool CLoginForm::initialRemember() const {
    return m_settings.rememberFlag == 1;
}

QString CLoginForm::passwordPlaceText() const {
    return m_settings.passwordInKeyring
               ? QStringLiteral("記憶したパスワードはデスクトップのキーリングに保管されます。")
               : QStringLiteral("記憶したパスワードは設定ファイル KELDA.ini（本人のみ読み書き可）に保管されます。");
}

QString CLoginForm::validate(const LOGIN_VALUES& typed) {
    if (typed.address.isEmpty()) {
        return QStringLiteral("ＩＰアドレスを入力してください。");
    }
    if (typed.user.isEmpty()) {
        return QStringLiteral("ユーザー名を入力してください。");
    }
    if (typed.password.isEmpty()) {
        return QStringLiteral("パスワードを入力してください。");
    }
    if (hasLeadByteCharacter(typed.user)) {
        return CCommonTexts::InputError();
    }
    if (typed.user != QLatin1String("mirta") && typed.user != QLatin1String("parvol")) {
        return CCommonTexts::InputError();
    }
    if (hasLeadByteCharacter(typed.password)) {
        return CCommonTexts::InputError();
    }
    return QString();
}

bool CLoginForm::submit(const LOGIN_VALUES& typed, bool remember, CFtpMng& ftp, CUserInterface& ui) {
    // Stored before the checks, so that what was typed is what the settings file gets at exit.
    m_settings.connection = typed;
    m_settings.remembered = typed;
    m_settings.rememberFlag = remember ? 1 : 0;
    if (!remember) {
        m_settings.remembered = LOGIN_VALUES();
    }
    const QString problem = validate(typed);
    if (!problem.isEmpty()) {
        ui.messageBox(problem, CCommonTexts::ErrorCaption(), MsgIcon::Exclamation);
        return false;
    }
    const CFtpMng::Login rc = ftp.ConnectLogin(typed.address, typed.user, typed.password);
    if (rc == CFtpMng::Login::Cancelled) {
        // The user gave up waiting: nothing failed that needs telling.
        return false;
    }
    if (rc != CFtpMng::Login::LoggedIn) {
        ui.messageBox(CLinkTexts::LoginFailureText(rc, ftp), CCommonTexts::ErrorCaption(), MsgIcon::Exclamation);
        return false;
    }
    m_settings.loggedIn = 1;
    return true;
}
