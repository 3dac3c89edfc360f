#pragma once

#include <QDialog>

class CLinkController;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "ログイン": address in four parts, user name, password, the remember check box. The decisions are the core's
// (CLoginForm through the link controller); this only shows the fields.
class CLoginDlg : public QDialog {
    Q_OBJECT

public:
    CLoginDlg(CLinkController& link, QWidget* parent = nullptr);

    QLineEdit* addressPart(int i) const { return m_parts[i]; }
    QLineEdit* userEdit() const { return m_user; }
    QLineEdit* passwordEdit() const { return m_password; }
    QCheckBox* rememberBox() const { return m_remember; }
    QString addressText() const;
    QPushButton* loginButton() const { return m_loginButton; }
    QPushButton* cancelButton() const { return m_cancelButton; }
    // The line that tells an attempt is waiting for the unit; empty otherwise.
    QLabel* waitLabel() const { return m_waitLabel; }

public Q_SLOTS:
    void onLogin();
    // "キャンセル", Esc and the close box: while an attempt waits they end it, and the dialog closes after it.
    void reject() override;

private:
    void setWaiting(bool waiting);

    CLinkController& m_link;
    QLineEdit* m_parts[4] = {};
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QCheckBox* m_remember = nullptr;
    QPushButton* m_loginButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QLabel* m_waitLabel = nullptr;
    bool m_waiting = false;
    bool m_cancelRequested = false;
};
