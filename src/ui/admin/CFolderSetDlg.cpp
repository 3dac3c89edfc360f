#include "ui/admin/CFolderSetDlg.h"

#include "admin/CFolderSetLogic.h"
#include "ui/CDialogButtons.h"
#include "ui/CJapaneseFont.h"
#include "ui/admin/CFolderSetSubDlg.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CFolderSetDlg::CFolderSetDlg(CFolderSetLogic& logic, const QString& downloadRoot, QWidget* parent)
    : QDialog(parent), m_logic(logic), m_root(downloadRoot) {
    setWindowTitle(QStringLiteral("起動時のフォルダ指定"));
    setFont(CJapaneseFont::font(13));
    auto* layout = new QVBoxLayout(this);

    m_previous = new QRadioButton(QStringLiteral("起動時に前回のフォルダを開く"), this);
    m_specified = new QRadioButton(QStringLiteral("起動時に指定のフォルダを開く"), this);
    auto* group = new QButtonGroup(this);
    group->addButton(m_previous);
    group->addButton(m_specified);
    layout->addWidget(m_previous);
    layout->addWidget(m_specified);

    auto* folderRow = new QHBoxLayout;
    folderRow->addSpacing(20);
    folderRow->addWidget(new QLabel(QStringLiteral("指定フォルダ名"), this));
    m_field = new QLineEdit(this);
    m_field->setReadOnly(true);
    m_field->setMinimumWidth(320);
    folderRow->addWidget(m_field, 1);
    m_choose = new QPushButton(QStringLiteral("設定"), this);
    folderRow->addWidget(m_choose);
    layout->addLayout(folderRow);

    m_ok = CDialogButtons::addOkCancel(*this, *layout, [this] { pressOk(); });

    m_logic.open();
    (m_logic.specified() ? m_specified : m_previous)->setChecked(true);
    updateControls();

    connect(m_previous, &QRadioButton::clicked, this, [this] {
        m_logic.selectPrevious();
        updateControls();
    });
    connect(m_specified, &QRadioButton::clicked, this, [this] {
        m_logic.selectSpecified();
        updateControls();
    });
    connect(m_choose, &QPushButton::clicked, this, &CFolderSetDlg::pressChoose);
}

void CFolderSetDlg::updateControls() {
    m_field->setText(m_logic.field());
    m_field->setEnabled(m_logic.chooserEnabled());
    m_choose->setEnabled(m_logic.chooserEnabled());
}

void CFolderSetDlg::pressChoose() {
    CFolderSetSubDlg sub(m_root, this);
    if (sub.exec() == QDialog::Accepted && !sub.chosenPath().isEmpty()) {
        m_logic.chosen(sub.chosenPath());
        updateControls();
        // A folder chosen is what the dialog was opened for: Return now ends it instead of choosing again.
        m_ok->setFocus(Qt::OtherFocusReason);
    }
}

void CFolderSetDlg::pressOk() {
    if (m_logic.ok()) {
        accept();
    }
}
