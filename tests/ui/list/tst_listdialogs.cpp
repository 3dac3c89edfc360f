// The list windows' dialogs and commands with real widgets (offscreen): the criteria dialog, the column dialog,
// the information editor, header clicks with their arrow, and the main frame's display commands.
#include "list/CBoxOpenLogic.h"
#include "list/CFindSetLogic.h"
#include "list/CInfoEditLogic.h"
#include "list/CListDispSelectLogic.h"
#include "store/CFileMng.h"
#include "store/CPrivateProfile.h"
#include "support/CSampleFolder.h"
#include "support/CScriptedUi.h"
#include "support/CTestFiles.h"
#include "voice/CVoiceOutput.h"

#include "CSampleUnit.h"
#include "ui/list/CBoxOpenDlg.h"
#include "ui/list/CCheckListCtrl.h"
#include "ui/list/CChildFrame.h"
#include "ui/list/CDataListCtrl.h"
#include "ui/list/CFindSetDlg.h"
#include "ui/list/CInfoEditDlg.h"
#include "ui/list/CListCommands.h"
#include "ui/list/CListDispSelectDlg.h"
#include "ui/list/CListDispView.h"
#include "ui/list/CListHeaderView.h"
#include "ui/list/CPlayerBar.h"
#include "ui/shell/CCommandBar.h"
#include "ui/shell/CMainFrame.h"
#include "voice/CVoiceMeasureCache.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

namespace {
using C = CMainFrameLogic;

// A sound device that takes 50 ms per step and hears it at once.
class TestOutput : public CVoiceOutput {
public:
    explicit TestOutput(bool device = true) : hasDevice(device) {}
    bool start() override { return hasDevice; }
    qint64 room() const override { return paused ? 0 : 400; }
    void write(const int16_t*, qint64 n) override { heard += n; }
    qint64 pending() const override { return 0; }
    void discard() override {}
    void setPaused(bool p) override { paused = p; }
    void stop() override {}
    void setVolume(double) override {}
    qint64 heard = 0;
    bool paused = false;
    bool hasDevice = true;
};

template <typename T> T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QLatin1String(name));
    if (!c) {
        qWarning("no control %s", name);
    }
    return c;
}
} // namespace

class TestListDialogs : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_root;

