#include "ui/link/CRecomDlg.h"

#include "link/CLinkController.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CRecomDlg::CRecomDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("QS-ZUNO音声ファイル管理"));
    auto* top = new QVBoxLayout(this);
    top->addWidget(new QLabel(QStringLiteral("ＺＵＮＯとの通信が切断されました。"), this));
    top->addWidget(new QLabel(QStringLiteral("主装置またはＺＵＮＯを確認後、再接続してください。"), this));
    auto* reconnect = new QPushButton(QStringLiteral("再接続"), this);
    reconnect->setDefault(true);
    auto* quit = new QPushButton(QStringLiteral("終了"), this);
    connect(reconnect, &QPushButton::clicked, this, [this] { done(int(CLinkController::RecomChoice::Reconnect)); });
    connect(quit, &QPushButton::clicked, this, [this] { done(int(CLinkController::RecomChoice::Exit)); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(reconnect);
    buttons->addWidget(quit);
    top->addLayout(buttons);
}

CLinkController::RecomChoice CRecomDlg::ask(QWidget* parent) {
    CRecomDlg dlg(parent);
    // Closing the window without a button is not a request to reconnect.
    return dlg.exec() == int(CLinkController::RecomChoice::Reconnect) ? CLinkController::RecomChoice::Reconnect
                                                                      : CLinkController::RecomChoice::Exit;
}
