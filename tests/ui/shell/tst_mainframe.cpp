#include "list/CBoxOpenLogic.h"
#include "store/CFileMng.h"
#include "store/CPrivateProfile.h"
#include "support/CSampleFolder.h"
#include "support/CScriptedUi.h"
#include "ui/list/CChildFrame.h"
#include "ui/list/CDataListCtrl.h"
#include "ui/list/CListCommands.h"
#include "ui/list/CListDispView.h"
#include "ui/shell/CCommandBar.h"
#include "ui/shell/CKeldaStartup.h"
#include "ui/shell/CMainFrame.h"
#include "ui/shell/CWrapField.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QtTest>

namespace {
using C = CMainFrameLogic;

QByteArray readFile(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// Ticks the named boxes ("r:01", "n:100") in the box-opening choice and presses "開く".
std::function<int(CBoxOpenLogic&)> choose(const QStringList& boxes) {
    return [boxes](CBoxOpenLogic& logic) {
        if (!logic.checkHasBoxes()) {
            return 0;
        }
        for (const auto& b : boxes) {
            auto& rows = b.startsWith("n:") ? logic.naisen() : logic.rusuroku();
            for (int i = 0; i < int(rows.size()); ++i) {
                if (rows[i].boxNo == b.mid(2)) {
                    CBoxOpenLogic::toggle(rows, i);
                }
            }
        }
        return logic.accept();
    };
}
} // namespace

class TestMainFrame : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_root;
    QString m_ini;

    void writeIni(int num = 0) {
        QFile::remove(m_ini);
        CPrivateProfile::writeString(m_ini, "FOLDER", "FOLDER", m_root + '/');
        CPrivateProfile::writeString(m_ini, "DISP", "FOLDERNAME", "dl");
        CPrivateProfile::writeString(m_ini, "DISP", "NUM", QString::number(num));
    }

private Q_SLOTS:
    void initTestCase() {
        m_root = m_dir.filePath("root");
        CSampleFolder::makeDownloadFolder(m_root, "dl", {"01", "02", "03"}, {"100", "101"}, 3);
        m_ini = m_dir.filePath("KELDA.ini");
    }

