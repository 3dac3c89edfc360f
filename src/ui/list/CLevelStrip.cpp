#include "ui/list/CLevelStrip.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

CLevelStrip::CLevelStrip(QWidget* parent) : QWidget(parent) {
    setMinimumSize(120, 28);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setToolTip(QStringLiteral("クリックでその位置へ、ダブルクリックで再生"));
}

void CLevelStrip::setPosition(double fraction) {
    if (fraction != m_position) {
        m_position = fraction;
        update();
    }
}

void CLevelStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const int w = width();
    const int h = height();
    const std::vector<int> peaks = levels ? levels(w) : std::vector<int>();
    const int mid = h / 2;
    const int played = m_position < 0 ? -1 : static_cast<int>(m_position * w);
    // Drawn against the message's own loudest part: a quiet message shows its shape as well as a loud one.
    int top = 1000;
    for (int peak : peaks) {
        top = std::max(top, peak);
    }
    for (int x = 0; x < static_cast<int>(peaks.size()) && x < w; ++x) {
        if (peaks[static_cast<size_t>(x)] < 0) {
            continue;
        }
        const int half = std::max(1, peaks[static_cast<size_t>(x)] * (h - 4) / 2 / top);
        p.setPen(x < played ? palette().highlight().color() : palette().text().color());
        p.drawLine(x, mid - half, x, mid + half);
    }
    if (played >= 0) {
        p.setPen(palette().highlight().color());
        p.drawLine(played, 0, played, h - 1);
    }
}

void CLevelStrip::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && width() > 0) {
        Q_EMIT seekRequested(std::clamp(e->position().x() / width(), 0.0, 1.0));
    }
}

void CLevelStrip::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        Q_EMIT playRequested();
    }
}
