#include "ui/shell/CAboutDlg.h"

#include "ui/CJapaneseFont.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("バージョン"));
    setFont(CJapaneseFont::font(13));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("ＱＳ－ＺＵＮＯ　音声ファイル管理"), this));
    layout->addWidget(new QLabel(QStringLiteral("Version ") + QStringLiteral(KELDA_VERSION_TEXT), this));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignRight);
}
