// The folder, box-selection and WAV deletion dialogs: the widgets show their logic's state and forward clicks.
#include "admin/CFolderChgLogic.h"
#include "admin/CFolderDwnLogic.h"
#include "admin/CFolderSetLogic.h"
#include "operations/CDownKindSetLogic.h"
#include "operations/CSelDownLogic.h"
#include "operations/CUnitBoxOps.h"
#include "shell/CKELDADoc.h"
#include "support/CFakeUnit.h"
#include "support/CScriptedUi.h"
#include "ui/admin/CFolderChgDlg.h"
#include "ui/admin/CFolderDwnDlg.h"
#include "ui/admin/CFolderListCtrl.h"
#include "ui/admin/CFolderNmChg.h"
#include "ui/admin/CFolderSetDlg.h"
#include "ui/admin/CFolderSetSubDlg.h"
#include "ui/operations/CBoxTickList.h"
#include "ui/operations/CDownKindSetDlg.h"
#include "ui/operations/CSelDownDlg.h"
#include "ui/voice/CWavFileDelWnd.h"
#include "voice/CWavFileDelDlg.h"

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

namespace {
using FakeUnit = CFakeUnit;

void mk(const QString& p) {
    QDir().mkpath(p);
}

// Drives the modal dialog the next exec() opens, then lets exec() return.
template <class D> void onNextModal(std::function<void(D*)> act) {
    QTimer::singleShot(0, [act] {
        auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
        QVERIFY(d);
        act(d);
        if (d->isVisible()) {
            d->reject();
        }
    });
}

void render(QWidget& w, const QString& name) {
    w.adjustSize();
    w.grab().save(QDir::temp().filePath("kelda-" + name + ".png"));
}

QPushButton* button(QWidget& w, const QString& text, int nth = 0) {
    for (QPushButton* b : w.findChildren<QPushButton*>()) {
        if (b->text() == text && nth-- == 0) {
            return b;
        }
    }
    return nullptr;
}
} // namespace

class TestAdminDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void folderListDialog() {
        QTemporaryDir dir;
        const QString root = dir.path() + "/";
        mk(root + "beta/rusuroku/0001");
        mk(root + "Alpha");
        mk(root + "gamma");
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
        render(dlg, "folderdwn");

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
        onNextModal<CFolderNmChg>([&](CFolderNmChg* nm) {
            QCOMPARE(nm->windowTitle(), QStringLiteral("フォルダ名称変更"));
            QCOMPARE(nm->nameField()->text(), QStringLiteral("gamma"));
            QCOMPARE(nm->nameField()->maxLength(), 256);
            render(*nm, "foldernmchg");
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
        mk(root + "new");
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
        mk(dir.path() + "/office");
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
        button(dlg, QStringLiteral("キャンセル"))->click();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
    }

    void folderChangeDialog() {
        QTemporaryDir dir;
        const QString root = dir.path() + "/";
        mk(root + "f1/rusuroku/0001");
        mk(root + "plain");
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
        render(dlg, "folderchg");
        dlg.changeButton()->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(doc.folderName, QStringLiteral("f1"));
    }

    void startupFolderDialog() {
        QTemporaryDir dir;
        const QString root = dir.path() + "/";
        mk(root + "one");
        mk(root + "two");
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
        onNextModal<CFolderSetSubDlg>([](CFolderSetSubDlg* sub) { sub->pressOk(); });
        dlg.chooseButton()->click();
        QVERIFY(dlg.folderField()->text().isEmpty());
        QString chosen;
        onNextModal<CFolderSetSubDlg>([&](CFolderSetSubDlg* sub) {
            QCOMPARE(sub->list()->rowCount(), 2);
            sub->list()->selectRow(1);
            chosen = sub->list()->item(1, 1)->text();
            render(*sub, "foldersetsub");
            sub->pressOk();
        });
        dlg.chooseButton()->click();
        QVERIFY(chosen.startsWith(root));
        QCOMPARE(dlg.folderField()->text(), chosen);
        render(dlg, "folderset");
        dlg.pressOk();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(doc.init, 1);
        QCOMPARE(doc.nextFolder + doc.nextFolderName, chosen);
    }

    void boxSelectionDialog() {
        QTemporaryDir dir;
        CScriptedUi ui;
        CKELDADoc doc;
        doc.folder = dir.path() + "/";
        doc.folderName = "f1";
        doc.loggedIn = 1;
        FakeUnit unit;
        mk(dir.path() + "/f1/rusuroku");
        {
            // No box folder at all: the dialog never shows.
            CSelDownLogic empty(ui, doc, unit);
            CSelDownDlg dlg(empty, nullptr);
            QCOMPARE(dlg.run(), int(QDialog::Rejected));
            QVERIFY(!dlg.isVisible());
            QCOMPARE(ui.messages.size(), 1);
        }
        mk(dir.path() + "/f1/rusuroku/0001");
        mk(dir.path() + "/f1/naisen/0200");
        mk(dir.path() + "/f1/naisen/0201");
        ui.messages.clear();
        CSelDownLogic logic(ui, doc, unit);
        CSelDownDlg dlg(logic, nullptr);
        QVERIFY(dlg.prepare());
        QCOMPARE(dlg.answeringList()->rowCount(), 1);
        QCOMPARE(dlg.extensionList()->rowCount(), 2);
        QCOMPARE(dlg.extensionList()->horizontalHeaderItem(1)->text(), QStringLiteral("     BOX番号     "));
        dlg.show();

        // Confirmed, but nothing ticked: refused, the dialog stays.
        ui.replies = {MsgResult::Yes};
        dlg.voiceButton()->click();
        QCOMPARE(ui.messageTexts().last(), QStringLiteral("選択されていません。"));
        QVERIFY(dlg.isVisible());
        QVERIFY(unit.calls.isEmpty());

        // "全選択" of the second list ticks both extension boxes; "全未選択" clears them again.
        button(dlg, QStringLiteral("全選択"), 1)->click();
        QVERIFY(dlg.extensionList()->isTicked(0) && dlg.extensionList()->isTicked(1));
        QVERIFY(!dlg.answeringList()->isTicked(0));
        button(dlg, QStringLiteral("全未選択"), 1)->click();
        QVERIFY(!dlg.extensionList()->isTicked(0));
        dlg.answeringList()->clickTick(0);
        QVERIFY(logic.answering()[0].ticked);
        render(dlg, "seldown");

        ui.replies = {MsgResult::Yes};
        dlg.infoButton()->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(unit.calls, QStringList({"count /rusuroku/0001 1", "info /rusuroku/0001"}));
    }

    void downloadKindDialog() {
        QTemporaryDir dir;
        mk(dir.path() + "/f1/rusuroku/0001");
        CScriptedUi ui;
        CKELDADoc doc;
        doc.folder = dir.path() + "/";
        doc.folderName = "f1";
        doc.loggedIn = 1;
        FakeUnit unit;
        CDownKindSetLogic logic(ui, doc, unit);
        CDownKindSetDlg dlg(logic, nullptr);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("ダウンロード種別"));
        dlg.show();
        render(dlg, "downkind");
        ui.replies = {MsgResult::No};
        dlg.voiceButton()->click();
        QVERIFY(dlg.isVisible());
        QVERIFY(unit.calls.isEmpty());
        doc.loggedIn = 0;
        QTRY_VERIFY_WITH_TIMEOUT(!dlg.voiceButton()->isEnabled() && !dlg.infoButton()->isEnabled(), 3000);
    }

    void wavDeletionDialog() {
        QTemporaryDir dir;
        const QString folder = dir.path() + "/f1";
        mk(folder + "/rusuroku/0001");
        mk(folder + "/naisen/0200");
        mk(folder + "/naisen/0300");
        for (const QString& f : {folder + "/rusuroku/0001/a.wav", folder + "/naisen/0200/b.wav"}) {
            QFile file(f);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        CScriptedUi ui;
        CWavFileDelDlg logic(ui, folder);
        CWavFileDelWnd dlg(logic, nullptr);
        QVERIFY(dlg.prepare());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("ＷＡＶファイル消去"));
        QCOMPARE(dlg.naisenList()->rowCount(), 1); // only the box holding a WAV file
        dlg.show();
        dlg.naisenList()->clickTick(0);
        render(dlg, "wavfiledel");
        ui.replies = {MsgResult::No};
        button(dlg, QStringLiteral("消去"))->click();
        QVERIFY(dlg.isVisible());
        ui.replies = {MsgResult::Yes};
        button(dlg, QStringLiteral("消去"))->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!QFileInfo::exists(folder + "/naisen/0200/b.wav"));
        QVERIFY(QFileInfo::exists(folder + "/rusuroku/0001/a.wav"));

        // Nothing left to delete in that box list: the window does not open.
        QFile::remove(folder + "/rusuroku/0001/a.wav");
        CWavFileDelDlg none(ui, folder);
        CWavFileDelWnd empty(none, nullptr);
        QCOMPARE(empty.run(), int(QDialog::Rejected));
        QCOMPARE(ui.messageTexts().last(), QStringLiteral("フォルダにＷＡＶファイルがありません。"));
    }
};

QTEST_MAIN(TestAdminDialogs)
#include "tst_admindialogs.moc"
