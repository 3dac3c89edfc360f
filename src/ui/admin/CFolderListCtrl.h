#pragma once

#include "admin/CFolderRows.h"

#include <QList>
#include <QTableWidget>

// The folder rows of the folder dialogs: "フォルダ名" and "パス名", one row selected at a time, read-only.
class CFolderListCtrl : public QTableWidget {
    Q_OBJECT
public:
    explicit CFolderListCtrl(QWidget* parent);
    // Replaces all rows; the columns are fitted to the new contents.
    void fill(const QList<CFolderRows::Row>& rows);
    // -1: no selection.
    int selectedRow() const;
};
