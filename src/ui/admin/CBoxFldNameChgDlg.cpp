#include "ui/admin/CBoxFldNameChgDlg.h"

#include "admin/CBoxFldNameChgLogic.h"
#include "ui/CJapaneseFont.h"
#include "ui/admin/CEditListCtrl.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CBoxFldNameChgDlg::CBoxFldNameChgDlg(CBoxFldNameChgLogic& logic, QWidget* parent) : QDialog(parent), m_logic(logic) {
    setWindowTitle(QStringLiteral("ボックスフォルダ名称変更"));
    setFont(CJapaneseFont::font(13));
    auto* layout = new QVBoxLayout(this);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(QStringLiteral("対象フォルダ"), this));
    m_folder = new QLineEdit(logic.targetFolder(), this);
    m_folder->setReadOnly(true);
    folderRow->addWidget(m_folder, 1);
    layout->addLayout(folderRow);

    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("留守録BOX"), this), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("内線BOX"), this), 0, 1);
    m_rusuroku = new CEditListCtrl(logic.list(true), 70, 110, this);
    m_naisen = new CEditListCtrl(logic.list(false), 70, 110, this);
    for (CEditListCtrl* l : {m_rusuroku, m_naisen}) {
        l->setMinimumSize(205, 260);
    }
    lists->addWidget(m_rusuroku, 1, 0);
    lists->addWidget(m_naisen, 1, 1);
    layout->addLayout(lists, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    // Return on a list (not in a cell's edit) presses OK.
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &CBoxFldNameChgDlg::pressOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CBoxFldNameChgDlg::pressOk() {
    m_rusuroku->commitOpenEdit();
    m_naisen->commitOpenEdit();
    switch (m_logic.ok()) {
    case CBoxFldNameChgLogic::Ok::StayOpen:
        break;
    case CBoxFldNameChgLogic::Ok::Declined:
        reject();
        break;
    case CBoxFldNameChgLogic::Ok::Renamed:
        accept();
        break;
    }
}
