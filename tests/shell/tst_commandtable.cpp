#include "shell/CCommandRules.h"
#include "shell/CCommandTable.h"
#include "shell/CMainFrameLogic.h"
#include "store/CPrivateProfile.h"
#include "support/CSampleFolder.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

class TestCommandTable : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void enableRules() {
        using R = CCommandRules;
        CMainFrameLogic f;
        CMainFrameLogic::EnableInputs in;
        QVERIFY(!R::folderChosen(f, in));
        f.setFolderField(" /");
        QVERIFY(R::folderChosen(f, in));
        QVERIFY(!R::listActive(f, in));
        in.listActive = true;
        QVERIFY(R::listActive(f, in));
        QVERIFY(!R::rowsSelected(f, in));
        f.setSelectionFacts(true, false, true, true);
        QVERIFY(R::rowsSelected(f, in));
        QVERIFY(!R::rowsSelected(f, {}));
        QVERIFY(R::voiceSelected(f, in));
        QVERIFY(!R::singleVoiceSelected(f, in));
        QVERIFY(R::infoOnlyRowsPresent(f, in));
        QVERIFY(!R::loggedInWithInfoOnlyRows(f, in));
        in.isDownloadFolder = true;
        QVERIFY(!R::loggedInToDownloadFolder(f, in));
        f.doc().loggedIn = 1;
        QVERIFY(R::loggedInToDownloadFolder(f, in));
        QVERIFY(R::loggedInWithInfoOnlyRows(f, in));
        QVERIFY(!R::loggedOut(f, {}));
        QVERIFY(R::loggedIn(f, {}));
        QVERIFY(!R::listActive(f, {}));
        // While the keep-alive asks whether the link still answers (or re-establishes it), nothing that talks to
        // the unit is offered, and the status line says where KELDA is.
        f.doc().connection.address = "192.0.2.10";
        QCOMPARE(f.linkStatusText(), QString("ＺＵＮＯ 192.0.2.10 にログイン中"));
        f.doc().linkChecking = true;
        QVERIFY(!R::loggedInToDownloadFolder(f, in));
        QVERIFY(!R::loggedInWithInfoOnlyRows(f, in));
        QVERIFY(!R::loggedIn(f, {}));
        QVERIFY(!R::loggedOut(f, {}));
        QCOMPARE(f.linkStatusText(), QString("ＺＵＮＯ 192.0.2.10 との接続を確認中"));
        f.doc().linkChecking = false;
        f.doc().loggedIn = 0;
        QCOMPARE(f.linkStatusText(), QString("ＺＵＮＯにログインしていません"));
    }

    // Every bar button shows the letter of its own key underlined, and no two buttons share one.
    void buttonsShowTheirKeys() {
        using C = CMainFrameLogic;
        QSet<QChar> letters;
        for (int c = 0; c < C::BUTTON_COUNT; ++c) {
            const auto cmd = C::Command(c);
            const QString key = C::shortcut(cmd);
            QVERIFY2(key.startsWith("Alt+") && key.size() == 5, qPrintable(key));
            QCOMPARE(C::buttonText(cmd), C::label(cmd) + "(&" + key.back() + ")");
            letters.insert(key.back());
        }
        QCOMPARE(letters.size(), C::BUTTON_COUNT);
        QCOMPARE(C::buttonText(C::CmdLogin), C::label(C::CmdLogin));
    }

    void folderRules() {
        using R = CCommandRules;
        QTemporaryDir dir;
        const QString root = dir.filePath("root");
        CSampleFolder::makeDownloadFolder(root, "dl", {"01"}, {"100"}, 1);
        QVERIFY(QDir().mkpath(root + "/empty"));
        CMainFrameLogic f;
        f.create(dir.filePath("KELDA.ini"));
        f.doc().folder = root + '/';
        const CMainFrameLogic::EnableInputs in;

        // No current folder name: nothing to name, make or import into.
        QVERIFY(!R::folderHasBoxFolders(f, in));
        QVERIFY(!R::userMadeBoxFolderPresent(f, in));
        f.doc().folderName = "empty";
        QVERIFY(!R::folderHasBoxFolders(f, in));
        f.doc().folderName = "dl";
        QVERIFY(R::folderHasBoxFolders(f, in));
        // Box folders that came from the unit can be renamed only once the user has made one.
        QVERIFY(!R::userMadeBoxFolderPresent(f, in));
        QVERIFY(CPrivateProfile::writeString(root + "/dl/naisen/100/inf.ini", "INF", "MAKE", "1"));
        QVERIFY(R::userMadeBoxFolderPresent(f, in));

        QVERIFY(!R::listWindowOpen(f, in));
        f.doc().num = 1;
        QVERIFY(R::listWindowOpen(f, in));
        QVERIFY(!R::convertOnDownload(f, in) && !R::deleteWavAfterPlay(f, in));
        f.doc().downConv = 1;
        f.doc().convDel = 1;
        QVERIFY(R::convertOnDownload(f, in) && R::deleteWavAfterPlay(f, in));
        QVERIFY(R::always(f, in));
    }

    void eachCommandIsRegisteredOnce() {
        using C = CMainFrameLogic;
        using Reg = CCommandTable::Registration;
        CCommandTable t;
        int first = 0;
        int second = 0;
        QCOMPARE(t.add(C::CmdPlay, &CCommandRules::singleVoiceSelected, [&] { ++first; }), Reg::Added);
        // A second registration is refused and counted; the first handler and rule stay.
        QCOMPARE(t.add(C::CmdPlay, &CCommandRules::always, [&] { ++second; }), Reg::AlreadyRegistered);
        QCOMPARE(t.registrationCount(C::CmdPlay), 2);
        QVERIFY(t.run(C::CmdPlay));
        QCOMPARE(first, 1);
        QCOMPARE(second, 0);
        QVERIFY(t.enableRule(C::CmdPlay) == &CCommandRules::singleVoiceSelected);

        // A registration without handler or rule, or for no command, is refused.
        QCOMPARE(t.add(C::CmdConvert, nullptr, [] {}), Reg::Incomplete);
        QCOMPARE(t.add(C::CmdConvert, &CCommandRules::always, {}), Reg::Incomplete);
        QCOMPARE(t.addToggle(C::CmdDownConv, &CCommandRules::always, nullptr, [] {}), Reg::Incomplete);
        QCOMPARE(t.add(C::CmdCount, &CCommandRules::always, [] {}), Reg::Incomplete);
        QVERIFY(!t.isRegistered(C::CmdConvert));

        // An unregistered command does nothing and is greyed.
        CMainFrameLogic f;
        CMainFrameLogic::EnableInputs in;
        in.listActive = true;
        QVERIFY(!t.run(C::CmdConvert));
        QVERIFY(!t.isEnabled(C::CmdConvert, f, in));
        QVERIFY(!t.replaceHandler(C::CmdConvert, [] {}));

        // The rule decides.
        QVERIFY(!t.isEnabled(C::CmdPlay, f, in));
        f.setSelectionFacts(true, true, false, true);
        QVERIFY(t.isEnabled(C::CmdPlay, f, in));

        QCOMPARE(t.addToggle(C::CmdConvDel, &CCommandRules::always, &CCommandRules::deleteWavAfterPlay,
                             [&] { f.doc().convDel = 1 - f.doc().convDel; }),
                 Reg::Added);
        QVERIFY(t.isCheckable(C::CmdConvDel) && !t.isCheckable(C::CmdPlay));
        QVERIFY(!t.isChecked(C::CmdConvDel, f, in));
        QVERIFY(t.run(C::CmdConvDel));
        QVERIFY(t.isChecked(C::CmdConvDel, f, in));

        QVERIFY(t.replaceHandler(C::CmdPlay, [&] { second += 10; }));
        QVERIFY(t.run(C::CmdPlay));
        QCOMPARE(first, 1);
        QCOMPARE(second, 10);
    }
};

QTEST_GUILESS_MAIN(TestCommandTable)
#include "tst_commandtable.moc"
