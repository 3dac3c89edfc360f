#include "ui/admin/CBoxNameListDlg.h"

#include "ui/CDialogButtons.h"
#include "ui/CJapaneseFont.h"
#include "ui/admin/CEditListCtrl.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

CBoxNameListDlg::CBoxNameListDlg(const QString& title, const QString& targetFolder, CEditListState& rusuroku,
                                 CEditListState& naisen, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    setFont(CJapaneseFont::font(13));
    auto* layout = new QVBoxLayout(this);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(QStringLiteral("対象フォルダ"), this));
    m_folder = new QLineEdit(targetFolder, this);
    m_folder->setReadOnly(true);
    folderRow->addWidget(m_folder, 1);
    layout->addLayout(folderRow);

    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("留守録BOX"), this), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("内線BOX"), this), 0, 1);
    m_rusuroku = new CEditListCtrl(rusuroku, 70, 110, this);
    m_naisen = new CEditListCtrl(naisen, 70, 110, this);
    for (CEditListCtrl* l : {m_rusuroku, m_naisen}) {
        l->setMinimumSize(205, 260);
    }
    lists->addWidget(m_rusuroku, 1, 0);
    lists->addWidget(m_naisen, 1, 1);
    layout->addLayout(lists, 1);

    // Return on a list (not in a cell's edit) presses OK.
    CDialogButtons::addOkCancel(*this, *layout, [this] { pressOk(); });
}

void CBoxNameListDlg::pressOk() {
    m_rusuroku->commitOpenEdit();
    m_naisen->commitOpenEdit();
    switch (ok()) {
    case Close::StayOpen:
        break;
    case Close::Done:
        accept();
        break;
    }
}
