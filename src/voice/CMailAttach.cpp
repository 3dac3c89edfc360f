#include "voice/CMailAttach.h"

#include "platform/CCommonTexts.h"
#include "platform/CUserInterface.h"

#include <QElapsedTimer>
#include <QProcess>

namespace {

// xdg-email's exit statuses for "a required tool could not be found" and "the action failed": with no mail
// program set up it ends in one of them.
constexpr int XDG_NO_TOOL = 3;
constexpr int XDG_ACTION_FAILED = 4;

QString line(const FILESTS_INFO& r) {
    const QString name = FILESTS_INFO::text(r.callerName);
    const QString no = FILESTS_INFO::text(r.callerNo);
    QString caller = no.isEmpty() ? QStringLiteral("番号通知なし") : no;
    if (!name.isEmpty()) {
        caller += QStringLiteral("（%1）").arg(name);
    }
    return QStringLiteral("%1  %2").arg(FILESTS_INFO::text(r.recDateTime), caller);
}

} // namespace

QString CMailAttach::Subject(const std::vector<FILESTS_INFO>& rows) {
    if (rows.size() == 1) {
        return QStringLiteral("音声メッセージ %1").arg(line(rows.front()));
    }
    return QStringLiteral("音声メッセージ %1件").arg(rows.size());
}

QString CMailAttach::Body(const std::vector<FILESTS_INFO>& rows) {
    QStringList out;
    for (const FILESTS_INFO& r : rows) {
        out << QStringLiteral("日時：%1").arg(FILESTS_INFO::text(r.recDateTime))
            << QStringLiteral("相手番号：%1").arg(FILESTS_INFO::text(r.callerNo))
            << QStringLiteral("相手名称：%1").arg(FILESTS_INFO::text(r.callerName))
            << QStringLiteral("BOX：%1 %2").arg(FILESTS_INFO::text(r.boxNo), FILESTS_INFO::text(r.boxName))
            << QStringLiteral("録音時間：%1").arg(FILESTS_INFO::text(r.recTime))
            << QStringLiteral("タイトル：%1").arg(FILESTS_INFO::text(r.title))
            << QStringLiteral("メモ：%1").arg(FILESTS_INFO::text(r.memo)) << QString();
    }
    return out.join(QLatin1Char('\n'));
}

CMailAttach::Result CMailAttach::Send(CUserInterface& ui, const QStringList& files,
                                      const std::vector<FILESTS_INFO>& rows, const QString& folder,
                                      const Setup& setup) {
    QStringList args{QStringLiteral("--utf8"), QStringLiteral("--subject"), Subject(rows), QStringLiteral("--body"),
                     Body(rows)};
    for (const QString& f : files) {
        args << QStringLiteral("--attach") << f;
    }
    // Held until its verdict is read; one still busy then is left to end by itself.
    auto* mailer = new QProcess;
    mailer->setProgram(setup.program);
    mailer->setArguments(args);
    mailer->setStandardOutputFile(QProcess::nullDevice());
    mailer->setStandardErrorFile(QProcess::nullDevice());
    mailer->start();
    Result result = Result::NoMailProgram;
    if (mailer->waitForStarted(setup.startMs)) {
        QElapsedTimer waited;
        waited.start();
        while (mailer->state() != QProcess::NotRunning && waited.elapsed() < setup.verdictMs) {
            mailer->waitForFinished(20);
            ui.dispatchPendingEvents(-1);
        }
        if (mailer->state() != QProcess::NotRunning) {
            result = Result::Opened;
        } else if (mailer->exitStatus() == QProcess::NormalExit && mailer->exitCode() == 0) {
            result = Result::Opened;
        } else if (mailer->exitStatus() == QProcess::NormalExit &&
                   (mailer->exitCode() == XDG_NO_TOOL || mailer->exitCode() == XDG_ACTION_FAILED)) {
            result = Result::NoMailProgram;
        } else {
            result = Result::Failed;
        }
    }
    if (mailer->state() == QProcess::NotRunning) {
        delete mailer;
    } else {
        QObject::connect(mailer, &QProcess::finished, mailer, &QObject::deleteLater);
    }
    if (result == Result::NoMailProgram) {
        ui.messageBox(QStringLiteral("メールソフトが設定されていないため、メールを作成できませんでした。\n"
                                     "書き出したファイルのフォルダを表示します。\n%1")
                          .arg(folder),
                      QStringLiteral("メールで送る"), MsgIcon::Information);
        ui.openWithDefaultApplication(folder);
    } else if (result == Result::Failed) {
        ui.messageBox(
            QStringLiteral(
                "メールソフトにファイルを渡せませんでした。\n書き出したファイルは次のフォルダにあります。\n%1")
                .arg(folder),
            CCommonTexts::ErrorCaption(), MsgIcon::Exclamation);
    }
    return result;
}