private Q_SLOTS:
    void initTestCase() {
        m_root = m_dir.filePath("root");
        CSampleFolder::makeDownloadFolder(m_root, "dl", {"01", "02"}, {"100"}, 5);
    }

    void criteriaDialog() {
        CScriptedUi ui;
        CSelectCriteria shared = CSelectCriteria::initial();
        CFindSetLogic logic(shared, ui, "/root/dl");
        CFindSetDlg dlg(logic, nullptr);
        QCOMPARE(dlg.windowTitle(), QString("選択表示"));
        QCOMPARE(child<QLineEdit>(&dlg, "folder")->text(), QString("/root/dl"));

        // Every check box enables its controls and nothing else.
        const QList<std::pair<const char*, QStringList>> pairs{
            {"dateOn", {"dateFrom", "dateTo"}},
            {"titleOn", {"title"}},
            {"boxNoOn", {"boxNo"}},
            {"boxNameOn", {"boxName"}},
            {"callerNoOn", {"callerNo"}},
            {"callerNameOn", {"callerName"}},
            {"playedOn", {"played", "unplayed"}},
            {"protectOn", {"protect", "unprotect"}},
            {"flagOn", {"flag", "noFlag"}},
            {"memoOn", {"memo"}},
            {"importOn", {"importPlayed", "importUnplayed", "importErased", "importInfoOnly"}}};
        for (const auto& [box, controls] : pairs) {
            for (const QString& c : controls) {
                QVERIFY2(!dlg.findChild<QWidget*>(c)->isEnabled(), qPrintable(c));
            }
            child<QCheckBox>(&dlg, box)->setChecked(true);
            for (const QString& c : controls) {
                QVERIFY2(dlg.findChild<QWidget*>(c)->isEnabled(), qPrintable(c));
            }
            child<QCheckBox>(&dlg, box)->setChecked(false);
        }
        // Radio pairs of unused criteria show their first choice; the edits take no more than their limits.
        QVERIFY(child<QRadioButton>(&dlg, "played")->isChecked());
        QCOMPARE(child<QLineEdit>(&dlg, "title")->maxLength(), 40);
        QCOMPARE(child<QLineEdit>(&dlg, "boxNo")->maxLength(), 4);
        QCOMPARE(child<QLineEdit>(&dlg, "boxName")->maxLength(), 10);
        QCOMPARE(child<QLineEdit>(&dlg, "memo")->maxLength(), 40);

        // The date pickers stay within 2009/01/01 .. 2099/12/31 and speak YYYY/MM/DD.
        auto* from = child<QDateEdit>(&dlg, "dateFrom");
        auto* to = child<QDateEdit>(&dlg, "dateTo");
        from->setDate(QDate(2001, 5, 5));
        QCOMPARE(from->date(), QDate(2009, 1, 1));
        to->setDate(QDate(2200, 1, 1));
        QCOMPARE(to->date(), QDate(2099, 12, 31));
        QCOMPARE(from->text(), QString("2009/01/01"));

        // "録音情報のみ" and the other three exclude each other.
        child<QCheckBox>(&dlg, "importOn")->setChecked(true);
        child<QCheckBox>(&dlg, "importPlayed")->setChecked(true);
        child<QCheckBox>(&dlg, "importErased")->setChecked(true);
        child<QCheckBox>(&dlg, "importInfoOnly")->setChecked(true);
        QVERIFY(!child<QCheckBox>(&dlg, "importPlayed")->isChecked());
        QVERIFY(!child<QCheckBox>(&dlg, "importErased")->isChecked());
        child<QCheckBox>(&dlg, "importUnplayed")->setChecked(true);
        QVERIFY(!child<QCheckBox>(&dlg, "importInfoOnly")->isChecked());

        // A refused entry keeps the dialog open; a good one rebuilds the shared criteria.
        child<QCheckBox>(&dlg, "boxNoOn")->setChecked(true);
        child<QLineEdit>(&dlg, "boxNo")->setText("０");
        dlg.pressOk();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(ui.lastMessage()->text, QString("入力値エラーです。"));
        child<QLineEdit>(&dlg, "boxNo")->setText("01");
        child<QCheckBox>(&dlg, "dateOn")->setChecked(true);
        from->setDate(QDate(2026, 1, 1));
        to->setDate(QDate(2026, 12, 31));
        dlg.pressOk();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(FILESTS_INFO::text(shared.dateTo), QString("2026/12/31"));
        QCOMPARE(FILESTS_INFO::text(shared.boxNo), QString("01"));
        QCOMPARE(int(shared.import), 5);

        // The next dialog opens with them.
        CFindSetLogic again(shared, ui);
        CFindSetDlg second(again, nullptr);
        QVERIFY(child<QCheckBox>(&second, "dateOn")->isChecked());
        QCOMPARE(child<QDateEdit>(&second, "dateFrom")->date(), QDate(2026, 1, 1));
        QVERIFY(child<QCheckBox>(&second, "importUnplayed")->isChecked());
        QVERIFY(child<QLineEdit>(&second, "boxNo")->isEnabled());
    }

    void columnDialog() {
        QTemporaryDir dir;
        const QString ini = dir.filePath("KELDA.ini");
        CScriptedUi ui;
        CKELDADoc doc;
        doc.resetColumns();
        CListDispSelectLogic logic(doc, ui, ini);
        CListDispSelectDlg dlg(logic, nullptr);
        QCOMPARE(dlg.windowTitle(), QString("録音情報表示設定"));
        QCOMPARE(dlg.shownList()->count(), 10);
        QCOMPARE(dlg.removedList()->count(), 4);
        QVERIFY(!dlg.okButton()->isEnabled());
        // The three picture buttons show pictures, not words.
        for (const char* name : {"remove", "up", "down"}) {
            QVERIFY(!child<QPushButton>(&dlg, name)->icon().isNull());
            QVERIFY(child<QPushButton>(&dlg, name)->text().isEmpty());
        }
        // Up at the top changes nothing.
        dlg.shownList()->setCurrentRow(0);
        child<QPushButton>(&dlg, "up")->click();
        QVERIFY(!dlg.okButton()->isEnabled());
        dlg.shownList()->setCurrentRow(1);
        child<QPushButton>(&dlg, "up")->click();
        QCOMPARE(dlg.shownList()->item(0)->text(), QString("取込"));
        QCOMPARE(dlg.shownList()->currentRow(), 0);
        QVERIFY(dlg.okButton()->isEnabled());
        dlg.removedList()->setCurrentRow(2);
        child<QPushButton>(&dlg, "add")->click();
        QCOMPARE(dlg.shownList()->item(10)->text(), QString("メモ"));
        dlg.shownList()->setCurrentRow(10);
        child<QPushButton>(&dlg, "down")->click();
        QCOMPARE(dlg.shownList()->currentRow(), 10);
        dlg.shownList()->setCurrentRow(2);
        child<QPushButton>(&dlg, "remove")->click();
        QCOMPARE(dlg.removedList()->item(3)->text(), QString("再生/未再生"));
        dlg.okButton()->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(CPrivateProfile::getString(ini, "DISP", "COLUM1"), QString("取込"));
        QCOMPARE(CPrivateProfile::getString(ini, "DISP", "COLUM10"), QString("メモ"));
        QCOMPARE(CPrivateProfile::getString(ini, "DISP", "DELCOLUM4"), QString("再生/未再生"));

        // "リセット" saves and closes at once.
        CListDispSelectLogic again(doc, ui, ini);
        CListDispSelectDlg second(again, nullptr);
        child<QPushButton>(&second, "reset")->click();
        QCOMPARE(second.result(), int(QDialog::Accepted));
        QCOMPARE(CPrivateProfile::getString(ini, "DISP", "COLUM1"), QString("ﾌﾗｸﾞ"));
    }

    void infoEditor() {
        QTemporaryDir dir;
        CSampleFolder::Message m;
        m.dateTime = "2026/01/02 03:04";
        m.callerName = "山田";
        m.played = 1;
        const QString file = CSampleFolder::writeMessage(dir.filePath("dl/naisen/100"), "100", 1, m);
        CScriptedUi ui;
        CInfoEditLogic logic(ui, file, dir.path());
        CInfoEditDlg dlg(logic, nullptr);
        QCOMPARE(dlg.windowTitle(), QString("録音情報編集"));
        QVERIFY(child<QLineEdit>(&dlg, "fileName")->text().startsWith("dl/naisen/100/"));
        QVERIFY(child<QLineEdit>(&dlg, "fileName")->isReadOnly());
        QCOMPARE(child<QLineEdit>(&dlg, "boxNo")->text(), QString("100"));
        QCOMPARE(child<QLineEdit>(&dlg, "recDateTime")->text(), QString("2026/01/02 03:04"));
        QCOMPARE(child<QLineEdit>(&dlg, "played")->text(), QString("再生済"));
        QCOMPARE(child<QLineEdit>(&dlg, "import")->text(), QString("録音情報+音声ﾃﾞｰﾀ(ZUNO側で未再生)"));
        QVERIFY(child<QLineEdit>(&dlg, "import")->testAttribute(Qt::WA_TransparentForMouseEvents));
        QCOMPARE(child<QLineEdit>(&dlg, "callerName")->text(), QString("山田"));
        QCOMPARE(child<QLineEdit>(&dlg, "title")->maxLength(), 40);
        // The file name shows whole, and Tab leaves the memo without writing a tab into it.
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        const QString longFile = CSampleFolder::writeMessage(
            dir.filePath("営業部の二〇二六年一月から三月までに受けた伝言の控え/naisen/100"), "100", 2, m);
        CInfoEditLogic longLogic(ui, longFile, dir.path());
        CInfoEditDlg longDlg(longLogic, nullptr);
        longDlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&longDlg));
        QLineEdit* fileName = child<QLineEdit>(&longDlg, "fileName");
        QVERIFY2(fileName->contentsRect().width() - 8 >= fileName->fontMetrics().horizontalAdvance(fileName->text()),
                 qPrintable(QString("%1 for %2")
                                .arg(fileName->contentsRect().width())
                                .arg(fileName->fontMetrics().horizontalAdvance(fileName->text()))));
        longDlg.close();
        dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        auto* memo = child<QPlainTextEdit>(&dlg, "memo");
        memo->setFocus(Qt::TabFocusReason);
        QTest::keyClick(memo, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != memo);
        QVERIFY(!memo->toPlainText().contains(u'\t'));

        // 21 double-byte characters fit the edit's 40 characters but not its 40 bytes.
        child<QLineEdit>(&dlg, "title")->setText(QString(21, QChar(u'題')));
        dlg.pressOk();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(ui.messageTexts(),
                 QStringList({"入力値エラーです。\nタイトルは40バイト（全角20文字）までです（42バイト）。"}));
        child<QLineEdit>(&dlg, "title")->setText("打合せ");
        child<QPlainTextEdit>(&dlg, "memo")->setPlainText(QString(90, 'x'));
        QCOMPARE(child<QPlainTextEdit>(&dlg, "memo")->toPlainText().size(), 80);
        child<QRadioButton>(&dlg, "flag")->setChecked(true);
        dlg.pressOk();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        FILESTS_INFO r;
        CFileMng::ReadRecord(file, r);
        QCOMPARE(FILESTS_INFO::text(r.title), QString("打合せ"));
        QCOMPARE(FILESTS_INFO::text(r.memo).size(), 80);
        QCOMPARE(int(r.flag), 1);
    }

    void viewCommands() {
        CScriptedUi ui;
        CKELDADoc doc;
        doc.folder = m_root + '/';
        doc.folderName = "dl";
        doc.num = 1;
        doc.slotFolderName[0] = "dl";
        doc.slotDisp[0] = "留守録BOX：01,02";
        doc.resetColumns();
        CListDispView view(doc, 1, ui);
        view.resize(1000, 500);
        view.show();
        view.load(CListModel::Load::Fresh);
        QCOMPARE(view.model().rowCount(), 10);
        CDataListCtrl* list = view.list();
        CListHeaderView* header = list->header();
        QCOMPARE(header->arrowColumn(), -1);

        // A click on a header sorts and shows the arrow; the selected row stays selected where it went.
        const int callerNo = view.model().findColumn(CListModel::ColCallerNo);
        list->selectRow(3);
        const int selectedRecord = view.model().recordIndex(3);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(callerNo) + 5, header->height() / 2));
        QCOMPARE(header->arrowColumn(), callerNo);
        QCOMPARE(header->arrowImage(), 0);
        const auto rows = list->selectedRowNumbers();
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(view.model().recordIndex(rows.front()), selectedRecord);
        view.headerClicked(callerNo);
        QCOMPARE(header->arrowImage(), 1);
        // The arrow is drawn into the clicked column's header, and only there.
        const QRect section(header->sectionViewportPosition(callerNo), 0, header->sectionSize(callerNo),
                            header->height());
        const QImage withArrow = header->grab().toImage();
        header->setArrow(-1, 0);
        const QImage without = header->grab().toImage();
        header->setArrow(callerNo, 1);
        QVERIFY(withArrow.copy(section) != without.copy(section));
        QCOMPARE(withArrow.copy(0, 0, section.left(), header->height()),
                 without.copy(0, 0, section.left(), header->height()));

        // The selection display through its dialog (replaced here) resets the sort.
        int asked = 0;
        view.findSetRunner = [&](CFindSetLogic& logic) {
            ++asked;
            logic.form().boxNoOn = true;
            logic.form().boxNo = "02";
            return logic.accept();
        };
        view.selectDisplay();
        QCOMPARE(asked, 1);
        QCOMPARE(view.model().rowCount(), 5);
        QCOMPARE(view.model().displayMode(), 1);
        QCOMPARE(header->arrowColumn(), -1);
        QCOMPARE(FILESTS_INFO::text(doc.criteria.boxNo), QString("02"));
        view.notDownloadedDisplay();
        QCOMPARE(view.model().displayMode(), 2);
        QCOMPARE(view.model().rowCount(), 2);
        view.allDisplay();
        QCOMPARE(view.model().rowCount(), 10);

        // A double click edits the row after writing the flags of the selected rows; the list then reloads
        // keeping the user's sort.
        view.headerClicked(callerNo);
        QApplication::processEvents();
        QString edited;
        view.infoEditRunner = [&](CInfoEditLogic& logic) {
            edited = FILESTS_INFO::text(logic.record().filePath);
            logic.entries().title = "二重";
            return logic.accept() == CInfoEditLogic::Outcome::Written;
        };
        const QRect cell = list->visualRect(list->model()->index(2, callerNo));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(edited, FILESTS_INFO::text(view.model().recordAt(2).filePath));
        FILESTS_INFO r;
        CFileMng::ReadRecord(edited, r);
        QCOMPARE(FILESTS_INFO::text(r.title), QString("二重"));
        QCOMPARE(header->arrowColumn(), callerNo);
        QCOMPARE(FILESTS_INFO::text(view.model().recordAt(2).title), QString("二重"));

        // Without a selection: the message, no editor.
        list->clearSelection();
        edited.clear();
        view.editInfo();
        QCOMPARE(ui.lastMessage()->text, QString("選択されていません。"));
        QVERIFY(edited.isEmpty());
    }

    // The keys of a list window and of the box-opening dialog's tables.
    void keysInLists_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a new list has a current row") << "list" << 0 << "current 0";
        QTest::newRow("Down moves from it") << "list" << int(Qt::Key_Down) << "current 1";
        QTest::newRow("Return opens the editor") << "list" << int(Qt::Key_Return) << "edit 0";
        QTest::newRow("Enter opens the editor") << "list" << int(Qt::Key_Enter) << "edit 0";
        QTest::newRow("Tab leaves the list") << "list" << int(Qt::Key_Tab) << "left";
        QTest::newRow("Space ticks a box") << "boxes" << int(Qt::Key_Space) << "ticked";
        QTest::newRow("Tab leaves the box table") << "boxes" << int(Qt::Key_Tab) << "left";
    }

    void keysInLists() {
        QFETCH(QString, where);
        QFETCH(int, key);
        QFETCH(QString, expected);
        CScriptedUi ui;
        CKELDADoc doc;
        doc.folder = m_root + '/';
        doc.folderName = "dl";
        doc.num = 1;
        doc.slotFolderName[0] = "dl";
        doc.slotDisp[0] = "留守録BOX：01,02";
        doc.resetColumns();
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* before = new QPushButton("before", &window);
        layout->addWidget(before);
        QTableView* table = nullptr;
        CListDispView* view = nullptr;
        std::unique_ptr<CBoxOpenLogic> boxes;
        if (where == "list") {
            view = new CListDispView(doc, 1, ui, &window);
            layout->addWidget(view);
            view->load(CListModel::Load::Fresh);
            table = view->list();
            // Current before any focus or click: the arrows work from the start.
            QCOMPARE(table->currentIndex().row(), 0);
            QVERIFY(view->list()->selectedRowNumbers().empty());
        } else {
            doc.num = 0;
            boxes = std::make_unique<CBoxOpenLogic>(doc, ui);
            QVERIFY(boxes->checkHasBoxes());
            auto* dlg = new CBoxOpenDlg(*boxes, &window);
            dlg->setWindowFlags(Qt::Widget);
            layout->addWidget(dlg);
            table = dlg->rusurokuList();
        }
        layout->addWidget(new QPushButton("after", &window));
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        table->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), table);
        QVERIFY(table->currentIndex().isValid());
        QCOMPARE(table->currentIndex().row(), 0);
        int edited = -1;
        if (view) {
            view->infoEditRunner = [](CInfoEditLogic&) { return false; };
            connect(view, &CListDispView::editRequested, this, [&edited](int row) { edited = row; });
        }
        if (key != 0) {
            QTest::keyClick(table, Qt::Key(key));
        }
        if (expected.startsWith("current ")) {
            QCOMPARE(table->currentIndex().row(), expected.mid(8).toInt());
        } else if (expected.startsWith("edit ")) {
            QCOMPARE(edited, expected.mid(5).toInt());
            // The row the editor opened for is the selected one.
            QCOMPARE(view->list()->selectedRowNumbers(), std::vector<int>({0}));
        } else if (expected == "left") {
            QVERIFY(QApplication::focusWidget() != table);
            QVERIFY(!table->isAncestorOf(QApplication::focusWidget()));
        } else if (expected == "ticked") {
            QCOMPARE(boxes->rusuroku()[0].check, int(CBoxOpenLogic::Checked));
            QTest::keyClick(table, Qt::Key_Space);
            QCOMPARE(boxes->rusuroku()[0].check, int(CBoxOpenLogic::Unchecked));
        } else {
            QFAIL("unknown expectation");
        }
        if (view) {
            // Views refer to the settings block; they go before it.
            delete view;
        }
    }

    void frameCommands() {
        QTemporaryDir dir;
        const QString ini = dir.filePath("KELDA.ini");
        CPrivateProfile::writeString(ini, "FOLDER", "FOLDER", m_root + '/');
        CPrivateProfile::writeString(ini, "DISP", "FOLDERNAME", "dl");
        CScriptedUi ui;
        CMainFrame frame(ui, ini);
        frame.startUp();
        frame.listCommands().boxChooser = [](CBoxOpenLogic&) { return 0; };
        QVERIFY(!frame.commandBar()->button(C::CmdSelDisplay)->isEnabled());
        QVERIFY(!frame.commandBar()->button(C::CmdNotDownloaded)->isEnabled());
        QVERIFY(!frame.commands().isEnabled(C::CmdColumns, frame.logic(), frame.logic().enableInputs(false)));
        QVERIFY(!frame.commands().isEnabled(C::CmdEditInfo, frame.logic(), frame.logic().enableInputs(false)));
        frame.doc().num = 1;
        frame.doc().slotFolderName[0] = "dl";
        frame.doc().slotDisp[0] = "留守録BOX：01,  内線BOX：100";
        CChildFrame* f = frame.openListWindow(1);
        QVERIFY(f);
        QVERIFY(frame.commandBar()->button(C::CmdSelDisplay)->isEnabled());
        QVERIFY(frame.commandBar()->button(C::CmdNotDownloaded)->isEnabled());
        QVERIFY(frame.commands().isEnabled(C::CmdColumns, frame.logic(), frame.logic().enableInputs(true)));

        frame.runCommand(C::CmdNotDownloaded);
        QCOMPARE(f->view()->model().rowCount(), 2);
        QVERIFY2(frame.statusPane()->text().contains("一覧表ﾄｰﾀﾙ 2 "), qPrintable(frame.statusPane()->text()));
        frame.runCommand(C::CmdAllDisplay);
        QVERIFY(frame.statusPane()->text().contains("一覧表ﾄｰﾀﾙ 10 "));

        // Columns: OK reloads every list with the new columns and the default order.
        f->view()->headerClicked(0);
        f->view()->columnRunner = [](CListDispSelectLogic& logic) {
            logic.remove(0);
            return logic.accept();
        };
        frame.runCommand(C::CmdColumns);
        QCOMPARE(f->view()->model().columnCount(), 9);
        QCOMPARE(f->view()->model().columnTitle(0), QString("取込"));
        QCOMPARE(f->view()->list()->model()->columnCount(), 9);
        QCOMPARE(f->view()->list()->header()->arrowColumn(), -1);
        QCOMPARE(CPrivateProfile::getString(ini, "DISP", "DELCOLUM5"), QString("ﾌﾗｸﾞ"));

        frame.runCommand(C::CmdEditInfo);
        QCOMPARE(ui.lastMessage()->text, QString("選択されていません。"));
    }
    // The player bar: what a row without voice data says, Space plays, the mark after two seconds reaches the file
    // and the row, "次の未再生" passes information-only and played rows, and no device is one line.
    // Messages another run adds come into the open list by themselves; the selected message stays selected and
    // the main frame hears of the new counts.
    void listFollowsAnotherRun() {
        QTemporaryDir dir;
        const QString root = dir.filePath("root");
        CSampleFolder::makeDownloadFolder(root, "dl", {"01"}, {}, 3);
        CScriptedUi ui;
        CKELDADoc doc;
        CSampleFolder::showFirstList(doc, root, "留守録BOX：01");
        CListDispView view(doc, 1, ui);
        view.follow().setQuietMs(30);
        view.resize(1000, 500);
        view.show();
        view.load(CListModel::Load::Fresh);
        QCOMPARE(view.model().rowCount(), 3);
        view.list()->selectRow(1);
        const QString selected = view.model().messageIdentity(1);
        QSignalSpy facts(&view, &CListDispView::factsChanged);
        CSampleFolder::Message newest;
        newest.dateTime = "2030/01/01 09:00";
        CSampleFolder::writeMessage(root + "/dl/rusuroku/01", "01", 77, newest);
        QTRY_COMPARE(view.model().rowCount(), 4);
        QVERIFY(facts.count() >= 1);
        const auto rows = view.list()->selectedRowNumbers();
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(view.model().messageIdentity(rows.front()), selected);
        // Between a press on a row and its release the rows stay where they are.
        QWidget* rowArea = view.list()->viewport();
        QTest::mousePress(rowArea, Qt::LeftButton, {}, QPoint(20, 5));
        CSampleFolder::writeMessage(root + "/dl/rusuroku/01", "01", 79, newest);
        QTest::qWait(400);
        QCOMPARE(view.model().rowCount(), 4);
        QTest::mouseRelease(rowArea, Qt::LeftButton, {}, QPoint(20, 5));
        QTRY_COMPARE(view.model().rowCount(), 5);
        // While an operation of the window has it (the window disabled), the list waits.
        view.setEnabled(false);
        CSampleFolder::writeMessage(root + "/dl/rusuroku/01", "01", 78, newest);
        QTest::qWait(400);
        QCOMPARE(view.model().rowCount(), 5);
        view.setEnabled(true);
        QTRY_COMPARE(view.model().rowCount(), 6);
    }

    void playerBar() {
        QTemporaryDir dir;
        const QString root = dir.filePath("root");
        const QString box = root + "/pb/rusuroku/01";
        // In the list's first order: newest first.
        auto msg = [](bool voice, int played, const QString& when) {
            CSampleFolder::Message m;
            m.voice = voice;
            m.played = played;
            m.dateTime = when;
            return m;
        };
        const QString a = CSampleFolder::writeMessage(box, "01", 1, msg(true, 0, "2026/12/08 10:04"));
        const QString b = CSampleFolder::writeMessage(box, "01", 2, msg(false, 0, "2026/12/08 10:03"));
        const QString c = CSampleFolder::writeMessage(box, "01", 3, msg(true, 1, "2026/12/08 10:02"));
        const QString d = CSampleFolder::writeMessage(box, "01", 4, msg(true, 0, "2026/12/08 10:01"));
        for (const QString& f : {a, c, d}) {
            QVERIFY(QFile::resize(f, FILESTS_INFO::VOICE_OFFSET));
            QFile out(f);
            QVERIFY(out.open(QIODevice::Append));
            out.write(CSampleUnit::voiceFrames(7, 300));
        }
        CScriptedUi ui;
        CKELDADoc doc;
        doc.folder = root + '/';
        doc.folderName = "pb";
        doc.num = 1;
        doc.slotFolderName[0] = "pb";
        doc.slotDisp[0] = "留守録BOX：01";
        doc.resetColumns();
        doc.playerBar = 1;
        CListDispView view(doc, 1, ui);
        view.resize(1000, 500);
        view.show();
        view.load(CListModel::Load::Fresh);
        CPlayerBar* bar = view.playerBar();
        QVERIFY(bar->isVisible());
        auto* output = new TestOutput;
        bar->useOutput(std::unique_ptr<CVoiceOutput>(output));
        bar->player().setPumpInterval(0);
        auto rowOf = [&](const QString& path) {
            for (int r = 0; r < view.model().rowCount(); ++r) {
                if (FILESTS_INFO::text(view.model().recordAt(r).filePath) == path) {
                    return r;
                }
            }
            return -1;
        };
        QCOMPARE(QList<int>({rowOf(a), rowOf(b), rowOf(c), rowOf(d)}), QList<int>({0, 1, 2, 3}));
        // The window measures its messages between events; the information-only one has nothing to measure.
        QTRY_VERIFY(view.model().speechMs(view.model().recordIndex(rowOf(d))) >= 0);
        QVERIFY(view.model().speechMs(view.model().recordIndex(rowOf(a))) > 0);
        QCOMPARE(view.model().speechMs(view.model().recordIndex(rowOf(b))), qint64(-1));
        QVERIFY(QFile::exists(box + "/kelda-voice.ini"));

        view.list()->selectRow(rowOf(b));
        QVERIFY(bar->messageText().contains("音声データがありません"));
        QTest::keyClick(view.list(), Qt::Key_Space);
        QCOMPARE(output->heard, qint64(0));

        // Selected only: nothing is marked. Space plays; two seconds heard mark the file and the row.
        view.list()->selectRow(rowOf(a));
        QVERIFY(bar->messageText().isEmpty());
        QCOMPARE(child<QLabel>(bar, "time")->text(), QString("0:00 / 0:03"));
        QCOMPARE(quint8(CTestFiles::read(a)[1]), quint8(0));
        QTest::keyClick(view.list(), Qt::Key_Space);
        QCOMPARE(bar->player().state(), CVoicePlayer::State::Playing);
        for (int i = 1; i < 39; ++i) {
            bar->player().pump();
        }
        QCOMPARE(quint8(CTestFiles::read(a)[1]), quint8(0));
        bar->player().pump();
        QCOMPARE(quint8(CTestFiles::read(a)[1]), quint8(1));
        QCOMPARE(view.model().recordAt(rowOf(a)).played, uint8_t(1));
        QCOMPARE(bar->player().state(), CVoicePlayer::State::Playing);
        QCOMPARE(child<QLabel>(bar, "time")->text(), QString("0:02 / 0:03"));
        // Space pauses.
        QTest::keyClick(view.list(), Qt::Key_Space);
        QCOMPARE(bar->player().state(), CVoicePlayer::State::Paused);

        // The next unplayed message passes the information-only row and the played one.
        QTest::mouseClick(child<QPushButton>(bar, "next"), Qt::LeftButton);
        QCOMPARE(view.list()->selectedRowNumbers(), std::vector<int>{rowOf(d)});
        QCOMPARE(bar->player().state(), CVoicePlayer::State::Playing);
        QCOMPARE(FILESTS_INFO::text(bar->player().row().filePath), d);
        // Going on at the end: none is left, and the bar says so.
        child<QCheckBox>(bar, "continue")->setChecked(true);
        for (int i = 0; i < 200 && bar->player().state() == CVoicePlayer::State::Playing; ++i) {
            bar->player().pump();
        }
        QCOMPARE(bar->player().state(), CVoicePlayer::State::Finished);
        QCOMPARE(quint8(CTestFiles::read(d)[1]), quint8(1));
        QTRY_VERIFY(bar->messageText().contains("未再生のメッセージはありません"));
        QCOMPARE(quint8(CTestFiles::read(c)[1]), quint8(1));

        // Stopped part-way, a message resumes 2 s before where it stopped, also after another one was played and
        // for the next run (the box folder's cache keeps it); 最初から starts over. Levelled by default.
        child<QCheckBox>(bar, "continue")->setChecked(false);
        QVERIFY(child<QCheckBox>(bar, "level")->isChecked());
        view.list()->selectRow(rowOf(a));
        QCOMPARE(FILESTS_INFO::text(bar->player().row().filePath), a);
        QVERIFY(bar->player().hasFigures());
        QTest::keyClick(view.list(), Qt::Key_Space);
        while (bar->player().positionFrame() < 280) {
            bar->player().pump();
        }
        QTest::mouseClick(child<QToolButton>(bar, "stop"), Qt::LeftButton);
        QCOMPARE(child<QSlider>(bar, "seek")->value(), 80);
        view.list()->selectRow(rowOf(c));
        QCOMPARE(FILESTS_INFO::text(bar->player().row().filePath), c);
        QCOMPARE(child<QSlider>(bar, "seek")->value(), 0);
        view.list()->selectRow(rowOf(a));
        QCOMPARE(child<QSlider>(bar, "seek")->value(), 80);
        QVERIFY(bar->messageText().contains("前回止めた所"));
        CVoiceMeasureCache kept(box);
        kept.load();
        QCOMPARE(kept.resumeFrame(a), 80);
        QTest::mouseClick(child<QPushButton>(bar, "fromStart"), Qt::LeftButton);
        QCOMPARE(bar->player().state(), CVoicePlayer::State::Playing);
        QVERIFY(bar->player().positionFrame() <= 5);
        kept.load();
        QCOMPARE(kept.resumeFrame(a), 0);
        bar->player().pause();

        // Another run replaces the voice data of the loaded message: chosen again, it is the new data that plays.
        bar->stop();
        QCOMPARE(bar->player().totalFrames(), 300);
        QVERIFY(QFile::resize(a, FILESTS_INFO::VOICE_OFFSET));
        {
            QFile out(a);
            QVERIFY(out.open(QIODevice::Append));
            out.write(CSampleUnit::voiceFrames(8, 500));
        }
        view.list()->clearSelection();
        view.list()->selectRow(rowOf(a));
        QCOMPARE(bar->player().totalFrames(), 500);

        // No sound device: one line, and nothing is marked.
        bar->useOutput(std::make_unique<TestOutput>(false));
        view.list()->selectRow(rowOf(a));
        QTest::keyClick(view.list(), Qt::Key_Space);
        QVERIFY(bar->messageText().startsWith("音声の出力装置がない"));
        QVERIFY(!bar->messageText().contains('\n'));

        // The setting hides the bar, and a hidden bar does not take Space.
        view.setPlayerBarShown(false);
        QVERIFY(!bar->isVisible());
    }
};

QTEST_MAIN(TestListDialogs)
#include "tst_listdialogs.moc"