    void openToggleLimitCloseAndExit() {
        writeIni();
        CScriptedUi ui;
        CMainFrame frame(ui, m_ini);
        frame.startUp();
        QCOMPARE(frame.commandBar()->folderField()->fieldText(), " " + m_root + "/dl");
        QVERIFY(frame.commandBar()->button(C::CmdBox)->isEnabled());
        QVERIFY(!frame.commandBar()->button(C::CmdAllDisplay)->isEnabled());
        QVERIFY(frame.statusPane()->text().isEmpty());

        // A list of two boxes.
        frame.listCommands().boxChooser = choose({"r:01", "n:100"});
        frame.runCommand(C::CmdBox);
        QCOMPARE(frame.listWindows().size(), 1);
        CChildFrame* first = frame.listWindows().first();
        QCOMPARE(first->windowTitle(), QString("留守録BOX：01,  内線BOX：100"));
        QCOMPARE(first->view()->model().rowCount(), 6);
        QCOMPARE(frame.doc().num, 1);
        QCOMPARE(frame.activeList(), first);
        QVERIFY(frame.statusPane()->text().startsWith("件数: ﾌｫﾙﾀﾞﾄｰﾀﾙ 15  ﾎﾞｯｸｽﾄｰﾀﾙ 6  一覧表ﾄｰﾀﾙ 6"));
        QVERIFY(frame.commandBar()->button(C::CmdAllDisplay)->isEnabled());
        QVERIFY(ui.progressEvents.first().title == "一覧表を開く");

        // One click on a flag cell writes the file.
        CDataListCtrl* list = first->view()->list();
        const int flagCol = first->view()->model().findColumn(CListModel::ColFlag);
        const QString file = FILESTS_INFO::text(first->view()->model().recordAt(0).filePath);
        FILESTS_INFO before;
        CFileMng::ReadRecord(file, before);
        first->showMaximized();
        QApplication::processEvents();
        const QRect cell = list->visualRect(list->model()->index(0, flagCol));
        QVERIFY(cell.isValid());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        FILESTS_INFO after;
        CFileMng::ReadRecord(file, after);
        QCOMPARE(int(after.flag), before.flag ? 0 : 1);

        // Three more lists; the fifth is refused.
        frame.listCommands().boxChooser = choose({"r:02"});
        frame.runCommand(C::CmdBox);
        frame.listCommands().boxChooser = choose({"r:03"});
        frame.runCommand(C::CmdBox);
        frame.listCommands().boxChooser = choose({"n:101"});
        frame.runCommand(C::CmdBox);
        QCOMPARE(frame.listWindows().size(), 4);
        frame.listCommands().boxChooser = choose({});
        frame.runCommand(C::CmdBox);
        QCOMPARE(frame.listWindows().size(), 4);
        QCOMPARE(ui.lastMessage()->text, QString("開ける一覧表が上限に達しています。"));

        // Boxes shown by a list are greyed for the next choice.
        {
            CBoxOpenLogic logic(frame.doc(), ui);
            for (const auto& r : logic.rusuroku()) {
                QCOMPARE(r.check, int(CBoxOpenLogic::Greyed));
            }
        }

        // Closing window 2 renumbers 3 and 4.
        CChildFrame* second = frame.listWindowOfSlot(2);
        CChildFrame* third = frame.listWindowOfSlot(3);
        CChildFrame* fourth = frame.listWindowOfSlot(4);
        second->close();
        QApplication::processEvents();
        QCOMPARE(frame.listWindows().size(), 3);
        QCOMPARE(third->slot(), 2);
        QCOMPARE(fourth->slot(), 3);
        QCOMPARE(frame.doc().num, 3);
        QCOMPARE(frame.doc().slotDisp[1], QString("留守録BOX：03"));
        QVERIFY(frame.doc().slotDisp[3].isEmpty());
        frame.mdiArea()->setActiveSubWindow(third);
        frame.rebuildWindowMenu();
        QStringList entries;
        for (QAction* a : frame.windowMenu()->actions()) {
            if (!a->isSeparator()) {
                entries << a->text() + (a->isChecked() ? "*" : "");
            }
        }
        QCOMPARE(entries, QStringList({"並べて表示", "上下に並べて表示", "左右に並べて表示", "重ねて表示",
                                       "留守録BOX：01,  内線BOX：100", "留守録BOX：03*", "内線BOX：101"}));

        // 並べて表示 with three windows leaves the band at the bottom free.
        frame.resize(1200, 900);
        QApplication::processEvents();
        frame.runCommand(C::CmdTile);
        const int clientBottom = frame.mdiArea()->viewport()->height();
        QList<int> bottoms;
        for (auto* f : frame.listWindows()) {
            QVERIFY(!f->isMaximized());
            bottoms << f->geometry().bottom() + 1;
        }
        std::sort(bottoms.begin(), bottoms.end());
        QCOMPARE(bottoms, QList<int>({(clientBottom - 150) / 2, clientBottom - 150, clientBottom - 150}));
        // The active window takes the left half.
        QCOMPARE(frame.activeList()->geometry().left(), 0);
        QCOMPARE(frame.activeList()->geometry().bottom() + 1, clientBottom - 150);

        // While an operation holds the window disabled, the close box does nothing, not even ask.
        const int shown = static_cast<int>(ui.messages.size());
        ui.setMainWindowEnabled(false);
        QVERIFY(!frame.close());
        QCOMPARE(static_cast<int>(ui.messages.size()), shown);
        ui.setMainWindowEnabled(true);

        // No to the exit question: still running, file untouched.
        const QByteArray settings = readFile(m_ini);
        ui.replies.push_back(MsgResult::No);
        QVERIFY(!frame.close());
        QCOMPARE(ui.lastMessage()->text, QString("ＱＳ－ＺＵＮＯ音声ファイル管理を終了しますか？"));
        QCOMPARE(ui.lastMessage()->caption, QString("終了確認"));
        QCOMPARE(readFile(m_ini), settings);
        QCOMPARE(frame.listWindows().size(), 3);

        // Yes: settings and placements are written.
        ui.replies.push_back(MsgResult::Yes);
        QVERIFY(frame.close());
        QCOMPARE(CPrivateProfile::getInt(m_ini, "DISP", "NUM", -1), 3);
        QCOMPARE(CPrivateProfile::getString(m_ini, "DISP", "DISP2"), QString("留守録BOX：03"));
        QCOMPARE(CPrivateProfile::getString(m_ini, "DISP", "DISP3"), QString("内線BOX：101"));
        QCOMPARE(CPrivateProfile::getString(m_ini, "DISP", "DISP4", "x"), QString());
        QCOMPARE(CPrivateProfile::getInt(m_ini, "Window2", "ZOrder", 0), 1); // the active one
    }

