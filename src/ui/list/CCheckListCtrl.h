#pragma once

#include "list/CBoxOpenLogic.h"

#include <QTableWidget>

#include <vector>

// A check list of boxes: a "選択" column with a check box and a box-number column. Greyed rows (boxes shown by
// another list) are drawn in grey and cannot be ticked.
class CCheckListCtrl : public QTableWidget {
    Q_OBJECT
public:
    CCheckListCtrl(std::vector<CBoxOpenLogic::Row>& rows, QWidget* parent);
    // Re-reads the check states of the rows.
    void refresh();
    // Toggles row i as a click on its check cell does.
    void clickCheck(int row);

protected:
    void mousePressEvent(QMouseEvent* e) override;

private:
    std::vector<CBoxOpenLogic::Row>& m_rows;
};
