#include "ui/operations/CDelKindSetDlg.h"

#include "operations/CDelKindSetLogic.h"
#include "ui/CJapaneseFont.h"

#include <QHBoxLayout>
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

    auto* buttons = new QHBoxLayout;
    m_unit = new QPushButton(QStringLiteral("ＺＵＮＯのみ"), this);
    m_both = new QPushButton(QStringLiteral("ＺＵＮＯとＰＣ"), this);
    m_pc = new QPushButton(QStringLiteral("ＰＣのみ"), this);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    for (QPushButton* b : {m_unit, m_both, m_pc, cancel}) {
        buttons->addWidget(b);
    }
    // Nothing asks again after a kind is chosen: Return alone deletes nothing.
    cancel->setDefault(true);
    cancel->setFocus();
    layout->addLayout(buttons);
    connect(m_unit, &QPushButton::clicked, this, [this] { pressKind(CMsgDelete::Kind::UnitOnly); });
    connect(m_both, &QPushButton::clicked, this, [this] { pressKind(CMsgDelete::Kind::UnitAndPc); });
    connect(m_pc, &QPushButton::clicked, this, [this] { pressKind(CMsgDelete::Kind::PcOnly); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

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
    if (m_logic.choose(kind) == CDelKindSetLogic::EndOk) {
        m_timer->stop();
        accept();
    }
}