    void restoresListsInSavedStackingOrder() {
        writeIni(2);
        auto w = [&](const char* s, const char* k, const QString& v) { CPrivateProfile::writeString(m_ini, s, k, v); };
        w("DISP", "DISP1", "留守録BOX：01");
        w("DISP", "FOLDERNAME1", "dl");
        w("DISP", "DISP2", "内線BOX：100,101");
        w("DISP", "FOLDERNAME2", "dl");
        for (const char* s : {"Window1", "Window2"}) {
            w(s, "Left", "10");
            w(s, "Top", "10");
            w(s, "Right", "400");
            w(s, "Bottom", "300");
            w(s, "showCmd", "1");
        }
        w("Window1", "ZOrder", "2");
        w("Window2", "ZOrder", "1");
        CScriptedUi ui;
        CMainFrame frame(ui, m_ini);
        frame.startUp();
        QCOMPARE(frame.listWindows().size(), 2);
        QVERIFY(frame.activeList());
        QCOMPARE(frame.activeList()->slot(), 2);
        QCOMPARE(frame.activeList()->view()->model().rowCount(), 6);
        QVERIFY(!frame.activeList()->isMaximized());
        QCOMPARE(frame.commandBar()->boxField()->fieldText(), QString(" 内線BOX：100,101"));
        QCOMPARE(frame.doc().change, 0);
        ui.replies.push_back(MsgResult::Yes);
        QVERIFY(frame.close());
    }

    void maximizedListsComeBackMaximized() {
        writeIni();
        {
            CScriptedUi ui;
            CMainFrame frame(ui, m_ini);
            frame.startUp();
            frame.listCommands().boxChooser = choose({"r:01"});
            frame.runCommand(C::CmdBox);
            frame.listCommands().boxChooser = choose({"r:02", "n:101"});
            frame.runCommand(C::CmdBox);
            QVERIFY(frame.activeList()->isMaximized());
            frame.mdiArea()->setActiveSubWindow(frame.listWindowOfSlot(1));
            ui.replies.push_back(MsgResult::Yes);
            QVERIFY(frame.close());
        }
        for (int s = 1; s <= 4; ++s) {
            QCOMPARE(CPrivateProfile::getInt(m_ini, QString("Window%1").arg(s), "showCmd", 0), 3);
        }
        QCOMPARE(CPrivateProfile::getInt(m_ini, "Window1", "ZOrder", 0), 1);
        CScriptedUi ui;
        CMainFrame frame(ui, m_ini);
        frame.startUp();
        QCOMPARE(frame.listWindows().size(), 2);
        QCOMPARE(frame.activeList()->slot(), 1);
        QVERIFY(frame.activeList()->isMaximized());
        QVERIFY(frame.logic().maximizeFlag);
        ui.replies.push_back(MsgResult::Yes);
        QVERIFY(frame.close());
    }

    void aSettingsFileThatCannotBeWrittenIsReported() {
        // A folder where the settings file should be: nothing can be saved, and the user is told.
        const QString blocked = m_dir.filePath("blocked/KELDA.ini");
        QVERIFY(QDir().mkpath(blocked));
        CScriptedUi ui;
        CMainFrame frame(ui, blocked);
        frame.startUp();
        ui.replies.push_back(MsgResult::Yes);
        QVERIFY(frame.close());
        QCOMPARE(ui.lastMessage()->text, QString("設定ファイル(KELDA.ini)を保存できませんでした。"));
        QCOMPARE(ui.lastMessage()->caption, QString("エラー"));
    }

