// The WAV deletion window: the widget shows its logic's state and forwards clicks.
#include "list/CBoxOpenLogic.h"
#include "support/CScriptedUi.h"
#include "ui/CDialogTestKit.h"
#include "ui/operations/CBoxTickList.h"
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

class TestWavDeleteWnd : public QObject {
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
        CWavFileDelDlg logic(ui, folder, &CBoxOpenLogic::boxFolders);
        CWavFileDelWnd dlg(logic, nullptr);
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
        CWavFileDelDlg none(ui, folder, &CBoxOpenLogic::boxFolders);
        CWavFileDelWnd empty(none, nullptr);
        QCOMPARE(empty.run(), int(QDialog::Rejected));
        QCOMPARE(ui.messageTexts().last(), QStringLiteral("フォルダにＷＡＶファイルがありません。"));
    }
};

QTEST_MAIN(TestWavDeleteWnd)
#include "tst_wavdeletewnd.moc"
