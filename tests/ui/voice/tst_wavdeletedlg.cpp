// The WAV deletion window: the widget shows its logic's state and forwards clicks.
#include "list/CBoxOpenLogic.h"
#include "support/CScriptedUi.h"
#include "ui/CDialogTestKit.h"
#include "ui/operations/CBoxTickList.h"
#include "ui/voice/CWavFileDelDlg.h"
#include "voice/CWavFileDelLogic.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

#include <functional>

class TestWavDeleteDlg : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void wavDeletionDialog() {
        QTemporaryDir dir;
        const QString folder = dir.path() + "/f1";
        CDialogTestKit::mk(folder + "/rusuroku/0001");
        CDialogTestKit::mk(folder + "/naisen/0200");
        CDialogTestKit::mk(folder + "/naisen/0300");
        for (const QString& f : {folder + "/rusuroku/0001/a.wav", folder + "/naisen/0200/b.wav"}) {
            QFile file(f);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        CScriptedUi ui;
        CWavFileDelLogic logic(ui, folder, &CBoxOpenLogic::boxFolders);
        CWavFileDelDlg dlg(logic, nullptr);
        QVERIFY(dlg.prepare());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("ＷＡＶファイル消去"));
        QCOMPARE(dlg.naisenList()->rowCount(), 1); // only the box holding a WAV file
        dlg.show();
        dlg.naisenList()->clickTick(0);
        CDialogTestKit::render(dlg, "wavfiledel");
        ui.replies = {MsgResult::No};
        CDialogTestKit::button(dlg, QStringLiteral("消去"))->click();
        QVERIFY(dlg.isVisible());
        ui.replies = {MsgResult::Yes};
        CDialogTestKit::button(dlg, QStringLiteral("消去"))->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!QFileInfo::exists(folder + "/naisen/0200/b.wav"));
        QVERIFY(QFileInfo::exists(folder + "/rusuroku/0001/a.wav"));

        // Nothing left to delete in that box list: the window does not open.
        QFile::remove(folder + "/rusuroku/0001/a.wav");
        CWavFileDelLogic none(ui, folder, &CBoxOpenLogic::boxFolders);
        CWavFileDelDlg empty(none, nullptr);
        QCOMPARE(empty.run(), DlgOutcome::EndCancel);
        QCOMPARE(ui.messageTexts().last(), QStringLiteral("フォルダにＷＡＶファイルがありません。"));
    }

    // The tick list's keys: Space alone ticks the current row (and ticks it off again), Space with a modifier
    // leaves the ticks alone, Tab moves on to the next control.
    void tickListKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier) << true;
        QTest::newRow("Ctrl+Space") << int(Qt::Key_Space) << int(Qt::ControlModifier) << false;
        QTest::newRow("Shift+Space") << int(Qt::Key_Space) << int(Qt::ShiftModifier) << false;
        QTest::newRow("Tab") << int(Qt::Key_Tab) << int(Qt::NoModifier) << false;
    }

    void tickListKeys() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, ticked);
        bool tick = false;
        CBoxTickList::Access access{[] { return 2; }, [](int i) { return QString::number(i); },
                                    [&tick](int i) { return i == 0 && tick; },
                                    [&tick](int i) {
                                        if (i == 0) {
                                            tick = !tick;
                                        }
                                    }};
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* list = new CBoxTickList(access, QString(), &window);
        layout->addWidget(list);
        layout->addWidget(new QPushButton("after", &window));
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        list->setFocus(Qt::TabFocusReason);
        list->setCurrentCell(0, 1);
        QTest::keyClick(list, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(tick, ticked);
        QCOMPARE(QApplication::focusWidget() == list, key != Qt::Key_Tab);
        if (ticked) {
            QTest::keyClick(list, Qt::Key_Space);
            QVERIFY(!tick);
        }
    }
};

QTEST_MAIN(TestWavDeleteDlg)
#include "tst_wavdeletedlg.moc"
