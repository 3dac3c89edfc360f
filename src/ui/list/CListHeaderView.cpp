#include "ui/list/CListHeaderView.h"

#include "ui/list/CListImages.h"

#include <QPainter>

#include <algorithm>

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
    // The style leaves the painter clipped and moved for the title; the arrow is drawn with its own state.
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    if (logicalIndex != m_column || !model()) {
        return;
    }
    const QString title = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
    const int textWidth = fontMetrics().horizontalAdvance(title);
    const QPixmap& arrow = CListImages::sortArrow(m_image);
    // Right of the title; in a narrow column as far right as the section allows.
    const int x = std::min(rect.center().x() + textWidth / 2 + 6, rect.right() - arrow.width() - 2);
    if (x < rect.left() + 2) {
        return;
    }
    painter->drawPixmap(x, rect.center().y() - arrow.height() / 2, arrow);
}
