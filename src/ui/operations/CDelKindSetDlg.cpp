#include "ui/operations/CDelKindSetDlg.h"

#include "operations/CDelKindSetLogic.h"
#include "ui/CDialogButtons.h"
#include "ui/CJapaneseFont.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

CDelKindSetDlg::CDelKindSetDlg(CDelKindSetLogic& logic, QWidget* parent) : QDialog(parent), m_logic(logic) {
    setWindowTitle(QStringLiteral("音声メッセージ消去"));
    setFont(CJapaneseFont::font(13));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("選択した音声メッセージを消去します。"), this));
    layout->addWidget(new QLabel(QStringLiteral("消去種別を選択してください。"), this));
    layout->addSpacing(8);

    // Nothing asks again after a kind is chosen: Return alone deletes nothing.
    const auto buttons = CDialogButtons::addChoices(
        *this, *layout,
        {{QStringLiteral("ＺＵＮＯのみ"), [this] { pressKind(CMsgDelete::Kind::UnitOnly); }},
         {QStringLiteral("ＺＵＮＯとＰＣ"), [this] { pressKind(CMsgDelete::Kind::UnitAndPc); }},
         {QStringLiteral("ＰＣのみ"), [this] { pressKind(CMsgDelete::Kind::PcOnly); }}},
        3);
    m_unit = buttons[0];
    m_both = buttons[1];
    m_pc = buttons[2];
    buttons[3]->setFocus();

    m_timer = new QTimer(this);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &CDelKindSetDlg::tick);
    m_timer->start();
    tick();
}

void CDelKindSetDlg::tick() {
    m_logic.tick();
    updateButtons();
}

void CDelKindSetDlg::updateButtons() {
    m_unit->setEnabled(m_logic.unitButtonsEnabled());
    m_both->setEnabled(m_logic.unitButtonsEnabled());
}

void CDelKindSetDlg::pressKind(CMsgDelete::Kind kind) {
    if (m_logic.choose(kind) == DlgOutcome::EndOk) {
        m_timer->stop();
        accept();
    }
}
