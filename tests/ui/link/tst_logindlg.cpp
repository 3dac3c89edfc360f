// The login dialog forwards what was typed to the core and shows the remembered values.
#include "link/CLinkController.h"
#include "link/CLinkSettings.h"
#include "support/CScriptedUi.h"
#include "ui/link/CLoginDlg.h"

#include <QCheckBox>
#include <QLineEdit>
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
};

QTEST_MAIN(TestLoginDlg)
#include "tst_logindlg.moc"
