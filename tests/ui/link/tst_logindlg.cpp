// The login dialog forwards what was typed to the core and shows the remembered values.
#include "link/CFtpMng.h"
#include "link/CLinkController.h"
#include "link/CLinkSettings.h"
#include "support/CScriptedUi.h"
#include "support/CZunoSimProcess.h"
#include "ui/link/CLoginDlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TestLoginDlg : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showsRememberedValuesAndLimits() {
        CLinkSettings settings;
        settings.remembered = {"192.168.10.5", "parvol", "pw"};
        settings.rememberFlag = 1;
        CScriptedUi ui;
        CLinkController link(settings, ui);
        CLoginDlg dlg(link);
        QCOMPARE(dlg.windowTitle(), QString("ログイン"));
        QCOMPARE(dlg.addressPart(0)->text(), QString("192"));
        QCOMPARE(dlg.addressPart(3)->text(), QString("5"));
        QCOMPARE(dlg.addressText(), QString("192.168.10.5"));
        QCOMPARE(dlg.userEdit()->text(), QString("parvol"));
        QCOMPARE(dlg.userEdit()->maxLength(), 16);
        QCOMPARE(dlg.passwordEdit()->maxLength(), 16);
        QCOMPARE(dlg.passwordEdit()->echoMode(), QLineEdit::Password);
        QVERIFY(dlg.rememberBox()->isChecked());
    }

    void invalidEntryKeepsDialogOpen() {
        CLinkSettings settings;
        CScriptedUi ui;
        CLinkController link(settings, ui);
        CLoginDlg dlg(link);
        QVERIFY(dlg.addressText().isEmpty());
        dlg.userEdit()->setText("mirta");
        dlg.passwordEdit()->setText("x");
        dlg.onLogin();
        QCOMPARE(ui.messageTexts(), QStringList({"ＩＰアドレスを入力してください。"}));
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        dlg.addressPart(0)->setText("10");
        dlg.userEdit()->setText("guest");
        dlg.onLogin();
        QCOMPARE(ui.messageTexts().last(), QString("入力値エラーです。"));
        QCOMPARE(settings.connection.address, QString("10.0.0.0"));
        QCOMPARE(settings.loggedIn, 0);
    }

    // While a login waits for a unit that never answers, the dialog says so, takes no second "ログイン", and
    // "キャンセル" (or Esc) ends the attempt and closes the dialog without a message after it.
    void waitingLoginShowsItselfAndCancels_data() {
        QTest::addColumn<bool>("byEsc");
        QTest::newRow("キャンセル") << false;
        QTest::newRow("Esc") << true;
    }

    void waitingLoginShowsItselfAndCancels() {
        QFETCH(bool, byEsc);
        CZunoSimProcess sim;
        QVERIFY(sim.start());
        sim.setFaults("greeting silence 30");
        CLinkSettings settings;
        settings.unitPort = sim.port();
        settings.remembered = {"127.0.0.1", "mirta", "zuno"};
        CScriptedUi ui;
        CLinkController link(settings, ui);
        CLoginDlg dlg(link);
        dlg.show();
        QVERIFY(dlg.waitLabel()->text().isEmpty());
        bool sawWaiting = false;
        ui.onDispatch = [&](int count) {
            if (count == 3) {
                sawWaiting = !dlg.loginButton()->isEnabled() && !dlg.waitLabel()->text().isEmpty() &&
                             dlg.cursor().shape() == Qt::WaitCursor && dlg.cancelButton()->isEnabled();
                // A second click starts nothing while the first attempt waits.
                dlg.onLogin();
            } else if (count == 5) {
                if (byEsc) {
                    QTest::keyClick(&dlg, Qt::Key_Escape);
                } else {
                    dlg.cancelButton()->click();
                }
                // The dialog stays until the attempt has ended.
                QVERIFY(dlg.isVisible());
            }
        };
        QElapsedTimer waited;
        waited.start();
        dlg.loginButton()->click();
        QVERIFY(waited.elapsed() < 3000);
        QVERIFY(sawWaiting);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(ui.messageTexts().isEmpty());
        QVERIFY(!link.ftp()->Connection());
        QCOMPARE(settings.loggedIn, 0);
        QVERIFY(dlg.loginButton()->isEnabled());
        QVERIFY(dlg.waitLabel()->text().isEmpty());
    }
};

QTEST_MAIN(TestLoginDlg)
#include "tst_logindlg.moc"
