// The folder dialogs: the widgets show their logic's state and forward clicks.
#include "admin/CFolderChgLogic.h"
#include "admin/CFolderDwnLogic.h"
#include "admin/CFolderSetLogic.h"
#include "shell/CKELDADoc.h"
#include "support/CScriptedUi.h"
#include "ui/CDialogTestKit.h"
#include "ui/admin/CFolderChgDlg.h"
#include "ui/admin/CFolderDwnDlg.h"
#include "ui/admin/CFolderListCtrl.h"
#include "ui/admin/CFolderNmChg.h"
#include "ui/admin/CFolderSetDlg.h"
#include "ui/admin/CFolderSetSubDlg.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

class TestAdminDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void folderListDialog() {
        QTemporaryDir dir;
        const QString root = dir.path() + "/";
        CDialogTestKit::mk(root + "beta/rusuroku/0001");
        CDialogTestKit::mk(root + "Alpha");
        CDialogTestKit::mk(root + "gamma");
        CScriptedUi ui;
        CKELDADoc doc;
        doc.folder = root;
        doc.loggedIn = 1;
        CFolderDwnLogic logic(ui, doc, [](QString&, QString&, QString&) { return -1; });
        CFolderDwnDlg dlg(logic, "/opt/kelda/", nullptr);
        dlg.setUserInterface(&ui);
        CFolderListCtrl* list = dlg.list();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("フォルダのダウンロード"));
        QCOMPARE(list->rowCount(), 3);
        QCOMPARE(list->horizontalHeaderItem(0)->text(), QStringLiteral("フォルダ名"));
        QCOMPARE(list->item(1, 1)->text(), "*" + root + "beta");
        QVERIFY(!dlg.downloadButton()->isEnabled() && !dlg.deleteButton()->isEnabled());
        QVERIFY(!dlg.renameButton()->isEnabled() && dlg.addButton()->isEnabled());

        // A folder holding box folders cannot be deleted; an empty one can.
        list->selectRow(1);
        QVERIFY(dlg.downloadButton()->isEnabled() && dlg.renameButton()->isEnabled());
        QVERIFY(!dlg.deleteButton()->isEnabled());
        list->selectRow(0);
        QVERIFY(dlg.deleteButton()->isEnabled());
        dlg.show();
        CDialogTestKit::render(dlg, "folderdwn");

        ui.replies = {MsgResult::Yes};
        dlg.deleteButton()->click();
        QCOMPARE(ui.messages.last().text, QStringLiteral("削除します。よろしいですか？"));
        QCOMPARE(list->rowCount(), 2);
        QVERIFY(!QFileInfo::exists(root + "Alpha"));
        QCOMPARE(list->selectedRow(), -1);
        QVERIFY(!dlg.deleteButton()->isEnabled() && !dlg.renameButton()->isEnabled());

        // Rename: a taken name keeps the name dialog open with its message; a free one renames.
        list->selectRow(1);
        QCOMPARE(list->item(1, 0)->text(), QStringLiteral("gamma"));
        bool stayedOpen = false;
        CDialogTestKit::onNextModal<CFolderNmChg>([&](CFolderNmChg* nm) {
            QCOMPARE(nm->windowTitle(), QStringLiteral("フォルダ名称変更"));
            QCOMPARE(nm->nameField()->text(), QStringLiteral("gamma"));
            QCOMPARE(nm->nameField()->maxLength(), 256);
            CDialogTestKit::render(*nm, "foldernmchg");
            nm->nameField()->setText("beta");
            nm->pressOk();
            stayedOpen = nm->isVisible();
            nm->nameField()->setText("delta");
            nm->pressOk();
        });
        dlg.renameButton()->click();
        QVERIFY(stayedOpen);
        QCOMPARE(ui.messageTexts().last(), QStringLiteral("フォルダ名が重複しています。"));
        QVERIFY(QFileInfo::exists(root + "delta"));
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(list->item(1, 0)->text(), QStringLiteral("delta"));
        QVERIFY(!dlg.renameButton()->isEnabled());

        // Logging out greys "ダウンロード" at the next tick of the timer.
        list->selectRow(0);
        QVERIFY(dlg.downloadButton()->isEnabled());
        doc.loggedIn = 0;
        QTRY_VERIFY_WITH_TIMEOUT(!dlg.downloadButton()->isEnabled(), 3000);

        // After an added folder, closing the window still ends with OK so that the folder is taken.
        CDialogTestKit::mk(root + "new");
        ui.folderChoice = root + "new";
        dlg.addButton()->click();
        QCOMPARE(list->rowCount(), 3);
        dlg.close();
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(doc.downloadFolderText, root + "new");
    }

    void aRunningFolderDownloadHoldsItsDialog() {
        QTemporaryDir dir;
        CDialogTestKit::mk(dir.path() + "/office");
        CScriptedUi ui;
        CKELDADoc doc;
        doc.folder = dir.path() + "/";
        doc.loggedIn = 1;
        CFolderDwnDlg* running = nullptr;
        int runs = 0;
        bool heldWhileRunning = false;
        bool stayedOpen = false;
        CFolderDwnLogic logic(ui, doc, [&](QString& root, QString& rusuroku, QString& naisen) {
            ++runs;
            heldWhileRunning = !running->downloadButton()->isEnabled() && !running->addButton()->isEnabled() &&
                               !running->list()->isEnabled();
            // The close box, and a second press of "ダウンロード", arrive from events dispatched during the run.
            running->close();
            running->downloadButton()->click();
            stayedOpen = running->isVisible();
            root = "rusuroku\r\nnaisen\r\n";
            rusuroku = "0001\r\n";
            naisen.clear();
            return 1;
        });
        CFolderDwnDlg dlg(logic, "/opt/kelda/", nullptr);
        running = &dlg;
        dlg.setUserInterface(&ui);
        dlg.show();
        dlg.list()->selectRow(0);
        ui.replies = {MsgResult::Yes};
        dlg.downloadButton()->click();
        QCOMPARE(runs, 1);
        QVERIFY(heldWhileRunning);
        QVERIFY(stayedOpen);
        QCOMPARE(ui.messageTexts().last(), QStringLiteral("フォルダのダウンロードが正常に完了しました。"));
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(QFileInfo(dir.path() + "/office/rusuroku/0001").isDir());
    }

    void folderListCancelWithoutChange() {
        QTemporaryDir dir;
        CScriptedUi ui;
        CKELDADoc doc;
        doc.folder = dir.path() + "/";
        CFolderDwnLogic logic(ui, doc, {});
        CFolderDwnDlg dlg(logic, "/opt/kelda/", nullptr);
        QCOMPARE(dlg.list()->rowCount(), 0);
        dlg.show();
        CDialogTestKit::button(dlg, QStringLiteral("キャンセル"))->click();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
    }

    void folderChangeDialog() {
        QTemporaryDir dir;
        const QString root = dir.path() + "/";
        CDialogTestKit::mk(root + "f1/rusuroku/0001");
        CDialogTestKit::mk(root + "plain");
        CScriptedUi ui;
        CKELDADoc doc;
        doc.folder = root;
        CFolderChgLogic logic(doc);
        CFolderChgDlg dlg(logic, ui, nullptr);
        QCOMPARE(dlg.list()->rowCount(), 1);
        QVERIFY(!dlg.changeButton()->isEnabled() && !dlg.renameButton()->isEnabled());
        dlg.list()->selectRow(0);
        QVERIFY(dlg.changeButton()->isEnabled() && dlg.renameButton()->isEnabled());
        dlg.show();
        CDialogTestKit::render(dlg, "folderchg");
        dlg.changeButton()->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(doc.folderName, QStringLiteral("f1"));
    }

    void startupFolderDialog() {
        QTemporaryDir dir;
        const QString root = dir.path() + "/";
        CDialogTestKit::mk(root + "one");
        CDialogTestKit::mk(root + "two");
        CScriptedUi ui;
        CKELDADoc doc;
        doc.folder = root;
        CFolderSetLogic logic(ui, doc);
        CFolderSetDlg dlg(logic, root, nullptr);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("起動時のフォルダ指定"));
        QVERIFY(dlg.previousOption()->isChecked());
        QVERIFY(!dlg.chooseButton()->isEnabled() && !dlg.folderField()->isEnabled());
        dlg.specifiedOption()->click();
        QVERIFY(dlg.chooseButton()->isEnabled() && dlg.folderField()->isEnabled());

        // An empty field is refused and the dialog stays.
        dlg.show();
        dlg.pressOk();
        QCOMPARE(ui.messageTexts(), QStringList{"入力値エラーです。"});
        QVERIFY(dlg.isVisible());

        // OK without a row leaves the field; OK on a row takes its full path.
        CDialogTestKit::onNextModal<CFolderSetSubDlg>([](CFolderSetSubDlg* sub) { sub->pressOk(); });
        dlg.chooseButton()->click();
        QVERIFY(dlg.folderField()->text().isEmpty());
        QString chosen;
        CDialogTestKit::onNextModal<CFolderSetSubDlg>([&](CFolderSetSubDlg* sub) {
            QCOMPARE(sub->list()->rowCount(), 2);
            sub->list()->selectRow(1);
            chosen = sub->list()->item(1, 1)->text();
            CDialogTestKit::render(*sub, "foldersetsub");
            sub->pressOk();
        });
        dlg.chooseButton()->click();
        QVERIFY(chosen.startsWith(root));
        QCOMPARE(dlg.folderField()->text(), chosen);
        // With the folder chosen, Return goes to OK rather than to 設定, which would ask again.
        auto* focused = qobject_cast<QPushButton*>(dlg.focusWidget());
        QVERIFY(focused && focused->text() == QStringLiteral("OK"));
        CDialogTestKit::render(dlg, "folderset");
        dlg.pressOk();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(doc.init, 1);
        QCOMPARE(doc.nextFolder + doc.nextFolderName, chosen);
    }
};

QTEST_MAIN(TestAdminDialogs)
#include "tst_admindialogs.moc"
