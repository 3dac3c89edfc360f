#include "ui/admin/CExportSetDlg.h"

#include "admin/CExportSetLogic.h"
#include "ui/CJapaneseFont.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

CExportSetDlg::CExportSetDlg(CExportSetLogic& logic, QWidget* parent) : QDialog(parent), m_logic(logic) {
    setFont(CJapaneseFont::font(13));
    auto* layout = new QVBoxLayout(this);
    m_text = new QLabel(this);
    layout->addWidget(m_text);
    auto* target = new QGroupBox(QStringLiteral("エクスポート先"), this);
    auto* grid = new QGridLayout(target);
    grid->addWidget(new QLabel(QStringLiteral("フォルダ"), target), 0, 0);
    m_folder = new QLineEdit(target);
    m_folder->setMaxLength(259);
    m_folder->setMinimumWidth(300);
    grid->addWidget(m_folder, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("ファイル"), target), 1, 0);
    m_file = new QLineEdit(target);
    m_file->setMaxLength(259);
    grid->addWidget(m_file, 1, 1);
    m_choose = new QPushButton(QStringLiteral("設定"), target);
    grid->addWidget(m_choose, 1, 2);
    layout->addWidget(target);
    m_progress = new QProgressBar(this);
    m_progress->setTextVisible(false);
    // The bar's place is kept while it is hidden, so that the dialog does not change its size when a run starts.
    QSizePolicy keep = m_progress->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    m_progress->setSizePolicy(keep);
    layout->addWidget(m_progress);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    m_ok->setDefault(true);
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(m_folder, &QLineEdit::textEdited, this, [this](const QString& t) {
        m_logic.setFolder(t);
        m_ok->setEnabled(m_logic.okEnabled());
    });
    connect(m_file, &QLineEdit::textEdited, this, [this](const QString& t) {
        m_logic.setFile(t);
        m_ok->setEnabled(m_logic.okEnabled());
    });
    connect(m_choose, &QPushButton::clicked, this, &CExportSetDlg::pressChoose);
    connect(m_ok, &QPushButton::clicked, this, &CExportSetDlg::pressOk);
    connect(cancel, &QPushButton::clicked, this, &CExportSetDlg::reject);

    m_logic.changed = [this] { showState(); };
    m_logic.open();
}

void CExportSetDlg::showState() {
    setWindowTitle(m_logic.title());
    m_text->setText(m_logic.text());
    if (m_folder->text() != m_logic.folder()) {
        m_folder->setText(m_logic.folder());
    }
    if (m_file->text() != m_logic.file()) {
        m_file->setText(m_logic.file());
    }
    m_ok->setEnabled(m_logic.okEnabled());
    m_progress->setVisible(m_logic.progressVisible());
    if (m_progress->maximum() != m_logic.progressMax()) {
        m_progress->setRange(0, m_logic.progressMax());
    }
    m_progress->setValue(m_logic.progressPos());
}

void CExportSetDlg::pressChoose() {
    m_logic.choose();
}

void CExportSetDlg::pressOk() {
    if (m_logic.ok() == CExportSetLogic::Ok::Exported) {
        accept();
    }
}

void CExportSetDlg::reject() {
    if (m_logic.cancel()) {
        QDialog::reject();
    }
}
