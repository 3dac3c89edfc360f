#include "ui/list/CListHeaderView.h"

#include "ui/list/CListImages.h"

#include <QPainter>

CListHeaderView::CListHeaderView(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setDefaultAlignment(Qt::AlignCenter);
    setSectionsClickable(true);
    setHighlightSections(false);
    setSortIndicatorShown(false);
}

void CListHeaderView::setArrow(int column, int image) {
    if (column == m_column && image == m_image) {
        return;
    }
    m_column = column;
    m_image = image;
    viewport()->update();
}

void CListHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    QHeaderView::paintSection(painter, rect, logicalIndex);
    if (logicalIndex != m_column || !model()) {
        return;
    }
    const QString title = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
    const int textWidth = fontMetrics().horizontalAdvance(title);
    const QPixmap& arrow = CListImages::sortArrow(m_image);
    const int x = rect.center().x() + textWidth / 2 + 6;
    if (x + arrow.width() > rect.right()) {
        return;
    }
    painter->save();
    painter->drawPixmap(x, rect.center().y() - arrow.height() / 2, arrow);
    painter->restore();
}
