// The box, export and import dialogs offscreen: the widgets show their logic's state and forward clicks; the
// main frame's commands show the completion messages.
#include "admin/CAdminTexts.h"
#include "admin/CBoxFldNameChgLogic.h"
#include "admin/CBoxNameChgLogic.h"
#include "admin/CCsvExport.h"
#include "admin/CEditListState.h"
#include "admin/CExportSetLogic.h"
#include "admin/CImportSetLogic.h"
#include "admin/CMakeBoxFldLogic.h"
#include "list/CBoxOpenLogic.h"
#include "list/CListModel.h"
#include "operations/CFolderCheckLogic.h"
#include "platform/CCp932.h"
#include "shell/CKELDADoc.h"
#include "store/CFileMng.h"
#include "store/CPrivateProfile.h"
#include "support/CSampleFolder.h"
#include "support/CScriptedUi.h"
#include "ui/CDialogTestKit.h"
#include "ui/admin/CBoxFldNameChgDlg.h"
#include "ui/admin/CBoxNameChgDlg.h"
#include "ui/admin/CEditListCtrl.h"
#include "ui/admin/CExportSetDlg.h"
#include "ui/admin/CFolderCheckWnd.h"
#include "ui/admin/CImportSetDlg.h"
#include "ui/admin/CMakeBoxFldDlg.h"
#include "ui/list/CChildFrame.h"
#include "ui/list/CListCommands.h"
#include "ui/list/CListDispView.h"
#include "ui/shell/CMainFrame.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>

namespace {

using C = CMainFrameLogic;

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QLineEdit* openEditor(CEditListCtrl* list) {
    for (QLineEdit* e : list->viewport()->findChildren<QLineEdit*>()) {
        if (e->isVisible()) {
            return e;
        }
    }
    return nullptr;
}

} // namespace

class TestBoxDialogs : public QObject {
    Q_OBJECT

    QTemporaryDir* tmp = nullptr;
    QString dl;
    CKELDADoc doc;

private Q_SLOTS:
    void init() {
        tmp = new QTemporaryDir;
        doc = CKELDADoc();
        doc.folder = tmp->path() + "/";
        doc.folderName = "office";
        dl = tmp->filePath("office");
    }
    void cleanup() { delete tmp; }

    // The name list: hidden first column, widths, 18-pixel rows; a click on a name edits it in place with the
    // limit; the edit's end writes the cell and deselects the row; OK writes after the confirmation.
    void boxNameEditor() {
        CDialogTestKit::mk(dl + "/rusuroku/0001");
        CDialogTestKit::mk(dl + "/naisen/201");
        CFileMng::SetBoxName(dl + "/naisen/201", "old");
        CScriptedUi ui;
        CBoxNameChgLogic logic(ui, doc);
        QCOMPARE(logic.open(), CBoxNameChgLogic::Open::Ready);
        CBoxNameChgDlg dlg(logic, nullptr);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("BOX名称編集"));
        QCOMPARE(dlg.folderField()->text(), dl);
        QVERIFY(dlg.folderField()->isReadOnly());
        CEditListCtrl* naisen = dlg.list(false);
        QCOMPARE(naisen->columnWidth(0), 0);
        QCOMPARE(naisen->columnWidth(1), 70);
        QCOMPARE(naisen->columnWidth(2), 110);
        QCOMPARE(naisen->horizontalHeaderItem(1)->text(), QStringLiteral("BOX番号"));
        QCOMPARE(naisen->horizontalHeaderItem(2)->text(), QStringLiteral("  BOX名称  "));
        QCOMPARE(naisen->rowHeight(0), 18);
        QCOMPARE(naisen->item(0, 1)->text(), QStringLiteral("201"));
        QCOMPARE(naisen->item(0, 2)->text(), QStringLiteral("old"));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        CDialogTestKit::render(dlg, "boxnamechg");

