#include "ui/admin/CFolderChgDlg.h"

#include "admin/CFolderChgLogic.h"
#include "ui/admin/CFolderListCtrl.h"
#include "ui/admin/CFolderListDlgShape.h"
#include "ui/admin/CFolderNmChg.h"

#include <QPushButton>
#include <QVBoxLayout>

CFolderChgDlg::CFolderChgDlg(CFolderChgLogic& logic, CUserInterface& ui, QWidget* parent)
    : QDialog(parent), m_logic(logic), m_ui(ui) {
    const CFolderListDlgShape shape(this, QStringLiteral("フォルダ変更"));
    m_list = shape.list;
    QVBoxLayout* buttons = shape.buttons;
    m_change = new QPushButton(QStringLiteral("フォルダ変更"), this);
    m_rename = new QPushButton(QStringLiteral("フォルダ名称変更"), this);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    m_change->setDefault(true);
    buttons->addWidget(m_change);
    buttons->addWidget(m_rename);
    buttons->addStretch();
    buttons->addWidget(cancel);

    connect(m_change, &QPushButton::clicked, this, &CFolderChgDlg::pressChange);
    connect(m_rename, &QPushButton::clicked, this, &CFolderChgDlg::pressRename);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QTableWidget::itemSelectionChanged, this, [this] {
        m_logic.select(m_list->selectedRow());
        updateButtons();
    });

    m_logic.open();
    refill();
}

void CFolderChgDlg::refill() {
    {
        const QSignalBlocker block(m_list);
        m_list->fill(m_logic.rows());
    }
    m_logic.select(-1);
    updateButtons();
}

void CFolderChgDlg::updateButtons() {
    m_change->setEnabled(m_logic.buttonsEnabled());
    m_rename->setEnabled(m_logic.buttonsEnabled());
}

void CFolderChgDlg::pressChange() {
    if (m_logic.change()) {
        accept();
    }
}

void CFolderChgDlg::pressRename() {
    const int row = m_logic.selected();
    if (row < 0 || row >= m_logic.rows().size()) {
        return;
    }
    CFolderNmChg dlg(m_ui, m_logic.rows()[row].path, this);
    if (dlg.exec() == QDialog::Accepted) {
        m_logic.renamed();
        refill();
    }
}
