#include "ui/voice/CWavFileDelDlg.h"

#include "ui/CDialogButtons.h"
#include "ui/CJapaneseFont.h"
#include "ui/operations/CBoxTickList.h"
#include "voice/CWavFileDelLogic.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CWavFileDelDlg::CWavFileDelDlg(CWavFileDelLogic& logic, QWidget* parent) : QDialog(parent), m_logic(logic) {
    setWindowTitle(CWavFileDelLogic::title());
    setFont(CJapaneseFont::font(13));
    auto* layout = new QVBoxLayout(this);
    m_folder = new QLabel(this);
    m_folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_folder);

    auto* lists = new QHBoxLayout;
    auto makeList = [&](const QString& title, CWavFileDelLogic::BoxList which) {
        auto* group = new QGroupBox(title, this);
        auto* g = new QVBoxLayout(group);
        CBoxTickList::Access a;
        a.count = [this, which] { return static_cast<int>(m_logic.rows(which).size()); };
        a.boxNo = [this, which](int i) { return m_logic.rows(which)[static_cast<size_t>(i)].boxNo; };
        a.ticked = [this, which](int i) { return m_logic.rows(which)[static_cast<size_t>(i)].checked; };
        a.toggle = [this, which](int i) { m_logic.toggle(which, i); };
        auto* list = new CBoxTickList(a, QStringLiteral("選択"), group);
        list->setHorizontalHeaderLabels({QStringLiteral("選択"), QStringLiteral("BOX番号")});
        list->setMinimumSize(190, 220);
        g->addWidget(list);
        CDialogButtons::addAllNone(*this, group, *g, [this, which, list](bool ticked) {
            m_logic.setAll(which, ticked);
            list->refresh();
        });
        lists->addWidget(group);
        return list;
    };
    m_lists[0] = makeList(QStringLiteral("留守録BOX"), CWavFileDelLogic::Rusuroku);
    m_lists[1] = makeList(QStringLiteral("内線BOX"), CWavFileDelLogic::Naisen);
    layout->addLayout(lists);

    // A confirmation follows before anything is deleted.
    CDialogButtons::addOkCancel(
        *this, *layout, [this] { pressErase(); }, QStringLiteral("消去"));
}

bool CWavFileDelDlg::prepare() {
    if (!m_logic.open()) {
        return false;
    }
    m_folder->setText(m_logic.folderLabel());
    m_lists[0]->refresh();
    m_lists[1]->refresh();
    return true;
}

DlgOutcome CWavFileDelDlg::run() {
    return prepare() && exec() == QDialog::Accepted ? DlgOutcome::EndOk : DlgOutcome::EndCancel;
}

void CWavFileDelDlg::pressErase() {
    if (m_logic.erase()) {
        accept();
    }
}