        naisen->selectRow(0);
        naisen->clickCell(0, 2);
        QLineEdit* editor = openEditor(naisen);
        QVERIFY(editor);
        QVERIFY(editor->validator());
        QCOMPARE(editor->text(), QStringLiteral("old"));
        editor->setText(QStringLiteral("営業部"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(logic.list(false).text(0, 2), QStringLiteral("営業部"));
        QCOMPARE(naisen->item(0, 2)->text(), QStringLiteral("営業部"));
        QVERIFY(naisen->selectionModel()->selectedRows().isEmpty());

        // "いいえ" to the question goes back to the names as typed.
        ui.replies = {MsgResult::No};
        dlg.pressOk();
        QVERIFY(dlg.isVisible());
        QCOMPARE(naisen->item(0, 2)->text(), QStringLiteral("営業部"));
        QCOMPARE(CFileMng::GetBoxName(dl + "/naisen/201"), QStringLiteral("old"));
        ui.replies = {MsgResult::Yes};
        dlg.pressOk();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(CFileMng::GetBoxName(dl + "/naisen/201"), QStringLiteral("営業部"));
        QCOMPARE(CFileMng::GetBoxName(dl + "/rusuroku/0001"), QString());
    }

    // From the keyboard: F2 edits the current row's name, Return ends the edit and leaves the dialog open, the
    // next Return presses OK.
    void boxNamesByKeyboard() {
        CDialogTestKit::mk(dl + "/naisen/201");
        CScriptedUi ui;
        CBoxNameChgLogic logic(ui, doc);
        QCOMPARE(logic.open(), CBoxNameChgLogic::Open::Ready);
        CBoxNameChgDlg dlg(logic, nullptr);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        CEditListCtrl* naisen = dlg.list(false);
        naisen->setFocus(Qt::TabFocusReason);
        naisen->setCurrentCell(0, 2);
        QTest::keyClick(naisen, Qt::Key_F2);
        QLineEdit* editor = openEditor(naisen);
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, "sales");
        QTest::keyClick(editor, Qt::Key_Return);
        QVERIFY(dlg.isVisible());
        QCOMPARE(logic.list(false).text(0, 2), QStringLiteral("sales"));
        ui.replies = {MsgResult::Yes};
        QTest::keyClick(naisen, Qt::Key_Return);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(CFileMng::GetBoxName(dl + "/naisen/201"), QStringLiteral("sales"));
    }

