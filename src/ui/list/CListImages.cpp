#include "ui/list/CListImages.h"

#include <QPainter>
#include <QPainterPath>

namespace {
QPixmap drawCheck(CListImages::CheckState state) {
    QPixmap pm(CListImages::CHECK_SIZE, CListImages::CHECK_SIZE);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    const bool grey = state == CListImages::GreyedOut;
    p.setPen(grey ? QColor(160, 160, 160) : QColor(28, 81, 128));
    p.setBrush(grey ? QColor(220, 220, 220) : Qt::white);
    p.drawRect(0, 0, CListImages::CHECK_SIZE - 1, CListImages::CHECK_SIZE - 1);
    if (state != CListImages::Clear) {
        p.setRenderHint(QPainter::Antialiasing);
        QPen pen(grey ? QColor(128, 128, 128) : QColor(33, 161, 33), 2);
        p.setPen(pen);
        QPainterPath tick;
        tick.moveTo(2.5, 6.5);
        tick.lineTo(5.0, 9.5);
        tick.lineTo(10.5, 3.0);
        p.drawPath(tick);
    }
    return pm;
}

// Import status: a document for the recording information, with a speaker for voice data; green when the message
// is still unplayed on the unit, blue when played there, grey with a cross when deleted there.
QPixmap drawImport(QChar digit, bool selected) {
    QPixmap pm(CListImages::ICON_W, CListImages::ICON_H);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = selected ? QColor(255, 255, 255) : QColor(60, 60, 60);
    // Document.
    p.setPen(ink);
    p.setBrush(selected ? QColor(90, 130, 200) : QColor(250, 250, 235));
    p.drawRect(QRectF(12.5, 1.5, 8, 11));
    p.drawLine(QPointF(14.5, 5), QPointF(18.5, 5));
    p.drawLine(QPointF(14.5, 8), QPointF(18.5, 8));
    if (digit == u'2') {
        return pm; // information only
    }
    QColor voice = digit == u'0' ? QColor(30, 150, 60) : digit == u'1' ? QColor(40, 90, 200) : QColor(140, 140, 140);
    if (selected) {
        voice = voice.lighter(150);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(voice);
    QPainterPath speaker;
    speaker.moveTo(23, 5);
    speaker.lineTo(25, 5);
    speaker.lineTo(28, 2);
    speaker.lineTo(28, 12);
    speaker.lineTo(25, 9);
    speaker.lineTo(23, 9);
    speaker.closeSubpath();
    p.drawPath(speaker);
    p.setPen(QPen(voice, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(26, 3, 5, 8), -60 * 16, 120 * 16);
    p.drawArc(QRectF(26, 1, 8, 12), -60 * 16, 120 * 16);
    if (digit != u'0' && digit != u'1') {
        p.setPen(QPen(QColor(200, 40, 40), 1.6));
        p.drawLine(QPointF(23, 2), QPointF(34, 12));
        p.drawLine(QPointF(34, 2), QPointF(23, 12));
    }
    return pm;
}
} // namespace

const QPixmap& CListImages::checkBox(CheckState state) {
    static const QPixmap images[] = {drawCheck(Clear), drawCheck(Ticked), drawCheck(GreyedOut)};
    return images[state];
}

const QPixmap& CListImages::importIcon(QChar digit, bool selected) {
    static const QPixmap normal[] = {drawImport(u'0', false), drawImport(u'1', false), drawImport(u'2', false),
                                     drawImport(u'3', false)};
    static const QPixmap highlighted[] = {drawImport(u'0', true), drawImport(u'1', true), drawImport(u'2', true),
                                          drawImport(u'3', true)};
    const int k = digit == u'0' ? 0 : digit == u'1' ? 1 : digit == u'2' ? 2 : 3;
    return selected ? highlighted[k] : normal[k];
}
