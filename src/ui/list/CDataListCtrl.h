#pragma once

#include <QTableView>

class CListHeaderView;
class CListModel;
class CListTableModel;

// The report list of a list window: centred columns and headers, grid lines, full-row selection, owner-drawn
// check boxes and import pictures, and a flag that toggles with one click on its cell.
class CDataListCtrl : public QTableView {
    Q_OBJECT
public:
    CDataListCtrl(CListModel& model, CListTableModel* table, QWidget* parent);

    // Sizes every column to its widest text or its header, whichever is wider.
    void fitColumns();
    std::vector<int> selectedRowNumbers() const;
    // A freshly filled list has a current row, so the arrow keys work before any click.
    void makeFirstRowCurrent();
    CListHeaderView* header() const { return m_header; }
    // The rows just put in place: this row becomes the first one shown (as far as the list reaches).
    void showRowAtTop(int row);

Q_SIGNALS:
    void flagClicked(int row, int column);
    void selectionTouched();
    void editRequested(int row);
    void headerClicked(int column);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    CListModel& m_model;
    CListHeaderView* m_header;
};
