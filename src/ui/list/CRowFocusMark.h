#pragma once

class QModelIndex;
class QPainter;
class QStyleOptionViewItem;

// The mark of the current row in the lists that draw their own cells: a dotted frame around the row while its
// list has the keyboard, so a person sees where the arrow keys, Space and Return act.
class CRowFocusMark {
public:
    // Draws the part of the frame that falls in one cell of the row (after the cell itself).
    static void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index);
};
