#pragma once

#include <QString>

// The messages of a log-in that did not succeed, shown by the log-in dialog and by the reconnection.
class CLinkTexts {
public:
    static QString ConnectFailed() { return QStringLiteral("接続に失敗しました。"); }
    static QString LoginFailed() { return QStringLiteral("ログインに失敗しました。"); }
};
