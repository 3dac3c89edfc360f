#include "ui/list/CListItemDelegate.h"

#include "list/CListModel.h"
#include "ui/list/CListImages.h"
#include "ui/list/CRowFocusMark.h"

#include <QPainter>

CListItemDelegate::CListItemDelegate(CListModel& model, QObject* parent)
    : QStyledItemDelegate(parent), m_model(model) {}

void CListItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QRect r = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& pal = option.palette;
    painter->save();
    painter->fillRect(r, selected ? pal.brush(QPalette::Highlight) : pal.brush(QPalette::Base));
    const QString text = index.data(Qt::DisplayRole).toString();
    const CListModel::ColumnKind kind =
        index.column() < m_model.columnCount() ? m_model.columnKind(index.column()) : CListModel::ColUnknown;
    const QString title = index.column() < m_model.columnCount() ? m_model.columnTitle(index.column()) : QString();
    if (kind == CListModel::ColFlag || title.contains(QStringLiteral("選択"))) {
        if (r.width() >= 20) {
            const auto state = text == QStringLiteral("0") ? CListImages::Clear : CListImages::Ticked;
            painter->drawPixmap(r.left() + r.width() / 2 - 10, r.top() + 3, CListImages::checkBox(state));
        }
    } else if (kind == CListModel::ColImport) {
        if (r.width() >= 40) {
            const QChar digit = text.isEmpty() ? QChar(u'3') : text.front();
            painter->drawPixmap(r.left() + r.width() / 2 - 20, r.top() + 1, CListImages::importIcon(digit, selected));
        }
    } else {
        painter->setFont(option.font);
        painter->setPen(selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text));
        const QRect inner = r.adjusted(4, 0, -4, 0);
        const QString shown = option.fontMetrics.elidedText(text, Qt::ElideRight, inner.width());
        painter->drawText(inner, Qt::AlignCenter, shown);
    }
    painter->restore();
    CRowFocusMark::paint(painter, option, index);
}
