#include "ui/operations/CDownKindSetDlg.h"

#include "operations/CDownKindSetLogic.h"
#include "ui/CDialogButtons.h"
#include "ui/CJapaneseFont.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

CDownKindSetDlg::CDownKindSetDlg(CDownKindSetLogic& logic, QWidget* parent) : QDialog(parent), m_logic(logic) {
    setWindowTitle(QStringLiteral("ダウンロード種別"));
    setFont(CJapaneseFont::font(13));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("ＺＵＮＯの音声メッセージをダウンロードします。"), this));
    layout->addWidget(new QLabel(QStringLiteral("ダウンロード種別を選択してください。"), this));
    layout->addSpacing(8);

    addKindRow(
        *this, *layout, m_logic, [this](int kind) { pressDownload(kind); }, m_voice, m_info);

    m_timer = new QTimer(this);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_logic.tick();
        updateButtons();
    });
    m_timer->start();
    updateButtons();
}

void CDownKindSetDlg::updateButtons() {
    m_voice->setEnabled(m_logic.buttonsEnabled());
    m_info->setEnabled(m_logic.buttonsEnabled());
}

void CDownKindSetDlg::pressDownload(int kind) {
    if (m_logic.download(CBoxDownload::KindOfButton(kind), [this] { hide(); }) == DlgOutcome::EndOk) {
        m_timer->stop();
        accept();
    }
}

void CDownKindSetDlg::addKindRow(QDialog& dialog, QBoxLayout& layout, CDownloadStartLogic& logic,
                                 std::function<void(int kind)> press, QPushButton*& voice, QPushButton*& info) {
    const int choiceRow = layout.count();
    const auto buttons = CDialogButtons::addChoices(dialog, layout,
                                                    {{QStringLiteral("録音情報と音声ファイル"), [press] { press(0); }},
                                                     {QStringLiteral("録音情報のみ"), [press] { press(1); }}},
                                                    0);
    voice = buttons[0];
    info = buttons[1];
    // Made after the buttons, so that the focus starts on the default kind and the choice comes after them in the
    // Tab order; shown above them.
    auto* includeDeleted = new QCheckBox(QStringLiteral("ＰＣのみで消去したメッセージもダウンロードする(&D)"), &dialog);
    includeDeleted->setObjectName(QStringLiteral("includeDeleted"));
    includeDeleted->setChecked(logic.includeDeletedOnPc());
    QObject::connect(includeDeleted, &QCheckBox::toggled, &dialog,
                     [&logic](bool on) { logic.setIncludeDeletedOnPc(on); });
    layout.insertWidget(choiceRow, includeDeleted);
}
