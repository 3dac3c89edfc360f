#include "ui/operations/CDownKindSetDlg.h"

#include "operations/CDownKindSetLogic.h"
#include "ui/CJapaneseFont.h"

#include <QHBoxLayout>
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

    auto* buttons = new QHBoxLayout;
    m_voice = new QPushButton(QStringLiteral("録音情報と音声ファイル"), this);
    m_info = new QPushButton(QStringLiteral("録音情報のみ"), this);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    for (QPushButton* b : {m_voice, m_info, cancel}) {
        buttons->addWidget(b);
    }
    // A confirmation follows before anything is downloaded.
    m_voice->setDefault(true);
    layout->addLayout(buttons);
    connect(m_voice, &QPushButton::clicked, this, [this] { pressDownload(0); });
    connect(m_info, &QPushButton::clicked, this, [this] { pressDownload(1); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

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
    if (m_logic.download(CBoxDownload::KindOfButton(kind), [this] { hide(); }) == CDownKindSetLogic::EndOk) {
        m_timer->stop();
        accept();
    }
}
