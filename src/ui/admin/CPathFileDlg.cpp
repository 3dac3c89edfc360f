#include "ui/admin/CPathFileDlg.h"

#include "ui/CDialogButtons.h"
#include "ui/CJapaneseFont.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

CPathFileDlg::CPathFileDlg(const QString& groupTitle, QWidget* parent) : QDialog(parent) {
    setFont(CJapaneseFont::font(13));
    auto* layout = new QVBoxLayout(this);
    m_text = new QLabel(this);
    layout->addWidget(m_text);
    auto* target = new QGroupBox(groupTitle, this);
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

    m_ok = CDialogButtons::addOkCancel(*this, *layout, [this] { pressOk(); });
    connect(m_choose, &QPushButton::clicked, this, [this] { pressChoose(); });
}

void CPathFileDlg::followEdits(std::function<void(const QString&)> folderEdited,
                               std::function<void(const QString&)> fileEdited, std::function<bool()> okEnabled) {
    connect(m_folder, &QLineEdit::textEdited, this, [this, folderEdited, okEnabled](const QString& t) {
        folderEdited(t);
        m_ok->setEnabled(okEnabled());
    });
    connect(m_file, &QLineEdit::textEdited, this, [this, fileEdited, okEnabled](const QString& t) {
        fileEdited(t);
        m_ok->setEnabled(okEnabled());
    });
}

void CPathFileDlg::showState(const Shown& shown) {
    setWindowTitle(shown.title);
    m_text->setText(shown.text);
    if (m_folder->text() != shown.folder) {
        m_folder->setText(shown.folder);
    }
    if (m_file->text() != shown.file) {
        m_file->setText(shown.file);
    }
    m_ok->setEnabled(shown.okEnabled);
    m_progress->setVisible(shown.progressVisible);
    if (m_progress->maximum() != shown.progressMax) {
        m_progress->setRange(0, shown.progressMax);
    }
    m_progress->setValue(shown.progressPos);
}
