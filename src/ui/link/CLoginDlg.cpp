#include "ui/link/CLoginDlg.h"

#include "link/CLinkController.h"
#include "link/CLoginForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CLoginDlg::CLoginDlg(CLinkController& link, QWidget* parent) : QDialog(parent), m_link(link) {
    setWindowTitle(QStringLiteral("ログイン"));
    CLoginForm form(link.settings());

    auto* address = new QHBoxLayout;
    address->setSpacing(2);
    const QStringList initial = form.initialAddressParts();
    for (int i = 0; i < 4; ++i) {
        m_parts[i] = new QLineEdit(this);
        m_parts[i]->setMaxLength(3);
        m_parts[i]->setValidator(new QIntValidator(0, 255, m_parts[i]));
        m_parts[i]->setAlignment(Qt::AlignCenter);
        m_parts[i]->setFixedWidth(44);
        m_parts[i]->setText(initial.value(i));
        address->addWidget(m_parts[i]);
        if (i < 3) {
            address->addWidget(new QLabel(QStringLiteral("."), this));
            // A full part moves on to the next one, as in an address control.
            connect(m_parts[i], &QLineEdit::textEdited, this, [this, i](const QString& text) {
                if (text.size() == 3) {
                    m_parts[i + 1]->setFocus();
                    m_parts[i + 1]->selectAll();
                }
            });
        }
    }
    address->addStretch();

    m_user = new QLineEdit(form.initialUser(), this);
    m_user->setMaxLength(CLoginForm::kMaxUser);
    m_password = new QLineEdit(form.initialPassword(), this);
    m_password->setMaxLength(CLoginForm::kMaxPassword);
    m_password->setEchoMode(QLineEdit::Password);
    m_remember = new QCheckBox(QStringLiteral("アドレス,ユーザー名,パスワードを記憶する"), this);
    m_remember->setChecked(form.initialRemember());

    auto* loginButton = new QPushButton(QStringLiteral("ログイン"), this);
    loginButton->setDefault(true);
    auto* cancelButton = new QPushButton(QStringLiteral("キャンセル"), this);
    m_loginButton = loginButton;
    m_cancelButton = cancelButton;
    connect(loginButton, &QPushButton::clicked, this, &CLoginDlg::onLogin);
    connect(cancelButton, &QPushButton::clicked, this, &CLoginDlg::reject);
    m_waitLabel = new QLabel(this);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("ZUNOのＩＰアドレス："), this), 0, 0);
    grid->addLayout(address, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("ユーザー名："), this), 1, 0);
    grid->addWidget(m_user, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("パスワード："), this), 2, 0);
    grid->addWidget(m_password, 2, 1);
    grid->addWidget(m_remember, 3, 0, 1, 2);
    auto* place = new QLabel(form.passwordPlaceText(), this);
    place->setObjectName(QStringLiteral("passwordPlace"));
    place->setWordWrap(true);
    grid->addWidget(place, 4, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(loginButton);
    buttons->addWidget(cancelButton);
    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addWidget(m_waitLabel);
    top->addLayout(buttons);
}

QString CLoginDlg::addressText() const {
    QStringList parts;
    for (auto* p : m_parts) {
        parts << p->text();
    }
    return CLoginForm::joinAddress(parts);
}

void CLoginDlg::onLogin() {
    if (m_waiting || m_link.loginRunning()) {
        return;
    }
    const LOGIN_VALUES typed{addressText(), m_user->text(), m_password->text()};
    // Entries the checks refuse get their message at once; only an attempt that goes to the unit waits.
    const bool contactsUnit = CLoginForm::validate(typed).isEmpty();
    m_cancelRequested = false;
    if (contactsUnit) {
        setWaiting(true);
    }
    const bool loggedIn = m_link.login(typed, m_remember->isChecked());
    if (contactsUnit) {
        setWaiting(false);
    }
    if (loggedIn) {
        accept();
    } else if (m_cancelRequested) {
        m_cancelRequested = false;
        QDialog::reject();
    }
}

void CLoginDlg::reject() {
    if (m_waiting) {
        // The attempt sees the flag within one slice of its wait and returns to onLogin, which closes the dialog.
        m_cancelRequested = true;
        m_link.cancelLogin();
        return;
    }
    QDialog::reject();
}

void CLoginDlg::setWaiting(bool waiting) {
    m_waiting = waiting;
    m_loginButton->setEnabled(!waiting);
    for (auto* p : m_parts) {
        p->setReadOnly(waiting);
    }
    m_user->setReadOnly(waiting);
    m_password->setReadOnly(waiting);
    m_remember->setEnabled(!waiting);
    m_waitLabel->setText(waiting ? QStringLiteral("ZUNOに接続しています。しばらくお待ちください。") : QString());
    if (waiting) {
        setCursor(Qt::WaitCursor);
        // "キャンセル" stays the one thing to click, and looks it.
        m_cancelButton->setCursor(Qt::ArrowCursor);
    } else {
        unsetCursor();
        m_cancelButton->unsetCursor();
    }
}
