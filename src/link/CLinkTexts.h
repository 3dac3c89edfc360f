#pragma once

#include "link/CFtpMng.h"

#include <QString>

// The messages of a log-in that did not succeed, shown by the log-in dialog and by the reconnection.
class CLinkTexts {
public:
    static QString ConnectFailed() { return QStringLiteral("接続に失敗しました。"); }
    static QString LoginFailed() { return QStringLiteral("ログインに失敗しました。"); }

    // The line under the message that names what went wrong, so that a wrong address, a unit switched off and a
    // wrong password are told apart. Empty when nothing is known.
    static QString FailureCause(CFtpMng::LoginFailure failure, int code, int waitMs) {
        switch (failure) {
        case CFtpMng::LoginFailure::None:
            break;
        case CFtpMng::LoginFailure::AddressUnknown:
            return QStringLiteral("原因：そのアドレスの機器が見つかりません。");
        case CFtpMng::LoginFailure::NoAnswer:
            return QStringLiteral("原因：ＺＵＮＯから%1秒以内に応答がありませんでした。").arg((waitMs + 999) / 1000);
        case CFtpMng::LoginFailure::Refused:
            return QStringLiteral("原因：接続を拒否されました（FTPサービスが動いていません）。");
        case CFtpMng::LoginFailure::Unreachable:
            return QStringLiteral("原因：ＺＵＮＯまでの経路がありません（ネットワークを確認してください）。");
        case CFtpMng::LoginFailure::Closed:
            return QStringLiteral("原因：ＺＵＮＯが接続を切りました。");
        case CFtpMng::LoginFailure::GreetingRefused:
            return QStringLiteral("原因：ＺＵＮＯが接続を受け付けませんでした（応答 %1）。").arg(code);
        case CFtpMng::LoginFailure::CredentialsRefused:
            return QStringLiteral("原因：ユーザー名またはパスワードが受け付けられませんでした（応答 %1）。").arg(code);
        }
        return QString();
    }

    // The whole message of a failed attempt: the failure's own text, then its cause.
    static QString LoginFailureText(CFtpMng::Login rc, const CFtpMng& ftp) {
        const QString head = rc == CFtpMng::Login::ConnectFailed ? ConnectFailed() : LoginFailed();
        const QString cause = FailureCause(ftp.lastLoginFailure(), ftp.failureCode(), ftp.failureWaitMs());
        return cause.isEmpty() ? head : head + QLatin1Char('\n') + cause;
    }
};
