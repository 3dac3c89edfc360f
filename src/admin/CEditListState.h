#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

// What an editable list of the box dialogs holds: three columns (the first empty and hidden), the last one edited
// in place up to a length limit. A column whose title contains "選択" (or "ﾌﾗｸﾞ") is a check column: a click
// toggles its cell between "0" and "1". When the list has a check column, a row not ticked cannot be edited.
class CEditListState {
public:
    static constexpr int COLUMNS = 3;
    static constexpr int EDIT_COLUMN = 2;

    // What a left click on a cell did.
    enum class Click { None, StartEdit, Toggled };

    CEditListState(const QStringList& titles, int editLimit);

    const QStringList& titles() const { return m_titles; }
    int editLimit() const { return m_editLimit; }
    bool isCheckColumn(int col) const;
    bool hasCheckColumn() const;

    void clear();
    // Appends a row; returns its index.
    int addRow(const QString& col1, const QString& col2);
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    QString text(int row, int col) const;
    void setText(int row, int col, const QString& text);
    bool isTicked(int row) const;

    bool canEdit(int row, int col) const;
    Click click(int row, int col);
    // The in-place edit ended: the cell takes the text (cut to the limit).
    void finishEdit(int row, const QString& text);

    // The names the rows had when the list was filled, in row order (the rename dialog's old folder names).
    QStringList oldNames;

private:
    QStringList m_titles;
    int m_editLimit;
    std::vector<std::array<QString, COLUMNS>> m_rows;
};
