#include "ui/list/CChildFrame.h"

#include "ui/list/CListDispView.h"

#include <QCloseEvent>

CChildFrame::CChildFrame(CListDispView* view, const QString& caption, QWidget* parent)
    : QMdiSubWindow(parent), m_view(view) {
    setWidget(view);
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(160, 80);
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
    }
}

void CChildFrame::closeEvent(QCloseEvent* e) {
    QMdiSubWindow::closeEvent(e);
    if (e->isAccepted() && !m_closed) {
        m_closed = true;
        Q_EMIT listClosed(this);
    }
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
