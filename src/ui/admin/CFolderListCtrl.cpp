#include "ui/admin/CFolderListCtrl.h"

#include "ui/CJapaneseFont.h"

#include <QHeaderView>

CFolderListCtrl::CFolderListCtrl(QWidget* parent) : QTableWidget(0, 2, parent) {
    setFont(CJapaneseFont::font(13));
    setHorizontalHeaderLabels({QStringLiteral("フォルダ名"), QStringLiteral("パス名")});
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(19);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
}

void CFolderListCtrl::fill(const QList<CFolderRows::Row>& rows) {
    // The rows are rebuilt from nothing, so no old selection can point into the new list.
    clearSelection();
    setRowCount(0);
    setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        setItem(i, 0, new QTableWidgetItem(rows[i].name));
        setItem(i, 1, new QTableWidgetItem(rows[i].pathCell()));
    }
    setCurrentCell(-1, -1);
    resizeColumnsToContents();
    // A little air between the name and the path, which starts with its marker character.
    setColumnWidth(0, columnWidth(0) + 8);
}

int CFolderListCtrl::selectedRow() const {
    const QModelIndexList sel = selectionModel()->selectedRows();
    return sel.isEmpty() ? -1 : sel.first().row();
}
