#pragma once

#include <QTableWidget>

class CEditListState;

// An editable list of the box dialogs: three columns (the first hidden), full-row selection with grid lines,
// 18-pixel rows. A click on a cell of the last column edits it in place, limited to the list's edit limit; a
// click on a "選択" cell toggles it; "選択" cells are drawn as check boxes. What the cells hold is the state's.
class CEditListCtrl : public QTableWidget {
    Q_OBJECT
public:
    // widths: of columns 1 and 2.
    CEditListCtrl(CEditListState& state, int width1, int width2, QWidget* parent);

    // Shows the state's rows again.
    void refill();
    // A left click on a cell (the mouse's, or a test's).
    void clickCell(int row, int col);
    // The in-place edit of a row ended with this text.
    void endEdit(int row, const QString& text);
    // An in-place edit still open hands its text to the state now (OK reads the state).
    void commitOpenEdit();

    CEditListState& state() { return m_state; }

protected:
    // Space ticks the current row's check cell, F2 edits its name; Return ends an edit without leaving it.
    void keyPressEvent(QKeyEvent* e) override;

private:
    void showRow(int row);

    CEditListState& m_state;
    bool m_filling = false;
};
