// Login decisions, idle logout, the lost link and reconnection, against the simulated unit.
#include "link/CFtpMng.h"
#include "link/CLinkController.h"
#include "link/CLinkSettings.h"
#include "link/CLoginForm.h"
#include "platform/CCancelFlag.h"
#include "support/CScriptedUi.h"
#include "support/CZunoSimProcess.h"

#include <QtTest>

namespace {

FTP_TIMEOUTS shortTimeouts() {
    FTP_TIMEOUTS t;
    t.replyByteMs = 1000;
    t.dataChunkMs = 1000;
    t.acceptMs = 1000;
    t.finalReplyMs = 500;
    return t;
}

const LOGIN_VALUES kGood{"127.0.0.1", "mirta", "zuno"};

} // namespace

class TestLinkControl : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CZunoSimProcess> sim;

    bool startSim() {
        sim = std::make_unique<CZunoSimProcess>();
        if (!sim->start()) {
            return false;
        }
        return true;
    }

private Q_SLOTS:
    void cleanup() { sim.reset(); }

    void validationOrder() {
        auto check = [](const LOGIN_VALUES& v) { return CLoginForm::validate(v); };
        QCOMPARE(check({"", "", ""}), QString("ＩＰアドレスを入力してください。"));
        QCOMPARE(check({"", "mirta", "x"}), QString("ＩＰアドレスを入力してください。"));
        QCOMPARE(check({"10.0.0.1", "", ""}), QString("ユーザー名を入力してください。"));
        QCOMPARE(check({"10.0.0.1", "root", ""}), QString("パスワードを入力してください。"));
        QCOMPARE(check({"10.0.0.1", "root", "x"}), QString("入力値エラーです。"));
        QCOMPARE(check({"10.0.0.1", "Mirta", "x"}), QString("入力値エラーです。"));
        QCOMPARE(check({"10.0.0.1", "ｍｉｒｔａ", "x"}), QString("入力値エラーです。"));
        QCOMPARE(check({"10.0.0.1", QString::fromUtf8("め"), "x"}), QString("入力値エラーです。"));
        QCOMPARE(check({"10.0.0.1", "parvol", QString::fromUtf8("pwﾊ")}), QString("入力値エラーです。"));
        QCOMPARE(check({"10.0.0.1", "parvol", "pw"}), QString());
        QCOMPARE(CLoginForm::joinAddress({"", " ", "", ""}), QString());
        QCOMPARE(CLoginForm::joinAddress({"192", "168", "", "7"}), QString("192.168.0.7"));
        QCOMPARE(CLoginForm::splitAddress("192.168.1.20"), QStringList({"192", "168", "1", "20"}));
        QVERIFY(CLoginForm::splitAddress("192.168.1").isEmpty());
    }

    void loginStoresAndReports() {
        QVERIFY(startSim());
        CLinkSettings settings;
        settings.unitPort = sim->port();
        CScriptedUi ui;
        CLinkController link(settings, ui, shortTimeouts());

        // Invalid entries: a message, nothing sent, but the typed values are stored (remember unticked).
        QVERIFY(!link.login({"127.0.0.1", "guest", "zuno"}, false));
        QCOMPARE(ui.messageTexts(), QStringList({"入力値エラーです。"}));
        QCOMPARE(ui.lastMessage()->caption, QString("エラー"));
        QCOMPARE(ui.lastMessage()->icon, MsgIcon::Exclamation);
        QVERIFY(sim->transcript().isEmpty());
        QCOMPARE(settings.connection.user, QString("guest"));
        QVERIFY(settings.remembered.user.isEmpty());

        QVERIFY(!link.login({"127.0.0.1", "mirta", "bad"}, true));
        QCOMPARE(
            ui.messageTexts().last(),
            QString(
                "ログインに失敗しました。\n原因：ユーザー名またはパスワードが受け付けられませんでした（応答 530）。"));
        QCOMPARE(settings.remembered.password, QString("bad"));
        QCOMPARE(settings.rememberFlag, 1);
        QCOMPARE(settings.loggedIn, 0);
        QVERIFY(!link.timerActive());

        QVERIFY(link.login(kGood, true));
        QCOMPARE(settings.loggedIn, 1);
        QVERIFY(link.timerActive());
        QCOMPARE(link.timerInterval(), 6000);
        QCOMPARE(sim->transcript(), QStringList({"USER mirta", "PASS bad", "USER mirta", "PASS zuno"}));
        CLoginForm form(settings);
        QCOMPARE(form.initialAddressParts(), QStringList({"127", "0", "0", "1"}));
        QCOMPARE(form.initialUser(), QString("mirta"));
        QVERIFY(form.initialRemember());

        link.logout();
        QCOMPARE(settings.loggedIn, 0);
        QVERIFY(!link.timerActive());
        QCOMPARE(sim->transcript().last(), QString("QUIT"));

        // Unticked: logged in with the typed values, nothing remembered.
        QVERIFY(link.login(kGood, false));
        QCOMPARE(settings.connection.address, QString("127.0.0.1"));
        QVERIFY(settings.remembered.address.isEmpty());
        QCOMPARE(settings.rememberFlag, 0);
        QVERIFY(CLoginForm(settings).initialAddressParts().isEmpty());

        sim->stop();
        QVERIFY(!link.login(kGood, false));
        QCOMPARE(ui.messageTexts().last(),
                 QString("接続に失敗しました。\n原因：接続を拒否されました（FTPサービスが動いていません）。"));
    }

    // The message of a failed login keeps its text and names the cause on a line of its own.
    void loginFailureNamesItsCause_data() {
        QTest::addColumn<QString>("faults");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("message");
        QTest::newRow("no greeting") << "greeting silence 5"
                                     << "127.0.0.1"
                                     << "接続に失敗しました。\n原因：ＺＵＮＯから1秒以内に応答がありませんでした。";
        QTest::newRow("hung up") << "greeting hangup"
                                 << "127.0.0.1"
                                 << "接続に失敗しました。\n原因：ＺＵＮＯが接続を切りました。";
        QTest::newRow("busy") << "greeting reply 421 Too many users"
                              << "127.0.0.1"
                              << "接続に失敗しました。\n原因：ＺＵＮＯが接続を受け付けませんでした（応答 421）。";
        QTest::newRow("PASS unanswered")
            << "PASS silence 5"
            << "127.0.0.1"
            << "ログインに失敗しました。\n原因：ＺＵＮＯから1秒以内に応答がありませんでした。";
        QTest::newRow("no such host") << ""
                                      << "no-such-unit.invalid"
                                      << "接続に失敗しました。\n原因：そのアドレスの機器が見つかりません。";
    }
    void loginFailureNamesItsCause() {
        QFETCH(QString, faults);
        QFETCH(QString, address);
        QFETCH(QString, message);
        QVERIFY(startSim());
        sim->setFaults(faults);
        CLinkSettings settings;
        settings.unitPort = sim->port();
        CScriptedUi ui;
        CLinkController link(settings, ui, shortTimeouts());
        QVERIFY(!link.login({address, "mirta", "zuno"}, false));
        QCOMPARE(ui.messageTexts(), QStringList{message});
        // A login that then succeeds leaves no cause behind.
        sim->setFaults(QString());
        QVERIFY(link.login(kGood, false));
        QCOMPARE(link.ftp()->lastLoginFailure(), CFtpMng::LoginFailure::None);
    }

    // A unit that takes the connection and then says nothing: "キャンセル" ends the wait at once, closes the
    // connection and tells nothing; a second "ログイン" meanwhile starts no second connection.
    void cancelledLoginToASilentUnit_data() {
        QTest::addColumn<QString>("faults");
        QTest::addColumn<QStringList>("transcript");
        QTest::newRow("no greeting") << "greeting silence 30" << QStringList();
        QTest::newRow("USER unanswered") << "USER silence 30" << QStringList({"USER mirta"});
        QTest::newRow("PASS unanswered") << "PASS silence 30" << QStringList({"USER mirta", "PASS zuno"});
    }

    void cancelledLoginToASilentUnit() {
        QFETCH(QString, faults);
        QFETCH(QStringList, transcript);
        QVERIFY(startSim());
        sim->setFaults(faults);
        CLinkSettings settings;
        settings.unitPort = sim->port();
        CScriptedUi ui;
        // The product's waits: the cancel, not a time-out, ends the attempt.
        CLinkController link(settings, ui);
        bool secondRefused = false;
        ui.onDispatch = [&](int count) {
            if (count == 3) {
                QVERIFY(link.loginRunning());
                secondRefused = !link.login(kGood, false);
            } else if (count == 5) {
                link.cancelLogin();
            }
        };
        QElapsedTimer waited;
        waited.start();
        QVERIFY(!link.login(kGood, false));
        QVERIFY2(waited.elapsed() < 3000, qPrintable(QString::number(waited.elapsed())));
        QVERIFY(secondRefused);
        QVERIFY(!link.loginRunning());
        QVERIFY(ui.messageTexts().isEmpty());
        QVERIFY(!link.ftp()->Connection());
        QCOMPARE(settings.loggedIn, 0);
        QVERIFY(!link.timerActive());
        QVERIFY(!CCancelFlag::isSet());
        QCOMPARE(sim->transcript(), transcript);

        // The next attempt, with the unit answering again, logs in as usual.
        ui.onDispatch = nullptr;
        sim->setFaults("");
        QVERIFY(link.login(kGood, false));
        QCOMPARE(settings.loggedIn, 1);
        QVERIFY(ui.messageTexts().isEmpty());
    }

    void idleTicksLogOut() {
        QVERIFY(startSim());
        CLinkSettings settings;
        settings.unitPort = sim->port();
        CScriptedUi ui;
        CLinkController link(settings, ui, shortTimeouts());
        int repaints = 0;
        link.onRepaint = [&] { ++repaints; };
        QVERIFY(link.login(kGood, false));
        for (int i = 0; i < 99; ++i) {
            link.tick();
        }
        QCOMPARE(settings.loggedIn, 1);
        QCOMPARE(link.idleCount(), 99);

        // A unit operation clears the idle count and keeps the timer running afterwards.
        QCOMPARE(link.ftp()->CountBoxFiles("/rusuroku", QString(), CUnitBoxOps::Files::All),
                 (CUnitBoxOps::Count{UnitResult::Done, 0}));
        QCOMPARE(link.idleCount(), 0);
        QVERIFY(link.timerActive());
        for (int i = 0; i < 99; ++i) {
            link.tick();
        }
        QCOMPARE(settings.loggedIn, 1);
        link.tick();
        QCOMPARE(settings.loggedIn, 0);
        QVERIFY(!link.timerActive());
        QCOMPARE(link.idleCount(), 0);
        QVERIFY(!link.ftp()->Connection());
        const QStringList t = sim->transcript();
        // 199 probes (the hundredth idle tick still probes first) and one listing.
        QCOMPARE(t.count("PORT"), 200);
        QCOMPARE(t.count("NLST"), 1);
        QCOMPARE(t.last(), QString("QUIT"));
        QVERIFY(repaints >= 2);

        // Logged out, the timer stays off and ticks probe nothing.
        link.resumeKeepAlive();
        QVERIFY(!link.timerActive());
    }

    void lostLinkFailedReconnection() {
        QVERIFY(startSim());
        CLinkSettings settings;
        settings.unitPort = sim->port();
        CScriptedUi ui;
        CLinkController link(settings, ui, shortTimeouts());
        int asked = 0;
        link.askReconnect = [&] {
            ++asked;
            // Commands that need the unit stay refused until the reconnection has come to an end.
            if (!settings.linkChecking) {
                asked += 100;
            }
            return CLinkController::RecomChoice::Reconnect;
        };
        QVERIFY(link.login(kGood, false));
        CFtpMng* before = link.ftp();
        sim->stop();
        link.tick();
        QCOMPARE(asked, 1);
        // Dialogs hold the client across a reconnection: it must stay the same object.
        QCOMPARE(link.ftp(), before);
        QVERIFY(ui.messageTexts().last().startsWith("接続に失敗しました。\n原因："));
        QCOMPARE(settings.loggedIn, 0);
        QVERIFY(!settings.linkChecking);
        QVERIFY(!link.timerActive());
        const int probes = link.probeCount();
        link.tick();
        link.tick();
        QCOMPARE(link.probeCount(), probes);
        QCOMPARE(asked, 1);
    }

    void lostLinkReconnectedOrExit() {
        QVERIFY(startSim());
        CLinkSettings settings;
        settings.unitPort = sim->port();
        CScriptedUi ui;
        CLinkController link(settings, ui, shortTimeouts());
        std::unique_ptr<CZunoSimProcess> second;
        link.askReconnect = [&] {
            // The unit comes back (on another port here) before the user presses "再接続".
            second = std::make_unique<CZunoSimProcess>();
            if (second->start()) {
                settings.unitPort = second->port();
            }
            return CLinkController::RecomChoice::Reconnect;
        };
        QVERIFY(link.login(kGood, false));
        CFtpMng* held = link.ftp();
        sim->stop();
        link.tick();
        QVERIFY(second);
        // What an open dialog held before the loss now talks over the new connection.
        QCOMPARE(link.ftp(), held);
        QVERIFY(held->Probe());
        QCOMPARE(settings.loggedIn, 1);
        QVERIFY(link.timerActive());
        QCOMPARE(link.idleCount(), 0);
        QCOMPARE(second->transcript().mid(0, 2), QStringList({"USER mirta", "PASS zuno"}));
        link.tick();
        QCOMPARE(second->transcript().last(), QString("PORT"));

        // Lost again, and the user chooses "終了".
        bool exitAsked = false;
        link.askReconnect = [] { return CLinkController::RecomChoice::Exit; };
        link.onExitRequested = [&] { exitAsked = true; };
        second->stop();
        link.tick();
        QVERIFY(exitAsked);
        QCOMPARE(settings.loggedIn, 0);
        QVERIFY(!link.timerActive());
    }

    void aReplyTimeOutHandsTheLinkToTheReconnection() {
        // The first session answers DELE only after the reply wait; the reconnection is the second session.
        sim = std::make_unique<CZunoSimProcess>();
        sim->setFaults("session=1 DELE silence 2");
        QVERIFY(sim->start());
        sim->writeFile("naisen/0101/x.vminf", "info");
        CLinkSettings settings;
        settings.unitPort = sim->port();
        CScriptedUi ui;
        CLinkController link(settings, ui, shortTimeouts());
        int asked = 0;
        link.askReconnect = [&] {
            ++asked;
            return CLinkController::RecomChoice::Reconnect;
        };
        QVERIFY(link.login(kGood, false));
        QCOMPARE(link.ftp()->DeleteOnUnit(QString(), "/naisen/0101/x.vminf").result, UnitResult::CommFailure);
        QVERIFY(link.timerActive());
        // The late answer has come by now; it must not pass for the probe's.
        QTest::qWait(1500);
        sim->clearTranscript();
        link.tick();
        QCOMPARE(asked, 1);
        QCOMPARE(settings.loggedIn, 1);
        QVERIFY(link.timerActive());
        QCOMPARE(sim->transcript(), QStringList({"USER mirta", "PASS zuno"}));
        QString text;
        QCOMPARE(link.ftp()->Connection()->Command(QString("PWD\r\n"), &text), 0);
        QVERIFY2(text.startsWith("257 "), qPrintable(text));
    }

    void theKeepAliveLeavesTheLinkAloneWhileAModalIsOpen() {
        QVERIFY(startSim());
        CLinkSettings settings;
        settings.unitPort = sim->port();
        CScriptedUi ui;
        CLinkController link(settings, ui, shortTimeouts());
        QVERIFY(link.login(kGood, false));
        const int before = link.probeCount();
        ui.modalOpen = true;
        link.tick();
        link.tick();
        QCOMPARE(link.probeCount(), before);
        QVERIFY(link.timerActive());
        ui.modalOpen = false;
        link.tick();
        QCOMPARE(link.probeCount(), before + 1);
        QCOMPARE(settings.loggedIn, 1);
    }
};

QTEST_GUILESS_MAIN(TestLinkControl)
#include "tst_linkcontrol.moc"
