#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
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
    // What the in-place editor makes of a text typed into a cell.
    enum class Typing {
        Accept,    // within the rule
        Shrinking, // beyond the rule but no longer than the cell's text was: kept, so a name that came in longer
                   // than the rule can be shortened step by step
        Refuse     // the keystroke is not taken
    };

    CEditListState(const QStringList& titles, int editLimit);

    const QStringList& titles() const { return m_titles; }
    int editLimit() const { return m_editLimit; }
    // The cells follow a rule of CP932 bytes instead of the character limit: at most maxBytes bytes, and only
    // texts charsOk takes (whatever their length). why: the words for a text the rule refuses, so that a keystroke
    // the editor does not take is never dropped without a word.
    void setByteRule(int maxBytes, std::function<bool(const QString&)> charsOk,
                     std::function<QString(const QString&)> why = {});
    // Why the rule refuses text (empty: no words known).
    QString refusal(const QString& text) const { return m_why ? m_why(text) : QString(); }
    bool hasByteRule() const { return m_maxBytes > 0; }
    // Whether the editor of a cell that started with preset may hold text.
    Typing typing(const QString& preset, const QString& text) const;
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
    // The in-place edit ended: the cell takes the text (without a byte rule cut to the character limit, never
    // inside a character; with one as typed: the editor kept it within the rule).
    void finishEdit(int row, const QString& text);
    // Whether the row's edited cell differs from what the row was filled with.
    bool edited(int row) const;

    // The names the rows had when the list was filled, in row order (the rename dialog's old folder names).
    QStringList oldNames;

private:
    QStringList m_titles;
    int m_editLimit;
    int m_maxBytes = 0;
    std::function<bool(const QString&)> m_charsOk;
    std::function<QString(const QString&)> m_why;
    std::vector<std::array<QString, COLUMNS>> m_rows;
    QStringList m_filled; // each row's edited cell as the row was added
};
