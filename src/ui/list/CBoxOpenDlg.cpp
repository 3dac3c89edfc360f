#include "ui/list/CBoxOpenDlg.h"

#include "list/CBoxOpenLogic.h"
#include "ui/CDialogButtons.h"
#include "ui/CJapaneseFont.h"
#include "ui/list/CCheckListCtrl.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CBoxOpenDlg::CBoxOpenDlg(CBoxOpenLogic& logic, QWidget* parent) : QDialog(parent), m_logic(logic) {
    setWindowTitle(QStringLiteral("ボックスを開く"));
    setFont(CJapaneseFont::font(13));
    auto* layout = new QVBoxLayout(this);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(QStringLiteral("ダウンロード先フォルダ"), this));
    auto* folder = new QLineEdit(logic.downloadFolder(), this);
    folder->setReadOnly(true);
    folderRow->addWidget(folder, 1);
    layout->addLayout(folderRow);

    auto* lists = new QHBoxLayout;
    auto makeGroup = [&](const QString& title, std::vector<CBoxOpenLogic::Row>& rows) {
        auto* group = new QGroupBox(title, this);
        auto* g = new QVBoxLayout(group);
        auto* list = new CCheckListCtrl(rows, group);
        list->setMinimumSize(190, 220);
        g->addWidget(list);
        CDialogButtons::addAllNone(*this, group, *g, [&rows, list](bool ticked) {
            CBoxOpenLogic::setAll(rows, ticked);
            list->refresh();
        });
        lists->addWidget(group);
        return list;
    };
    m_rusu = makeGroup(QStringLiteral("留守録BOX"), logic.rusuroku());
    m_naisen = makeGroup(QStringLiteral("内線BOX"), logic.naisen());
    layout->addLayout(lists);

    CDialogButtons::addOkCancel(
        *this, *layout, [this] { pressOpen(); }, QStringLiteral("開く"));
}

void CBoxOpenDlg::pressOpen() {
    m_slot = m_logic.accept();
    // Both refusals close the dialog as well; only a filled slot opens a list.
    if (m_slot > 0) {
        accept();
    } else {
        reject();
    }
}

int CBoxOpenDlg::run() {
    if (!m_logic.checkHasBoxes()) {
        return 0;
    }
    m_slot = 0;
    return exec() == QDialog::Accepted ? m_slot : 0;
}
