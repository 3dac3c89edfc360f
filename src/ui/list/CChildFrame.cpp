#include "ui/list/CChildFrame.h"

#include "ui/list/CDataListCtrl.h"
#include "ui/list/CListDispView.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>

namespace {
// A small table picture for the caption, drawn once.
QIcon listIcon() {
    static const QIcon icon = [] {
        QPixmap pm(16, 16);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setPen(QColor(60, 60, 60));
        p.setBrush(Qt::white);
        p.drawRect(1, 2, 13, 11);
        p.fillRect(2, 3, 12, 3, QColor(80, 120, 190));
        for (int y = 8; y <= 11; y += 3) {
            p.drawLine(2, y, 13, y);
        }
        p.drawLine(6, 6, 6, 12);
        return QIcon(pm);
    }();
    return icon;
}
} // namespace

CChildFrame::CChildFrame(CListDispView* view, const QString& caption, QWidget* parent)
    : QMdiSubWindow(parent), m_view(view) {
    setWidget(view);
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(160, 80);
    setWindowIcon(listIcon());
    dropCloseKeys();
}

void CChildFrame::dropCloseKeys() {
    // The main window closes the active list by these keys wherever the keyboard is, on the bar too; the window
    // menu's own copy of them, live only inside the list, would make them ambiguous there and do nothing.
    QMenu* menu = systemMenu();
    if (!menu) {
        return;
    }
    const QList<QKeySequence> closeKeys = QKeySequence::keyBindings(QKeySequence::Close);
    for (QAction* a : menu->actions()) {
        for (const QKeySequence& k : a->shortcuts()) {
            if (closeKeys.contains(k)) {
                a->setShortcuts({});
                break;
            }
        }
    }
}

int CChildFrame::slot() const {
    return m_view->slot();
}

void CChildFrame::setNormalRect(const QRect& r) {
    m_normal = r;
}

void CChildFrame::setCloseBoxShown(bool shown) {
    Qt::WindowFlags f = windowFlags() | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint;
    if (shown) {
        f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    } else {
        f &= ~(Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    }
    if (f != windowFlags()) {
        const bool visible = isVisible();
        setWindowFlags(f);
        if (visible && !isVisible()) {
            show();
        }
        dropCloseKeys();
    }
}

void CChildFrame::closeEvent(QCloseEvent* e) {
    QMdiSubWindow::closeEvent(e);
    if (e->isAccepted() && !m_closed) {
        m_closed = true;
        Q_EMIT listClosed(this);
    }
}

void CChildFrame::paintEvent(QPaintEvent* e) {
    // The list paints all of its own area, so nothing erases the window first; the border and caption around it
    // are cleared here, or the style's frame lines would leave what was on the screen before between them.
    QRegion around = QRegion(rect());
    if (widget() && widget()->isVisible()) {
        around -= QRegion(widget()->geometry());
    }
    around &= e->region();
    if (!around.isEmpty()) {
        QPainter p(this);
        p.setClipRegion(around);
        p.fillRect(rect(), palette().window());
    }
    QMdiSubWindow::paintEvent(e);
}

bool CChildFrame::focusNextPrevChild(bool next) {
    // The list window would keep Tab among its own controls; back from the list leads out of it.
    if (!next && m_view && focusWidget() == m_view->list()) {
        Q_EMIT backtabOut();
        return true;
    }
    return QMdiSubWindow::focusNextPrevChild(next);
}

void CChildFrame::remember() {
    if (!isMaximized() && !isMinimized() && isVisible()) {
        m_normal = geometry();
    }
}

void CChildFrame::moveEvent(QMoveEvent* e) {
    QMdiSubWindow::moveEvent(e);
    remember();
}

void CChildFrame::resizeEvent(QResizeEvent* e) {
    QMdiSubWindow::resizeEvent(e);
    remember();
}
