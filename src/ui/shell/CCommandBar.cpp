#include "ui/shell/CCommandBar.h"

#include "ui/CJapaneseFont.h"
#include "ui/shell/CWrapField.h"

#include <QKeySequence>
#include <QPushButton>

namespace {
using C = CMainFrameLogic;
constexpr int kButtonHeight = 24;
constexpr int kGap = 4;
} // namespace

CCommandBar::CCommandBar(QWidget* parent) : QWidget(parent) {
    setFont(CJapaneseFont::font(13));
    for (int i = 0; i < C::BUTTON_COUNT; ++i) {
        const auto cmd = static_cast<C::Command>(i);
        auto* b = new QPushButton(C::buttonText(cmd), this);
        // Reachable by Tab, pressed by Space or Return, and by its key (underlined) from anywhere in the window.
        b->setFocusPolicy(Qt::StrongFocus);
        b->setAutoDefault(true);
        const QKeySequence key(C::shortcut(cmd), QKeySequence::PortableText);
        b->setShortcut(key);
        b->setToolTip(C::label(cmd) + QStringLiteral("  (") + key.toString(QKeySequence::NativeText) +
                      QLatin1Char(')'));
        connect(b, &QPushButton::clicked, this, [this, i] { Q_EMIT command(i); });
        m_buttons[i] = b;
    }
    m_buttons[C::CmdBulkDownload]->setEnabled(false);
    m_folder = new CWrapField(u'/', this);
    m_box = new CWrapField(u',', this);
    const QList<QPushButton*> order = tabOrder();
    for (int i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    setFixedHeight(barHeight());
    layoutBar();
}

QList<QPushButton*> CCommandBar::tabOrder() const {
    QList<QPushButton*> out;
    for (C::Command cmd :
         {C::CmdFolderDownload, C::CmdBulkDownload, C::CmdSelDownload, C::CmdVoiceDownload, C::CmdSettings,
          C::CmdWindow, C::CmdVersion, C::CmdFolderName, C::CmdBox, C::CmdSelDisplay, C::CmdAllDisplay,
          C::CmdNotDownloaded, C::CmdConvert, C::CmdPlay, C::CmdDelete, C::CmdMoveCopy}) {
        out << m_buttons[cmd];
    }
    return out;
}

int CCommandBar::barHeight() const {
    const int field = std::max(36, m_box->twoLineHeight());
    return kGap + kButtonHeight + 5 + field + kGap + field + kGap + kButtonHeight + 5;
}

QSize CCommandBar::sizeHint() const {
    return {845, barHeight()};
}

void CCommandBar::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    layoutBar();
}

void CCommandBar::layoutBar() {
    const int w = width();
    const int h = kButtonHeight;
    // Both fields show two whole lines: the box field puts the extension boxes on a line of their own.
    const int field = std::max(36, m_box->twoLineHeight());
    // The widths hold each label with its key in the bar's font; a wider font widens a button rather than cut
    // its text.
    auto place = [&](C::Command cmd, int x, int y, int width) {
        width = std::max(width, m_buttons[cmd]->sizeHint().width());
        m_buttons[cmd]->setGeometry(x, y, width, h);
        return x + width + 3;
    };
    // First row: the download commands, and the three fixed buttons at the right edge.
    int x = 5;
    x = place(C::CmdFolderDownload, x, kGap, 128);
    x = place(C::CmdBulkDownload, x, kGap, 102);
    x = place(C::CmdSelDownload, x, kGap, 106);
    place(C::CmdVoiceDownload, x, kGap, 135);
    int right = w - 5;
    for (C::Command cmd : {C::CmdVersion, C::CmdWindow, C::CmdSettings}) {
        const int width = std::max(100, m_buttons[cmd]->sizeHint().width());
        right -= width;
        place(cmd, right, kGap, width);
        right -= 3;
    }
    // Folder and box rows, each a button and its field to the right edge.
    const int folderY = kGap + h + 5;
    const int fieldX =
        std::max(place(C::CmdFolderName, 5, folderY, 94), place(C::CmdBox, 5, folderY + field + kGap, 94));
    m_folder->setGeometry(fieldX, folderY, std::max(40, w - 5 - fieldX), field);
    const int boxY = folderY + field + kGap;
    m_box->setGeometry(fieldX, boxY, std::max(40, w - 5 - fieldX), field);
    // Display and message commands.
    const int y = boxY + field + kGap;
    x = 5;
    x = place(C::CmdSelDisplay, x, y, 80);
    x = place(C::CmdAllDisplay, x, y, 80);
    x = place(C::CmdNotDownloaded, x, y, 122);
    x = place(C::CmdConvert, x, y, 80);
    x = place(C::CmdPlay, x, y, 80);
    x = place(C::CmdDelete, x, y, 80);
    place(C::CmdMoveCopy, x, y, 110);
}
