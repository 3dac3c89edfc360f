#include "ui/admin/CMakeBoxFldDlg.h"

#include "admin/CBoxNameRules.h"
#include "admin/CMakeBoxFldLogic.h"
#include "ui/CDialogButtons.h"
#include "ui/CJapaneseFont.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

CMakeBoxFldDlg::CMakeBoxFldDlg(CMakeBoxFldLogic& logic, QWidget* parent) : QDialog(parent), m_logic(logic) {
    setWindowTitle(QStringLiteral("ボックスフォルダ作成"));
    setFont(CJapaneseFont::font(13));
    auto* layout = new QVBoxLayout(this);
    auto* kind = new QGroupBox(QStringLiteral("ボックス種別"), this);
    auto* kindLayout = new QHBoxLayout(kind);
    m_rusuroku = new QRadioButton(QStringLiteral("留守録BOX"), kind);
    m_naisen = new QRadioButton(QStringLiteral("内線BOX"), kind);
    auto* group = new QButtonGroup(this);
    group->addButton(m_rusuroku);
    group->addButton(m_naisen);
    kindLayout->addWidget(m_rusuroku);
    kindLayout->addWidget(m_naisen);
    layout->addWidget(kind);
    (logic.answeringMachineSelected() ? m_rusuroku : m_naisen)->setChecked(true);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("フォルダ名："), this));
    m_name = new QLineEdit(this);
    m_name->setMaxLength(CBoxNameRules::FOLDER_NAME_EDIT_LIMIT);
    nameRow->addWidget(m_name, 1);
    layout->addLayout(nameRow);

    CDialogButtons::addOkCancel(*this, *layout, [this] { pressOk(); });
}

void CMakeBoxFldDlg::pressOk() {
    if (m_logic.ok(m_rusuroku->isChecked(), m_name->text())) {
        accept();
    }
}
