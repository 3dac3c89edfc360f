#include "ui/operations/CSelDownDlg.h"

#include "operations/CSelDownLogic.h"
#include "ui/CDialogButtons.h"
#include "ui/CJapaneseFont.h"
#include "ui/operations/CBoxTickList.h"
#include "ui/operations/CDownKindSetDlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
CBoxTickList::Access accessTo(QList<CSelDownLogic::Row>& rows) {
    CBoxTickList::Access a;
    a.count = [&rows] { return static_cast<int>(rows.size()); };
    a.boxNo = [&rows](int i) { return rows[i].boxNo; };
    a.ticked = [&rows](int i) { return rows[i].ticked; };
    a.toggle = [&rows](int i) { rows[i].ticked = !rows[i].ticked; };
    return a;
}
} // namespace

CSelDownDlg::CSelDownDlg(CSelDownLogic& logic, QWidget* parent) : QDialog(parent), m_logic(logic) {
    setWindowTitle(QStringLiteral("ボックス選択"));
    setFont(CJapaneseFont::font(13));
    auto* layout = new QVBoxLayout(this);

    const CBoxTickList::Frame frame = CBoxTickList::addFrame(*this, *layout);
    m_folder = frame.folder;
    QGroupBox* boxGroup = frame.boxGroup;
    QHBoxLayout* lists = frame.lists;
    auto makeList = [&](const QString& title, QList<CSelDownLogic::Row>& rows) {
        auto* column = new QVBoxLayout;
        column->addWidget(new QLabel(title, boxGroup));
        auto* list = new CBoxTickList(accessTo(rows), QString(), boxGroup);
        list->setMinimumSize(170, 220);
        column->addWidget(list);
        CDialogButtons::addAllNone(*this, boxGroup, *column, [&rows, list](bool ticked) {
            CSelDownLogic::tickAll(rows, ticked);
            list->refresh();
        });
        lists->addLayout(column);
        return list;
    };
    m_answering = makeList(QStringLiteral("留守録BOX"), logic.answering());
    m_extension = makeList(QStringLiteral("内線BOX"), logic.extension());
    layout->addWidget(boxGroup);

    CDownKindSetDlg::addKindRow(
        *this, *layout, m_logic, [this](int kind) { pressDownload(kind); }, m_voice, m_info);

    m_timer = new QTimer(this);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_logic.tick();
        updateButtons();
    });
}

bool CSelDownDlg::prepare() {
    if (m_logic.open() == DlgOutcome::EndCancel) {
        return false;
    }
    m_folder->setText(m_logic.folderPath());
    m_answering->refresh();
    m_extension->refresh();
    updateButtons();
    m_timer->start();
    return true;
}

DlgOutcome CSelDownDlg::run() {
    return prepare() && exec() == QDialog::Accepted ? DlgOutcome::EndOk : DlgOutcome::EndCancel;
}

void CSelDownDlg::updateButtons() {
    m_voice->setEnabled(m_logic.buttonsEnabled());
    m_info->setEnabled(m_logic.buttonsEnabled());
}

void CSelDownDlg::pressDownload(int kind) {
    if (m_logic.download(CBoxDownload::KindOfButton(kind), [this] { hide(); }) == DlgOutcome::EndOk) {
        m_timer->stop();
        accept();
    }
}
