// The windows of deletion and move/copy: which buttons are live and what a click on a check cell does.
#include "operations/CDelKindSetLogic.h"
#include "operations/CMsgCopyLogic.h"
#include "shell/CKELDADoc.h"
#include "support/CScriptedUi.h"
#include "ui/operations/CBoxTickList.h"
#include "ui/operations/CDelKindSetDlg.h"
#include "ui/operations/CMsgCopyDlg.h"
#include "ui/operations/COwrMsgDlg.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(OverwriteAnswer)

class TestMsgOpsDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void kindDialogGreysTheUnitButtonsWithoutTheLink() {
        CScriptedUi ui;
        CKELDADoc doc;
        doc.loggedIn = 1;
        CDelKindSetLogic logic(ui, doc);
        CDelKindSetDlg dlg(logic, nullptr);
        QCOMPARE(dlg.windowTitle(), QString("音声メッセージ消去"));
        QVERIFY(dlg.unitButton()->isEnabled());
        QVERIFY(dlg.bothButton()->isEnabled());
        doc.loggedIn = 0;
        QTRY_VERIFY_WITH_TIMEOUT(!dlg.unitButton()->isEnabled(), 2500); // the dialog's own 1000 ms timer
        QVERIFY(!dlg.bothButton()->isEnabled());
        QVERIFY(dlg.pcButton()->isEnabled());
        ui.replies = {MsgResult::Yes};
        dlg.pressKind(CMsgDelete::Kind::PcOnly);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(logic.kind(), CMsgDelete::Kind::PcOnly);

        CDelKindSetLogic offline(ui, doc);
        CDelKindSetDlg closed(offline, nullptr);
        QVERIFY(!closed.unitButton()->isEnabled()); // checked on opening
    }

    void copyDialogKeepsOneCheck() {
        QTemporaryDir dir;
        QDir().mkpath(dir.path() + "/f1/rusuroku/0001");
        QDir().mkpath(dir.path() + "/f1/rusuroku/0002");
        QDir().mkpath(dir.path() + "/f1/naisen/2001");
        CScriptedUi ui;
        CMsgCopyLogic logic(ui, dir.path() + "/f1");
        CMsgCopyDlg dlg(logic, nullptr);
        QVERIFY(dlg.prepare());
        QCOMPARE(dlg.answeringList()->rowCount(), 2);
        QCOMPARE(dlg.extensionList()->rowCount(), 1);
        dlg.answeringList()->clickTick(1);
        dlg.extensionList()->clickTick(0);
        QVERIFY(!dlg.answeringList()->isTicked(1));
        QVERIFY(dlg.extensionList()->isTicked(0));
        dlg.pressKind(CMsgCopy::Kind::Move);
        QCOMPARE(logic.target(), QString("naisen/2001"));
        QCOMPARE(ui.messages.last().caption, QString("移動の確認"));
    }

    void overwriteQuestion() {
        COwrMsgDlg dlg("X.vminf", nullptr);
        QCOMPARE(dlg.windowTitle(), QString("ﾌｧｲﾙ上書きの確認"));
        QStringList texts;
        for (auto* l : dlg.findChildren<QLabel*>()) {
            texts << l->text();
        }
        QVERIFY(texts.contains("このﾌｫﾙﾀﾞには既に X.vminf ﾌｧｲﾙが存在します。"));
        QVERIFY(texts.contains("上書きしますか？"));
        QStringList buttons;
        for (auto* b : dlg.findChildren<QPushButton*>()) {
            buttons << b->text();
        }
        QCOMPARE(buttons, (QStringList{"はい(&Y)", "全て上書き(&A)", "いいえ(&N)", "キャンセル"}));
        QCOMPARE(dlg.answer(), OverwriteAnswer::Cancel);
        dlg.findChildren<QPushButton*>()[1]->click();
        QCOMPARE(dlg.answer(), OverwriteAnswer::All);
    }

    void overwriteQuestionTakesTheButtonLetters_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<OverwriteAnswer>("answer");
        QTest::newRow("y") << int(Qt::Key_Y) << int(Qt::NoModifier) << OverwriteAnswer::Yes;
        QTest::newRow("Y") << int(Qt::Key_Y) << int(Qt::ShiftModifier) << OverwriteAnswer::Yes;
        QTest::newRow("a") << int(Qt::Key_A) << int(Qt::NoModifier) << OverwriteAnswer::All;
        QTest::newRow("n") << int(Qt::Key_N) << int(Qt::NoModifier) << OverwriteAnswer::No;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << int(Qt::NoModifier) << OverwriteAnswer::Cancel;
        QTest::newRow("Ctrl+N is no answer") << int(Qt::Key_N) << int(Qt::ControlModifier) << OverwriteAnswer::Cancel;
    }
    void overwriteQuestionTakesTheButtonLetters() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(OverwriteAnswer, answer);
        COwrMsgDlg dlg("X.vmdat", nullptr);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTest::keyClick(&dlg, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(dlg.answer(), answer);
        QCOMPARE(dlg.isVisible(), key == Qt::Key_N && modifiers == Qt::ControlModifier);
    }
};

QTEST_MAIN(TestMsgOpsDialogs)
#include "tst_msgopsdialogs.moc"
