#pragma once

#include <QStyledItemDelegate>

class CListModel;

// Draws the list cells: a check box for "ﾌﾗｸﾞ" cells, an import-status picture for "取込" cells, and centred text
// inset 4 pixels for the rest, in the selection colours for selected rows.
class CListItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    CListItemDelegate(CListModel& model, QObject* parent);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    CListModel& m_model;
};
