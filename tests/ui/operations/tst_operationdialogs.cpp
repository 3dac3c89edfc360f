// The box-selection and download-kind dialogs: the widgets show their logic's state and forward clicks.
#include "operations/CDownKindSetLogic.h"
#include "operations/CSelDownLogic.h"
#include "shell/CKELDADoc.h"
#include "support/CFakeUnit.h"
#include "support/CScriptedUi.h"
#include "ui/CDialogTestKit.h"
#include "ui/operations/CBoxTickList.h"
#include "ui/operations/CDownKindSetDlg.h"
#include "ui/operations/CSelDownDlg.h"

#include <QApplication>
#include <QCheckBox>
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
} // namespace

class TestOperationDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void boxSelectionDialog() {
        QTemporaryDir dir;
        CScriptedUi ui;
        CKELDADoc doc;
        doc.folder = dir.path() + "/";
        doc.folderName = "f1";
        doc.loggedIn = 1;
        FakeUnit unit;
        CDialogTestKit::mk(dir.path() + "/f1/rusuroku");
        {
            // No box folder at all: the dialog never shows.
            CSelDownLogic empty(ui, doc, unit);
            CSelDownDlg dlg(empty, nullptr);
            QCOMPARE(dlg.run(), DlgOutcome::EndCancel);
            QVERIFY(!dlg.isVisible());
            QCOMPARE(ui.messages.size(), 1);
        }
        CDialogTestKit::mk(dir.path() + "/f1/rusuroku/0001");
        CDialogTestKit::mk(dir.path() + "/f1/naisen/0200");
        CDialogTestKit::mk(dir.path() + "/f1/naisen/0201");
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
        CDialogTestKit::button(dlg, QStringLiteral("全選択"), 1)->click();
        QVERIFY(dlg.extensionList()->isTicked(0) && dlg.extensionList()->isTicked(1));
        QVERIFY(!dlg.answeringList()->isTicked(0));
        CDialogTestKit::button(dlg, QStringLiteral("全未選択"), 1)->click();
        QVERIFY(!dlg.extensionList()->isTicked(0));
        dlg.answeringList()->clickTick(0);
        QVERIFY(logic.answering()[0].ticked);
        CDialogTestKit::render(dlg, "seldown");

        ui.replies = {MsgResult::Yes};
        dlg.infoButton()->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(unit.calls, QStringList({"count /rusuroku/0001 1", "info /rusuroku/0001"}));
    }

    void downloadKindDialog() {
        QTemporaryDir dir;
        CDialogTestKit::mk(dir.path() + "/f1/rusuroku/0001");
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
        CDialogTestKit::render(dlg, "downkind");
        // The choice to bring back what was deleted on the PC alone is the logic's, off until ticked.
        auto* includeDeleted = dlg.findChild<QCheckBox*>("includeDeleted");
        QVERIFY(includeDeleted && !includeDeleted->isChecked());
        includeDeleted->click();
        QVERIFY(logic.includeDeletedOnPc());
        ui.replies = {MsgResult::No};
        dlg.voiceButton()->click();
        QVERIFY(dlg.isVisible());
        QVERIFY(unit.calls.isEmpty());
        doc.loggedIn = 0;
        QTRY_VERIFY_WITH_TIMEOUT(!dlg.voiceButton()->isEnabled() && !dlg.infoButton()->isEnabled(), 3000);
    }
};

QTEST_MAIN(TestOperationDialogs)
#include "tst_operationdialogs.moc"
