#pragma once

#include <QDialog>

class CLinkController;
class QCheckBox;
class QLineEdit;

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

public Q_SLOTS:
    void onLogin();

private:
    CLinkController& m_link;
    QLineEdit* m_parts[4] = {};
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QCheckBox* m_remember = nullptr;
};
