#include "ui/list/CRowFocusMark.h"

#include <QPainter>
#include <QStyleOptionViewItem>
#include <QTableView>

void CRowFocusMark::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) {
    const auto* view = qobject_cast<const QTableView*>(option.widget);
    if (!view || !view->hasFocus() || !view->currentIndex().isValid() || view->currentIndex().row() != index.row()) {
        return;
    }
    const QRect r = option.rect.adjusted(0, 0, -1, -1);
    const bool selected = option.state & QStyle::State_Selected;
    QPen pen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    pen.setStyle(Qt::DotLine);
    painter->save();
    painter->setPen(pen);
    painter->drawLine(r.topLeft(), r.topRight());
    painter->drawLine(r.bottomLeft(), r.bottomRight());
    const int columns = index.model() ? index.model()->columnCount(index.parent()) : 0;
    // The frame's ends: at the first and the last column that is shown.
    int first = 0;
    while (first < columns && view->isColumnHidden(first)) {
        ++first;
    }
    int last = columns - 1;
    while (last > 0 && view->isColumnHidden(last)) {
        --last;
    }
    if (index.column() == first) {
        painter->drawLine(r.topLeft(), r.bottomLeft());
    }
    if (index.column() == last) {
        painter->drawLine(r.topRight(), r.bottomRight());
    }
    painter->restore();
}
