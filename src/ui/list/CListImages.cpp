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

namespace {
QPixmap drawTriangle(int w, int h, const QPolygonF& shape, const QColor& fill) {
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(fill.darker(140), 1));
    p.setBrush(fill);
    p.drawPolygon(shape);
    return pm;
}

QPixmap drawSpeaker(bool waves, bool crossed) {
    QPixmap pm(20, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(50, 50, 50));
    p.setBrush(QColor(90, 90, 90));
    p.drawPolygon(
        QPolygonF({QPointF(2, 6), QPointF(5, 6), QPointF(9, 2), QPointF(9, 14), QPointF(5, 10), QPointF(2, 10)}));
    p.setBrush(Qt::NoBrush);
    if (waves) {
        p.setPen(QPen(QColor(33, 120, 200), 1.5));
        p.drawArc(QRectF(7, 4, 6, 8), -60 * 16, 120 * 16);
        p.drawArc(QRectF(7, 1, 10, 14), -60 * 16, 120 * 16);
    }
    if (crossed) {
        p.setPen(QPen(QColor(190, 40, 40), 1.5));
        p.drawLine(QPointF(12, 5), QPointF(18, 11));
        p.drawLine(QPointF(18, 5), QPointF(12, 11));
    }
    return pm;
}

QPixmap drawDocument() {
    QPixmap pm(14, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(60, 60, 60));
    p.setBrush(QColor(250, 250, 235));
    p.drawRect(QRectF(1.5, 1.5, 10, 13));
    for (int y = 5; y <= 11; y += 3) {
        p.drawLine(QPointF(3.5, y), QPointF(9.5, y));
    }
    return pm;
}

QPixmap drawPlus() {
    QPixmap pm(10, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.drawLine(QPointF(5, 4), QPointF(5, 12));
    p.drawLine(QPointF(1, 8), QPointF(9, 8));
    return pm;
}
} // namespace

const QPixmap& CListImages::sortArrow(int image) {
    static const QPixmap up = drawTriangle(
        ARROW_SIZE, ARROW_SIZE, QPolygonF({QPointF(4.5, 1), QPointF(8, 7.5), QPointF(1, 7.5)}), QColor(110, 110, 110));
    static const QPixmap down = drawTriangle(
        ARROW_SIZE, ARROW_SIZE, QPolygonF({QPointF(1, 1.5), QPointF(8, 1.5), QPointF(4.5, 8)}), QColor(110, 110, 110));
    return image == 1 ? down : up;
}

const QPixmap& CListImages::editorPicture(EditorPicture which) {
    static const QPixmap played = drawSpeaker(true, false);
    static const QPixmap unplayed = drawSpeaker(false, true);
    static const QPixmap info = drawDocument();
    static const QPixmap voice = drawSpeaker(true, false);
    static const QPixmap plus = drawPlus();
    switch (which) {
    case Played:
        return played;
    case Unplayed:
        return unplayed;
    case InfoPicture:
        return info;
    case VoicePicture:
        return voice;
    default:
        return plus;
    }
}

const QPixmap& CListImages::buttonPicture(ButtonPicture which) {
    const QColor blue(40, 100, 190);
    static const QPixmap left = drawTriangle(16, 16, QPolygonF({QPointF(2, 8), QPointF(13, 2), QPointF(13, 14)}), blue);
    static const QPixmap up = drawTriangle(16, 16, QPolygonF({QPointF(8, 2), QPointF(14, 13), QPointF(2, 13)}), blue);
    static const QPixmap down = drawTriangle(16, 16, QPolygonF({QPointF(2, 3), QPointF(14, 3), QPointF(8, 14)}), blue);
    switch (which) {
    case RemoveArrow:
        return left;
    case UpArrow:
        return up;
    default:
        return down;
    }
}
