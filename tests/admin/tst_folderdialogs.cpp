#include "admin/CFolderChgLogic.h"
#include "admin/CFolderDwnLogic.h"
#include "admin/CFolderRename.h"
#include "admin/CFolderSetLogic.h"
#include "link/CFtpMng.h"
#include "settings/CKeldaSession.h"
#include "store/CFileMng.h"
#include "support/CScriptedUi.h"
#include "support/CZunoSimProcess.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestFolderDialogs : public QObject {
    Q_OBJECT

    static void mk(const QString& p) { QDir().mkpath(p); }

private Q_SLOTS:
    void folderListRowsAndButtons() {
        QTemporaryDir dir;
        const QString root = dir.path() + "/";
        mk(root + "beta/rusuroku/0001");
        mk(root + "beta/naisen");
        mk(root + "Alpha");
        mk(root + "gamma");
        CScriptedUi ui;
        CKeldaSession doc;
        doc.folder = root;
        CFolderDwnLogic dlg(ui, doc, [](QString&, QString&, QString&) { return -1; });
        dlg.open();
        QCOMPARE(dlg.rows().size(), 3);
        QCOMPARE(dlg.rows()[0].name, QStringLiteral("Alpha"));
        QCOMPARE(dlg.rows()[1].pathCell(), QStringLiteral("*") + root + "beta");
        QCOMPARE(dlg.rows()[2].pathCell(), QStringLiteral(" ") + root + "gamma");
        QVERIFY(!dlg.downloadEnabled() && !dlg.deleteEnabled() && !dlg.renameEnabled());

        // A folder that holds box folders cannot be deleted; download needs the link.
        dlg.select(1);
        QVERIFY(!dlg.deleteEnabled());
        QVERIFY(!dlg.downloadEnabled());
        QVERIFY(dlg.renameEnabled());
        doc.loggedIn = 1;
        dlg.select(0);
        QVERIFY(dlg.deleteEnabled() && dlg.downloadEnabled());
        doc.loggedIn = 0;
        dlg.tick();
        QVERIFY(!dlg.downloadEnabled());

        ui.replies = {MsgResult::No, MsgResult::Yes};
        dlg.deleteFolder();
        QCOMPARE(dlg.rows().size(), 3);
        dlg.deleteFolder();
        QCOMPARE(ui.messages.last().caption, QStringLiteral("削除の確認"));
        QCOMPARE(dlg.rows().size(), 2);
        QVERIFY(!QFileInfo::exists(root + "Alpha"));
        QCOMPARE(dlg.cancel(), DlgOutcome::EndCancel);
    }

    void addingAFolder() {
        QTemporaryDir dir;
        CScriptedUi ui;
        CKeldaSession doc;
        CFolderDwnLogic dlg(ui, doc, {});
        dlg.open();
        QCOMPARE(dlg.chooserStart("/opt/kelda/"), QStringLiteral("/opt/kelda/save/ZUNO"));
        ui.folderChoice = QString();
        QVERIFY(!dlg.addFolder("/opt/kelda/"));
        QVERIFY(!dlg.changed());
        mk(dir.path() + "/abc.def");
        ui.folderChoice = dir.path() + "/abc.def";
        QVERIFY(dlg.addFolder("/opt/kelda/"));
        QCOMPARE(doc.folder, dir.path() + "/");
        QCOMPARE(doc.folderName, QStringLiteral("abc"));
        QCOMPARE(doc.downloadFolderText, dir.path() + "/abc");
        QCOMPARE(dlg.rows().size(), 1);
        // Closing after an add still takes the folder.
        QCOMPARE(dlg.cancel(), DlgOutcome::EndOk);
        QCOMPARE(dlg.chooserStart("/x/"), dir.path() + "/abc");

        // Paths the settings file or the records could not hold whole are refused, and nothing changes.
        const QString accented = dir.path() + QStringLiteral("/müller");
        const QString deep = dir.path() + "/" + QString(250 - dir.path().size(), 'd');
        for (const QString& bad : {accented, deep}) {
            mk(bad);
            ui.folderChoice = bad;
            QVERIFY(!dlg.addFolder("/opt/kelda/"));
            QCOMPARE(ui.messages.last().caption, QStringLiteral("エラー"));
            QCOMPARE(doc.folderName, QStringLiteral("abc"));
        }
        QCOMPARE(ui.messageTexts().mid(ui.messageTexts().size() - 2),
                 QStringList({"フォルダのパスに使用できない文字が含まれています。\n別のフォルダを選択してください。",
                              "フォルダのパスが長すぎます。\n別のフォルダを選択してください。"}));
        // Japanese names are fine.
        mk(dir.path() + QStringLiteral("/本社２０２６"));
        ui.folderChoice = dir.path() + QStringLiteral("/本社２０２６");
        QVERIFY(dlg.addFolder("/opt/kelda/"));
        QCOMPARE(doc.folderName, QStringLiteral("本社２０２６"));
    }

    void folderDownloadFromTheUnit() {
        CZunoSimProcess sim;
        QVERIFY(sim.makeBox("rusuroku", "0001"));
        QVERIFY(sim.makeBox("rusuroku", "0002"));
        QVERIFY(sim.makeBox("naisen", "0200"));
        QVERIFY(sim.start());
        QTemporaryDir dir;
        mk(dir.path() + "/office/rusuroku/0001");
        CFileMng::SetBoxName(dir.path() + "/office/rusuroku/0001", QStringLiteral("受付"));
        CScriptedUi ui;
        CKeldaSession doc;
        doc.folder = dir.path();
        doc.loggedIn = 1;
        CFtpMng ftp(&ui);
        ftp.setUnitPort(sim.port());
        QCOMPARE(ftp.ConnectLogin("127.0.0.1", "mirta", "zuno"), CFtpMng::Login::LoggedIn);
        CFolderDwnLogic dlg(ui, doc, [&ftp](QString& a, QString& b, QString& c) {
            return ftp.GetUnitTree(a, b, c).result == UnitResult::Done;
        });
        dlg.open();
        dlg.select(0);
        ui.replies = {MsgResult::Yes};
        QCOMPARE(dlg.download(), DlgOutcome::EndOk);
        QCOMPARE(ui.messages[0].text, QStringLiteral("officeにダウンロードします。\nよろしいですか？"));
        QCOMPARE(ui.messages[1].text, QStringLiteral("フォルダのダウンロードが正常に完了しました。"));
        QCOMPARE(doc.downloadFolderText, dir.path() + "/office/");
        QCOMPARE(CFileMng::GetBoxName(dir.path() + "/office/rusuroku/0001"), QStringLiteral("受付"));
        QVERIFY(QFileInfo(dir.path() + "/office/rusuroku/0002").isDir());
        QCOMPARE(CFileMng::GetMake(dir.path() + "/office/naisen/0200"), CFileMng::Make::None);
        QVERIFY(QFile::exists(dir.path() + "/office/naisen/0200/inf.ini"));

        // The link drops: the folder download reports a communication error and makes nothing.
        mk(dir.path() + "/second");
        sim.stop();
        CFolderDwnLogic again(ui, doc, [&ftp](QString& a, QString& b, QString& c) {
            return ftp.GetUnitTree(a, b, c).result == UnitResult::Done;
        });
        again.open();
        again.select(1);
        ui.replies = {MsgResult::Yes};
        QCOMPARE(again.download(), DlgOutcome::EndCancel);
        QCOMPARE(ui.messages.last().text, QStringLiteral("通信エラーが発生しました。"));
        QVERIFY(QDir(dir.path() + "/second").entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());

        // After a folder was added, a failed download still ends with OK: the settings name the added folder
        // now, and the main window must follow them.
        mk(dir.path() + "/third");
        ui.folderChoice = dir.path() + "/third";
        QVERIFY(again.addFolder("/opt/kelda/"));
        again.select(0);
        ui.replies = {MsgResult::Yes};
        QCOMPARE(again.download(), DlgOutcome::EndOk);
        QCOMPARE(ui.messages.last().text, QStringLiteral("通信エラーが発生しました。"));
        QCOMPARE(doc.downloadFolderText, dir.path() + "/third");
    }

    void renaming() {
        QTemporaryDir dir;
        mk(dir.path() + "/a");
        mk(dir.path() + "/b");
        CScriptedUi ui;
        QVERIFY(!CFolderRename::Rename(ui, dir.path() + "/a", QString()));
        QVERIFY(!CFolderRename::Rename(ui, dir.path() + "/a", "b"));
        QVERIFY(!CFolderRename::Rename(ui, dir.path() + "/a", "../escape"));
        QCOMPARE(ui.messageTexts(),
                 QStringList({"入力値エラーです。", "フォルダ名が重複しています。", "入力値エラーです。"}));
        QVERIFY(CFolderRename::Rename(ui, dir.path() + "/a", QStringLiteral("営業")));
        QVERIFY(QFileInfo(dir.path() + "/営業").isDir());
    }

    void changingTheFolder() {
        QTemporaryDir dir;
        mk(dir.path() + "/empty");
        mk(dir.path() + "/boxes/rusuroku/0001");
        mk(dir.path() + "/boxes/naisen");
        CKeldaSession doc;
        doc.folder = dir.path();
        doc.num = 2;
        CFolderChgLogic dlg(doc);
        dlg.open();
        QCOMPARE(dlg.rows().size(), 1);
        QCOMPARE(dlg.rows()[0].marker, QStringLiteral("*"));
        QVERIFY(!dlg.buttonsEnabled());
        QVERIFY(!dlg.change());
        dlg.select(0);
        QVERIFY(dlg.change());
        QCOMPARE(doc.folderName, QStringLiteral("boxes"));
        QCOMPARE(doc.slotFolderName[2], QStringLiteral("boxes"));
    }

    void startUpFolderRules() {
        QTemporaryDir dir;
        mk(dir.path() + "/one");
        CScriptedUi ui;
        CKeldaSession doc;
        doc.folder = dir.path();
        CFolderSetLogic dlg(ui, doc);
        dlg.open();
        QVERIFY(!dlg.specified());
        dlg.selectSpecified();
        QVERIFY(dlg.chooserEnabled());
        QVERIFY(!dlg.ok());
        QCOMPARE(ui.messageTexts(), QStringList{"入力値エラーです。"});
        dlg.chosen(dir.path() + "/one");
        QVERIFY(dlg.ok());
        QCOMPARE(doc.init, 1);
        QCOMPARE(doc.change, 1);
        QCOMPARE(doc.nextFolder, dir.path() + "/");
        QCOMPARE(doc.nextFolderName, QStringLiteral("one"));
        // The same folder again: no change, even after an earlier OK set it.
        CFolderSetLogic same(ui, doc);
        same.open();
        QCOMPARE(same.field(), dir.path() + "/one");
        QVERIFY(same.ok());
        QCOMPARE(doc.change, 0);
        same.chosen(dir.path() + "/two");
        QVERIFY(same.ok());
        QCOMPARE(doc.change, 1);
        same.selectPrevious();
        QVERIFY(same.ok());
        QCOMPARE(doc.init, 0);
        QCOMPARE(doc.change, 0);
        QVERIFY(doc.nextFolder.isEmpty() && doc.nextFolderName.isEmpty());
        // Without any folder under the root there is nothing to choose.
        CKeldaSession bare;
        CFolderSetLogic none(ui, bare);
        none.selectSpecified();
        QVERIFY(!none.chooserEnabled());
    }
};

QTEST_GUILESS_MAIN(TestFolderDialogs)
#include "tst_folderdialogs.moc"