    void missingFolderStartsEmpty() {
        QFile::remove(m_ini);
        CPrivateProfile::writeString(m_ini, "FOLDER", "FOLDER", m_dir.filePath("gone") + '/');
        CPrivateProfile::writeString(m_ini, "DISP", "FOLDERNAME", "dl");
        CPrivateProfile::writeString(m_ini, "DISP", "NUM", "1");
        CPrivateProfile::writeString(m_ini, "DISP", "DISP1", "留守録BOX：01");
        CScriptedUi ui;
        CMainFrame frame(ui, m_ini);
        frame.startUp();
        QVERIFY(frame.listWindows().isEmpty());
        QVERIFY(frame.commandBar()->folderField()->fieldText().isEmpty());
        QVERIFY(!frame.commandBar()->button(C::CmdBox)->isEnabled());
        QVERIFY(frame.minimumWidth() == 845 && frame.minimumHeight() == 250);
        ui.replies.push_back(MsgResult::Yes);
        QVERIFY(frame.close());
        QCOMPARE(CPrivateProfile::getString(m_ini, "DISP", "DISP1", "x"), QString());
    }

    void settingsPopupToggles() {
        writeIni();
        CScriptedUi ui;
        CMainFrame frame(ui, m_ini);
        frame.startUp();
        frame.runCommand(C::CmdSettings);
        QVERIFY(frame.settingsMenu()->isVisible());
        QAction* conv = nullptr;
        for (QAction* a : frame.settingsMenu()->actions()) {
            if (a->text() == "ダウンロード時に音声ファイルをWAVファイルに変換する") {
                conv = a;
            }
            if (a->text() == "ログアウト") {
                QVERIFY(!a->isEnabled());
            }
            if (a->text() == "一覧表をエクスポートする...") {
                QVERIFY(!a->isEnabled());
            }
        }
        QVERIFY(conv && !conv->isChecked());
        conv->trigger();
        QCOMPARE(frame.doc().downConv, 1);
        QVERIFY(!frame.settingsMenu()->isVisible());
        int hooked = -1;
        QVERIFY(frame.commands().replaceHandler(C::CmdLogin, [&] { hooked = C::CmdLogin; }));
        frame.runCommand(C::CmdLogin);
        QCOMPARE(hooked, int(C::CmdLogin));
        ui.replies.push_back(MsgResult::Yes);
        QVERIFY(frame.close());
        QCOMPARE(CPrivateProfile::getInt(m_ini, "CONVERT", "DOWNCONV", 0), 1);
    }

    void secondInstanceIsRefused() {
        QTemporaryDir lockDir;
        CScriptedUi ui;
        CKeldaStartup first;
        QVERIFY(first.acquireSingleInstance(ui, lockDir.path()));
        CKeldaStartup second;
        QVERIFY(!second.acquireSingleInstance(ui, lockDir.path()));
        QCOMPARE(ui.lastMessage()->text, QString("ＱＳ－ＺＵＮＯ音声ファイル管理は既に起動しています。"));
        QCOMPARE(ui.lastMessage()->icon, MsgIcon::Error);
        // A lock file left by a process that is gone does not block, whatever it holds.
        for (const QByteArray& left :
             {QByteArray("999999\nkelda\n") + QSysInfo::machineHostName().toUtf8() + "\n", QByteArray(),
              QByteArray("12\nkelda\nanother-host\n"), QByteArray("\xff\x00x")}) {
            QTemporaryDir staleDir;
            QFile stale(CKeldaStartup::lockFilePath(staleDir.path()));
            QVERIFY(stale.open(QIODevice::WriteOnly));
            stale.write(left);
            stale.close();
            CKeldaStartup third;
            QVERIFY(third.acquireSingleInstance(ui, staleDir.path()));
        }
        // Once the instance holding it ends, the next start takes the lock.
        QTemporaryDir again;
        {
            CKeldaStartup gone;
            QVERIFY(gone.acquireSingleInstance(ui, again.path()));
        }
        CKeldaStartup next;
        QVERIFY(next.acquireSingleInstance(ui, again.path()));

        const auto o = CKeldaStartup::parse({"kelda", "--settings-dir", "/x", "--unit-port=2121", "--verbose"});
        QCOMPARE(o.settingsDir, QString("/x"));
        QCOMPARE(o.unitPort, 2121);
        QVERIFY(o.verbose && o.error.isEmpty());
        QCOMPARE(CKeldaStartup::settingsFile("/x", "/tmp/y-settings"), QString("/tmp/y-settings/KELDA.ini"));
    }

