#include "ui/list/CDataListCtrl.h"

#include "list/CListModel.h"
#include "ui/CJapaneseFont.h"
#include "ui/list/CListHeaderView.h"
#include "ui/list/CListItemDelegate.h"
#include "ui/list/CListTableModel.h"

#include <QHeaderView>
#include <QMouseEvent>

#include <algorithm>

CDataListCtrl::CDataListCtrl(CListModel& model, CListTableModel* table, QWidget* parent)
    : QTableView(parent), m_model(model), m_header(new CListHeaderView(this)) {
    setFont(CJapaneseFont::font(13));
    setHorizontalHeader(m_header);
    connect(m_header, &QHeaderView::sectionClicked, this, &CDataListCtrl::headerClicked);
    setModel(table);
    setItemDelegate(new CListItemDelegate(model, this));
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    // Tab leaves the list for the next control; the arrow keys move between rows.
    setTabKeyNavigation(false);
    setAlternatingRowColors(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(19);
    horizontalHeader()->setFont(CJapaneseFont::font(13));
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionsClickable(true);
    for (int c = 0; c < model.columnCount(); ++c) {
        setColumnWidth(c, CListModel::initialWidth(model.columnKind(c)));
    }
}

void CDataListCtrl::fitColumns() {
    const QFontMetrics fm(font());
    const QFontMetrics hm(horizontalHeader()->font());
    // Dates, numbers and file names are mostly digits and nearly all different. Every digit is measured as the
    // widest one, so texts that differ only in their digits are measured once, and no text comes out too narrow.
    QChar widestDigit('0');
    for (char d = '1'; d <= '9'; ++d) {
        if (fm.horizontalAdvance(QChar(d)) > fm.horizontalAdvance(widestDigit)) {
            widestDigit = QChar(d);
        }
    }
    const std::vector<std::vector<QStringView>> shapes = m_model.columnShapes();
    for (int c = 0; c < m_model.columnCount(); ++c) {
        int widest = 0;
        const auto kind = m_model.columnKind(c);
        if (kind == CListModel::ColFlag || kind == CListModel::ColImport) {
            widest = fm.horizontalAdvance(QStringLiteral("0"));
        } else {
            for (const QStringView shape : shapes[static_cast<size_t>(c)]) {
                QString t = shape.toString();
                for (QChar& ch : t) {
                    if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) {
                        ch = widestDigit;
                    }
                }
                widest = std::max(widest, fm.horizontalAdvance(t));
            }
        }
        const QString title = m_model.columnTitle(c);
        const int header = hm.horizontalAdvance(title) + hm.height();
        int width = std::max(widest, header);
        if (width > 0) {
            width += 8;
        }
        if (c == 0) {
            width += 5;
        }
        // The grid line takes one pixel of every cell, and the text is inset on both sides.
        width += 2;
        // Room for the pictures the cells draw instead of their text.
        if (kind == CListModel::ColImport) {
            width = std::max(width, 44);
        }
        setColumnWidth(c, width);
    }
}

std::vector<int> CDataListCtrl::selectedRowNumbers() const {
    std::vector<int> rows;
    if (!selectionModel()) {
        return rows;
    }
    for (const auto& idx : selectionModel()->selectedRows()) {
        rows.push_back(idx.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CDataListCtrl::mousePressEvent(QMouseEvent* e) {
    QTableView::mousePressEvent(e);
    if (e->button() != Qt::LeftButton) {
        Q_EMIT selectionTouched();
        return;
    }
    const QModelIndex idx = indexAt(e->position().toPoint());
    if (idx.isValid() && idx.column() < m_model.columnCount() &&
        m_model.columnTitle(idx.column()).contains(QStringLiteral("ﾌﾗｸﾞ"))) {
        Q_EMIT flagClicked(idx.row(), idx.column());
    }
}

void CDataListCtrl::mouseReleaseEvent(QMouseEvent* e) {
    QTableView::mouseReleaseEvent(e);
    Q_EMIT selectionTouched();
}

void CDataListCtrl::makeFirstRowCurrent() {
    if (!selectionModel() || currentIndex().isValid() || !model() || model()->rowCount() == 0) {
        return;
    }
    // Current, not selected: nothing is acted on until the user picks a row.
    selectionModel()->setCurrentIndex(model()->index(0, 0), QItemSelectionModel::NoUpdate);
}

void CDataListCtrl::keyPressEvent(QKeyEvent* e) {
    const bool plain = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
        // Return on a row opens its editor, as a double click does; the row under the cursor is the one meant.
        const QModelIndex current = currentIndex();
        if (current.isValid()) {
            if (!selectionModel()->isRowSelected(current.row(), QModelIndex())) {
                selectionModel()->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
                Q_EMIT selectionTouched();
            }
            Q_EMIT editRequested(current.row());
        }
        e->accept();
        return;
    }
    QTableView::keyPressEvent(e);
}

void CDataListCtrl::keyReleaseEvent(QKeyEvent* e) {
    QTableView::keyReleaseEvent(e);
    Q_EMIT selectionTouched();
}

void CDataListCtrl::mouseDoubleClickEvent(QMouseEvent* e) {
    QTableView::mouseDoubleClickEvent(e);
    const QModelIndex idx = indexAt(e->position().toPoint());
    if (idx.isValid()) {
        Q_EMIT editRequested(idx.row());
    }
}

void CDataListCtrl::showRowAtTop(int row) {
    if (row < 0 || row >= model()->rowCount()) {
        return;
    }
    // After a reset the scroll range is brought up to date only when the list is next laid out; it is laid out
    // now so that the position is not cut to the old range.
    executeDelayedItemsLayout();
    scrollTo(model()->index(row, 0), QAbstractItemView::PositionAtTop);
}