    // The name cell takes what the box name rule takes, counted in CP932 bytes, keystroke by keystroke (as an
    // input method commits them), so "入力値エラーです。" cannot come from typing; a longer name that came in by the
    // import is shown whole and can only be shortened. A keystroke not taken is told beside the cell, with why.
    void boxNameCellTakesWhatTheRuleTakes_data() {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<int>("backspaces");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("told");
        const QString tooLong = QStringLiteral("BOX名称は10バイト（全角5文字）までです（11バイト）。");
        QTest::newRow("ASCII up to ten") << "old" << 0 << "1234567890"
                                         << "old1234567" << tooLong;
        QTest::newRow("double-byte up to ten bytes")
            << "" << 0 << QStringLiteral("営業部第一A") << QStringLiteral("営業部第一") << tooLong;
        QTest::newRow("half-width kana count one")
            << "" << 0 << QStringLiteral("ｴｲｷﾞｮｳﾌﾞﾀﾞｲ") << QStringLiteral("ｴｲｷﾞｮｳﾌﾞﾀﾞ") << tooLong;
        QTest::newRow("comma") << "" << 0 << "a,b"
                               << "ab" << QStringLiteral("BOX名称に「,」は使えません。");
        QTest::newRow("emoji and e acute") << "" << 0 << QString::fromUtf8("x😀\u00e9y") << "xy"
                                           << QStringLiteral("「é」はBOX名称に使えない文字です。");
        QTest::newRow("imported name shortened") << "ABCDEFGHIJKLM" << 1 << ""
                                                 << "ABCDEFGHIJKL" << QString();
        QTest::newRow("imported name never longer") << "ABCDEFGHIJKLM" << 1 << "XY"
                                                    << "ABCDEFGHIJKLX" << QStringLiteral("（14バイト）");
        QTest::newRow("imported name down to the rule") << "ABCDEFGHIJKLM" << 4 << "Z"
                                                        << "ABCDEFGHIZ" << QString();
    }
    void boxNameCellTakesWhatTheRuleTakes() {
        QFETCH(QString, preset);
        QFETCH(int, backspaces);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, told);
        QToolTip::hideText();
        CDialogTestKit::mk(dl + "/naisen/201");
        QVERIFY(CPrivateProfile::writeString(dl + "/naisen/201/inf.ini", "INF", "NAME", preset));
        CScriptedUi ui;
        CBoxNameChgLogic logic(ui, doc);
        QCOMPARE(logic.open(), CBoxNameChgLogic::Open::Ready);
        CBoxNameChgDlg dlg(logic, nullptr);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        CEditListCtrl* naisen = dlg.list(false);
        naisen->clickCell(0, 2);
        QLineEdit* editor = openEditor(naisen);
        QVERIFY(editor);
        QCOMPARE(editor->text(), preset);
        editor->end(false);
        for (int k = 0; k < backspaces; ++k) {
            QTest::keyClick(editor, Qt::Key_Backspace);
        }
        // One character at a time, a pair of surrogates being one.
        for (qsizetype k = 0; k < typed.size(); ++k) {
            const qsizetype n = typed[k].isHighSurrogate() ? 2 : 1;
            editor->insert(typed.mid(k, n));
            k += n - 1;
        }
        QCOMPARE(editor->text(), shown);
        if (told.isEmpty()) {
            QVERIFY2(QToolTip::text().isEmpty(), qPrintable(QToolTip::text()));
        } else {
            QTRY_VERIFY2(QToolTip::text().contains(told), qPrintable(QToolTip::text()));
        }
    }

    // The rename list: "選択" cells are check boxes; an unticked row cannot be edited.
    void renameList() {
        CDialogTestKit::mk(dl + "/rusuroku");
        CDialogTestKit::mk(dl + "/naisen");
        CScriptedUi ui;
        CMakeBoxFldLogic make(ui, doc);
        QVERIFY(make.ok(true, "mine"));
        CBoxFldNameChgLogic logic(ui, doc);
        QCOMPARE(logic.open(), CBoxFldNameChgLogic::Open::Ready);
        CBoxFldNameChgDlg dlg(logic, nullptr);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("ボックスフォルダ名称変更"));
        CEditListCtrl* am = dlg.list(true);
        QCOMPARE(am->horizontalHeaderItem(1)->text(), QStringLiteral("選択"));
        QCOMPARE(am->horizontalHeaderItem(2)->text(), QStringLiteral("   BOXフォルダ名   "));
        QCOMPARE(am->item(0, 1)->data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QVERIFY(am->item(0, 1)->text().isEmpty());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        am->clickCell(0, 2);
        QVERIFY(!openEditor(am));
        am->clickCell(0, 1);
        QCOMPARE(am->item(0, 1)->data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        am->clickCell(0, 2);
        QLineEdit* editor = openEditor(am);
        QVERIFY(editor);
        QCOMPARE(editor->maxLength(), 14);
        editor->setText("renamed");
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(logic.list(true).text(0, 2), QStringLiteral("renamed"));
        CDialogTestKit::render(dlg, "boxfldnamechg");
        ui.replies = {MsgResult::Yes};
        dlg.pressOk();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(QFileInfo(dl + "/rusuroku/renamed").isDir());
    }

    void makeBoxFolderDialog() {
        CDialogTestKit::mk(dl + "/rusuroku");
        CDialogTestKit::mk(dl + "/naisen");
        CScriptedUi ui;
        doc.boxKind = 0;
        CMakeBoxFldLogic logic(ui, doc);
        CMakeBoxFldDlg dlg(logic, nullptr);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("ボックスフォルダ作成"));
        QVERIFY(dlg.extensionOption()->isChecked() && !dlg.answeringMachineOption()->isChecked());
        QCOMPARE(dlg.nameField()->maxLength(), 14);
        CDialogTestKit::render(dlg, "makeboxfld");
        dlg.nameField()->setText("12:34");
        dlg.pressOk();
        QCOMPARE(ui.lastMessage()->text, CAdminTexts::InputError());
        QVERIFY(dlg.result() != int(QDialog::Accepted));
        dlg.answeringMachineOption()->setChecked(true);
        dlg.nameField()->setText("1234");
        dlg.pressOk();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(doc.boxKind, 1);
        QCOMPARE(CFileMng::GetMake(dl + "/rusuroku/1234"), CFileMng::Make::ByUser);
    }

    void exportDialog() {
        CSampleFolder::makeDownloadFolder(tmp->path(), "office", {"01"}, {}, 3);
        doc.num = 1;
        doc.slotFolderName[0] = "office";
        doc.slotDisp[0] = "留守録BOX：01";
        doc.resetColumns();
        CScriptedUi ui;
        CListModel model(doc, 1, ui);
        model.rebuildColumns();
        model.load(CListModel::Load::Fresh);
        CExportSetLogic logic(ui, doc, &model);
        CExportSetDlg dlg(logic, nullptr);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("エクスポート設定"));
        QCOMPARE(dlg.textLine()->text(), QStringLiteral("一覧表をCSVファイルとしてエクスポートします。"));
        QVERIFY(!dlg.okButton()->isEnabled());
        QVERIFY(!dlg.progressBar()->isVisibleTo(&dlg));
        QTest::keyClicks(dlg.folderField(), tmp->path());
        QVERIFY(!dlg.okButton()->isEnabled());
        QTest::keyClicks(dlg.fileField(), "x");
        QVERIFY(dlg.okButton()->isEnabled());
        QTest::keyClick(dlg.fileField(), Qt::Key_Backspace);
        QVERIFY(!dlg.okButton()->isEnabled());

        ui.saveFileChoice = tmp->filePath("list.csv");
        CDialogTestKit::button(dlg, "設定")->click();
        QCOMPARE(dlg.folderField()->text(), tmp->path());
        QCOMPARE(dlg.fileField()->text(), QStringLiteral("list.csv"));
        QVERIFY(dlg.okButton()->isEnabled());
        CDialogTestKit::render(dlg, "exportset");
        dlg.pressOk();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(readBytes(tmp->filePath("list.csv")), CCsvExport::ExportBytes(model));
        QCOMPARE(doc.exportName, QStringLiteral("list.csv"));
    }

    void importDialog() {
        CDialogTestKit::mk(dl + "/naisen/201");
        CScriptedUi ui;
        CImportSetLogic logic(ui, doc);
        CImportSetDlg dlg(logic, nullptr);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("インポート設定"));
        QCOMPARE(dlg.textLine()->text(), QStringLiteral("内線ボックス名称をインポートします。"));
        QVERIFY(!dlg.okButton()->isEnabled());
        CDialogTestKit::render(dlg, "importset");
        dlg.show();
        // Cancelling the file chooser ends the dialog.
        ui.openFileChoice.clear();
        CDialogTestKit::button(dlg, "設定")->click();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(!dlg.isVisible());
    }

    // "キャンセル" of the check's progress window stops it: what was found so far is kept, and the run says it
    // was not whole.
    void folderCheckCancelled() {
        const QString root = tmp->filePath("root");
        const QString dl = CSampleFolder::makeDownloadFolder(root, "dl", {"01", "02"}, {"100"}, 2);
        QFile(dl + "/rusuroku/01/notes.txt").open(QIODevice::WriteOnly);
        CScriptedUi ui;
        CFolderCheckLogic logic(ui, dl, nullptr);
        QVERIFY(logic.run());
        QCOMPARE(logic.findings().size(), size_t(1));
        ui.onDispatch = [&ui](int) { ui.pressCancel(CFolderCheckLogic::ProgressTitle()); };
        QVERIFY(!logic.run());
        QVERIFY(logic.findings().size() <= 1);
        QVERIFY(!ui.hasOpenProgress(CFolderCheckLogic::ProgressTitle()));
    }

    // Through the main frame: the commands are built, run their dialogs and end with the completion messages.
    void commandsThroughTheFrame() {
        const QString root = tmp->filePath("root");
        CSampleFolder::makeDownloadFolder(root, "dl", {"01"}, {"100"}, 2);
        const QString ini = tmp->filePath("kelda.ini");
        CPrivateProfile::writeString(ini, "FOLDER", "FOLDER", root + '/');
        CPrivateProfile::writeString(ini, "DISP", "FOLDERNAME", "dl");
        CScriptedUi ui;
        CMainFrame frame(ui, ini);
        frame.startUp();
        for (C::Command cmd : {C::CmdBoxName, C::CmdMakeBoxFolder, C::CmdRenameBoxFolder, C::CmdExport, C::CmdImport}) {
            QVERIFY2(frame.commands().isRegistered(cmd), qPrintable(C::label(cmd)));
        }

        CDialogTestKit::onNextModal<CMakeBoxFldDlg>([](CMakeBoxFldDlg* d) {
            d->answeringMachineOption()->setChecked(true);
            d->nameField()->setText("made");
            d->pressOk();
        });
        frame.runCommand(C::CmdMakeBoxFolder);
        QCOMPARE(ui.lastMessage()->text, CAdminTexts::MakeDone());
        QCOMPARE(ui.lastMessage()->caption, QStringLiteral("作成完了"));
        QCOMPARE(ui.lastMessage()->icon, MsgIcon::Information);

        // A rename that fails is reported, not completed.
        CDialogTestKit::onNextModal<CBoxFldNameChgDlg>([&](CBoxFldNameChgDlg* d) {
            d->list(true)->clickCell(0, 1);
            d->list(true)->endEdit(0, "other");
            QDir(root + "/dl/rusuroku/made").removeRecursively();
            d->pressOk();
        });
        frame.runCommand(C::CmdRenameBoxFolder);
        QCOMPARE(ui.lastMessage()->text, CAdminTexts::RenameFailed({QStringLiteral("留守録BOX：made → other")}));
        QVERIFY(!ui.messageTexts().contains(CAdminTexts::RenameDone()));

        // A list window, then the box name editor: the list shows the new name after the completion.
        frame.listCommands().boxChooser = [](CBoxOpenLogic& logic) {
            logic.checkHasBoxes();
            CBoxOpenLogic::toggle(logic.rusuroku(), 0);
            return logic.accept();
        };
        frame.runCommand(C::CmdBox);
        CChildFrame* list = frame.activeList();
        QVERIFY(list);
        CDialogTestKit::onNextModal<CBoxNameChgDlg>([](CBoxNameChgDlg* d) {
            d->list(true)->endEdit(0, "Front");
            d->pressOk();
        });
        frame.runCommand(C::CmdBoxName);
        QCOMPARE(ui.lastMessage()->text, CAdminTexts::BoxNameDone());
        QCOMPARE(ui.lastMessage()->caption, QStringLiteral("登録完了"));
        const CListModel& model = list->view()->model();
        const int col = model.findColumn(CListModel::ColBoxName);
        if (col >= 0 && model.rowCount() > 0) {
            QCOMPARE(model.cellText(0, col), QStringLiteral("Front"));
        }

        CDialogTestKit::onNextModal<CExportSetDlg>([&](CExportSetDlg* d) {
            QTest::keyClicks(d->folderField(), tmp->path());
            QTest::keyClicks(d->fileField(), "out.csv");
            d->pressOk();
        });
        frame.runCommand(C::CmdExport);
        QCOMPARE(ui.lastMessage()->text, CAdminTexts::ExportDone());
        QCOMPARE(ui.lastMessage()->caption, QStringLiteral("エクスポート完了"));
        QCOMPARE(readBytes(tmp->filePath("out.csv")), CCsvExport::ExportBytes(model));

        const QString csv = tmp->filePath("book.csv");
        QFile f(csv);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("h1\nh2\n1,100,Sales,\n");
        f.close();
        ui.openFileChoice = csv;
        CDialogTestKit::onNextModal<CImportSetDlg>([](CImportSetDlg* d) {
            CDialogTestKit::button(*d, "設定")->click();
            d->pressOk();
        });
        frame.runCommand(C::CmdImport);
        // The completion message says what was taken.
        QCOMPARE(ui.lastMessage()->text, CAdminTexts::ImportDone() + QStringLiteral("\n\n取り込んだ行：1"));
        QCOMPARE(ui.lastMessage()->caption, QStringLiteral("インポート完了"));
        QCOMPARE(CFileMng::GetBoxName(root + "/dl/naisen/100"), QStringLiteral("Sales"));
        QCOMPARE(CFileMng::GetBoxName(root + "/dl/rusuroku/01"), QStringLiteral("Front"));

        // The folder check: its findings in a window of their own, the chosen one mended, all of them exported.
        const QString leftover = root + "/dl/rusuroku/01/.kelda-receiving.ini";
        QFile(leftover).open(QIODevice::WriteOnly);
        QFile(root + "/dl/naisen/100/notes.txt").open(QIODevice::WriteOnly);
        ui.saveFileChoice = tmp->filePath("findings.csv");
        QByteArray exported;
        CDialogTestKit::onNextModal<CFolderCheckWnd>([&](CFolderCheckWnd* w) {
            QCOMPARE(w->table()->rowCount(), 2);
            const int row = w->table()->item(0, 1)->text() == leftover ? 0 : 1;
            QCOMPARE(w->table()->item(row, 1)->text(), leftover);
            w->table()->selectRow(row);
            w->pressRepair();
            QVERIFY(!QFile::exists(leftover));
            QCOMPARE(w->table()->rowCount(), 1);
            QCOMPARE(w->table()->item(0, 1)->text(), root + "/dl/naisen/100/notes.txt");
            w->pressExport();
            exported = readBytes(tmp->filePath("findings.csv"));
            w->accept();
        });
        QVERIFY(frame.commands().isRegistered(C::CmdCheckFolder));
        frame.runCommand(C::CmdCheckFolder);
        QCOMPARE(ui.lastMessage()->caption, QStringLiteral("エクスポート完了"));
        QVERIFY(ui.messageTexts().contains(QStringLiteral("1件を修復しました。")));
        QVERIFY(exported.startsWith("kind,path,problem,advice\nstray,\"" + QFile::encodeName(root) +
                                    "/dl/naisen/100/notes.txt\","));
        QCOMPARE(exported.count('\n'), 2);

        ui.replies.push_back(MsgResult::Yes);
        QVERIFY(frame.close());
    }
};

QTEST_MAIN(TestBoxDialogs)
#include "tst_boxdialogs.moc"
