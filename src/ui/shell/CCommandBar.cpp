#include "ui/shell/CCommandBar.h"

#include "ui/CJapaneseFont.h"
#include "ui/shell/CWrapField.h"

#include <QPushButton>

CCommandBar::CCommandBar(QWidget* parent) : QWidget(parent) {
    setFont(CJapaneseFont::font(13));
    for (int i = 0; i < CMainFrameLogic::BUTTON_COUNT; ++i) {
        auto* b = new QPushButton(CMainFrameLogic::label(static_cast<CMainFrameLogic::Command>(i)), this);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QPushButton::clicked, this, [this, i] { Q_EMIT command(i); });
        m_buttons[i] = b;
    }
    m_buttons[CMainFrameLogic::CmdBulkDownload]->setEnabled(false);
    m_folder = new CWrapField(u'/', this);
    m_box = new CWrapField(u',', this);
    setFixedHeight(HEIGHT);
    layoutBar();
}

QSize CCommandBar::sizeHint() const {
    return {845, HEIGHT};
}

void CCommandBar::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    layoutBar();
}

void CCommandBar::layoutBar() {
    using C = CMainFrameLogic;
    const int w = width();
    const int h = 24;
    auto place = [&](C::Command cmd, int x, int y, int width) {
        m_buttons[cmd]->setGeometry(x, y, width, h);
        return x + width + 3;
    };
    // First row: the download commands, and the three fixed buttons at the right edge.
    int x = 5;
    x = place(C::CmdFolderDownload, x, 4, 118);
    x = place(C::CmdBulkDownload, x, 4, 96);
    x = place(C::CmdSelDownload, x, 4, 96);
    place(C::CmdVoiceDownload, x, 4, 118);
    place(C::CmdSettings, w - 211 - 100, 4, 100);
    place(C::CmdWindow, w - 108 - 100, 4, 100);
    place(C::CmdVersion, w - 5 - 100, 4, 100);
    // Folder and box rows, each a button and its field to the right edge.
    place(C::CmdFolderName, 5, 33, 80);
    m_folder->setGeometry(88, 33, std::max(40, w - 5 - 88), 36);
    place(C::CmdBox, 5, 73, 80);
    m_box->setGeometry(88, 73, std::max(40, w - 5 - 88), 36);
    // Display and message commands.
    x = 5;
    x = place(C::CmdSelDisplay, x, 113, 80);
    x = place(C::CmdAllDisplay, x, 113, 80);
    x = place(C::CmdNotDownloaded, x, 113, 110);
    x = place(C::CmdConvert, x, 113, 80);
    x = place(C::CmdPlay, x, 113, 80);
    x = place(C::CmdDelete, x, 113, 80);
    place(C::CmdMoveCopy, x, 113, 96);
}