    // Every bar button is reached by Tab from the first one, pressed by Space and Return, and by its key.
    void keyboardReachesEveryBarButton_data() {
        QTest::addColumn<int>("cmd");
        for (int c = 0; c < C::BUTTON_COUNT; ++c) {
            QTest::newRow(qPrintable(C::label(C::Command(c)))) << c;
        }
    }

    void keyboardReachesEveryBarButton() {
        QFETCH(int, cmd);
        writeIni();
        CScriptedUi ui;
        CMainFrame frame(ui, m_ini);
        frame.startUp();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        int ran = -1;
        QVERIFY(frame.commands().replaceHandler(C::Command(cmd), [&] { ran = cmd; }));
        CCommandBar* bar = frame.commandBar();
        QPushButton* target = bar->button(C::Command(cmd));
        const auto enableAll = [bar] {
            for (QPushButton* b : bar->tabOrder()) {
                b->setEnabled(true);
            }
        };
        enableAll();
        QCOMPARE(bar->tabOrder().size(), C::BUTTON_COUNT);
        bar->tabOrder().first()->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < 2 * C::BUTTON_COUNT && QApplication::focusWidget() != target; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), target);
        QTest::keyClick(target, Qt::Key_Space);
        QCOMPARE(ran, cmd);
        ran = -1;
        enableAll();
        QTest::keyClick(target, Qt::Key_Return);
        QCOMPARE(ran, cmd);
        ran = -1;
        enableAll();
        const QKeySequence key(C::shortcut(C::Command(cmd)), QKeySequence::PortableText);
        QVERIFY(!key.isEmpty());
        QTest::keySequence(&frame, key);
        // A button pressed by its key shows itself pressed for a moment first.
        QTRY_COMPARE(ran, cmd);
        QVERIFY(target->toolTip().contains(key.toString(QKeySequence::NativeText)));
    }

    // A list that opens takes the keys: the arrows move its rows without a click first, Tab goes between it and
    // the bar, and the keys close it.
    void openedListTakesTheKeys() {
        writeIni();
        CScriptedUi ui;
        CMainFrame frame(ui, m_ini);
        frame.startUp();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        frame.commandBar()->button(C::CmdBox)->setFocus(Qt::TabFocusReason);
        frame.listCommands().boxChooser = choose({"r:01"});
        frame.runCommand(C::CmdBox);
        QVERIFY(frame.activeList());
        CDataListCtrl* list = frame.activeList()->view()->list();
        QCOMPARE(QApplication::focusWidget(), list);
        QCOMPARE(list->currentIndex().row(), 0);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->selectedRowNumbers(), std::vector<int>({1}));
        // Shift+Tab leaves the list for the bar's last button, and Tab comes back.
        QPushButton* last = frame.commandBar()->tabOrder().last();
        QTest::keyClick(list, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), last);
        QTest::keyClick(last, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), list);
        // 消去 needs a selected row.
        QPushButton* erase = frame.commandBar()->button(C::CmdDelete);
        QTRY_VERIFY(erase->isEnabled());
        const QPoint selectedRow = list->visualRect(list->model()->index(1, 0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, selectedRow);
        QVERIFY(list->selectedRowNumbers().empty());
        QTRY_VERIFY(!erase->isEnabled());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, selectedRow);
        QTRY_VERIFY(erase->isEnabled());
        // Ctrl+W closes the active list window, from the bar too, and Ctrl+F4 the next from inside the list.
        frame.listCommands().boxChooser = choose({"r:02"});
        frame.runCommand(C::CmdBox);
        QCOMPARE(frame.listWindows().size(), 2);
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        frame.commandBar()->button(C::CmdBox)->setFocus(Qt::TabFocusReason);
        QTest::keySequence(frame.commandBar()->button(C::CmdBox), QKeySequence("Ctrl+W"));
        QTRY_COMPARE(frame.listWindows().size(), 1);
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QTest::keySequence(frame.activeList()->view()->list(), QKeySequence("Ctrl+F4"));
        QTRY_COMPARE(frame.listWindows().size(), 0);
        QTRY_VERIFY(!erase->isEnabled());
        ui.replies.push_back(MsgResult::Yes);
        QVERIFY(frame.close());
    }

    // The border and caption of an arranged list window are painted whole: nothing shows through from before.
    void arrangedListWindowsArePaintedWhole_data() {
        QTest::addColumn<int>("arrangement");
        QTest::newRow("並べて表示") << int(C::CmdTile);
        QTest::newRow("上下に並べて表示") << int(C::CmdTileHorz);
        QTest::newRow("左右に並べて表示") << int(C::CmdTileVert);
        QTest::newRow("重ねて表示") << int(C::CmdCascade);
    }

    void arrangedListWindowsArePaintedWhole() {
        QFETCH(int, arrangement);
        writeIni();
        CScriptedUi ui;
        CMainFrame frame(ui, m_ini);
        frame.startUp();
        for (const char* box : {"r:01", "r:02"}) {
            frame.listCommands().boxChooser = choose({box});
            frame.runCommand(C::CmdBox);
        }
        QCOMPARE(frame.listWindows().size(), 2);
        frame.runCommand(C::Command(arrangement));
        const QRect client = frame.mdiArea()->viewport()->rect();
        for (CChildFrame* f : frame.listWindows()) {
            QVERIFY(!f->isMaximized());
            QVERIFY(client.contains(f->geometry()));
            // Wider and higher than the toolkit's smallest windows.
            QVERIFY2(f->width() * 3 >= client.width() && f->height() * 3 >= client.height(),
                     qPrintable(QString("%1x%2 in %3x%4")
                                    .arg(f->width())
                                    .arg(f->height())
                                    .arg(client.width())
                                    .arg(client.height())));
            QImage shot(f->size(), QImage::Format_RGB32);
            shot.fill(Qt::magenta);
            f->render(&shot);
            // The rounded corners of the caption are cut off the window's shape; the workspace shows there.
            const QRegion shape = f->mask().isEmpty() ? QRegion(f->rect()) : f->mask();
            int left = 0;
            for (int y = 0; y < shot.height(); ++y) {
                for (int x = 0; x < shot.width(); ++x) {
                    left += shape.contains(QPoint(x, y)) && shot.pixel(x, y) == QColor(Qt::magenta).rgb();
                }
            }
            QCOMPARE(left, 0);
        }
        ui.replies.push_back(MsgResult::Yes);
        QVERIFY(frame.close());
    }

    void f10OpensTheSettingsMenu() {
        writeIni();
        CScriptedUi ui;
        CMainFrame frame(ui, m_ini);
        frame.startUp();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QTest::keyClick(&frame, Qt::Key_F10);
        QVERIFY(frame.settingsMenu()->isVisible());
        QVERIFY(frame.settingsMenu()->activeAction());
        QCOMPARE(frame.settingsMenu()->activeAction()->text(), C::label(C::CmdLogin));
        frame.settingsMenu()->close();
    }

    // The box field shows both of its lines whole: the answering-machine boxes and the extension boxes.
    void boxFieldShowsTwoWholeLines() {
        writeIni();
        CScriptedUi ui;
        CMainFrame frame(ui, m_ini);
        frame.startUp();
        CWrapField* box = frame.commandBar()->boxField();
        box->setFieldText(" 留守録BOX：01,02  \r\n 内線BOX：100,101");
        QCOMPARE(box->lineCount(), 2);
        QTextCursor end(box->document());
        end.movePosition(QTextCursor::End);
        QVERIFY2(box->cursorRect(end).bottom() < box->viewport()->height(),
                 qPrintable(QString("line ends at %1, field shows %2")
                                .arg(box->cursorRect(end).bottom())
                                .arg(box->viewport()->height())));
        QVERIFY(box->geometry().bottom() < frame.commandBar()->button(C::CmdSelDisplay)->geometry().top());
    }

    void fieldsWrapOnlyAtTheirCharacter() {
        const QFontMetrics fm(QApplication::font());
        const QString path = " /home/user/download/folder";
        const int w = fm.horizontalAdvance(" /home/user/d");
        const QStringList lines = CWrapField::wrap(path, u'/', fm, w);
        QCOMPARE(lines, QStringList({" /home/user/", "download/", "folder"}));
        QCOMPARE(CWrapField::wrap("留守録BOX：01,02  \r\n 内線BOX：100", u',', fm, 1000).size(), 2);
        CWrapField field(u',', nullptr);
        field.resize(400, 40);
        field.setFieldText("留守録BOX：01");
        QCOMPARE(field.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        field.setFieldText("留守録BOX：01  \r\n 内線BOX：100");
        QCOMPARE(field.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    }
};

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
