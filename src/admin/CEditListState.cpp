#include "admin/CEditListState.h"

CEditListState::CEditListState(const QStringList& titles, int editLimit) : m_titles(titles), m_editLimit(editLimit) {
    while (m_titles.size() < COLUMNS) {
        m_titles << QString();
    }
}

bool CEditListState::isCheckColumn(int col) const {
    return col >= 0 && col < COLUMNS && col != EDIT_COLUMN &&
           (m_titles[col].contains(QStringLiteral("選択")) || m_titles[col].contains(QStringLiteral("ﾌﾗｸﾞ")));
}

bool CEditListState::hasCheckColumn() const {
    for (int c = 0; c < COLUMNS; ++c) {
        if (isCheckColumn(c)) {
            return true;
        }
    }
    return false;
}

void CEditListState::clear() {
    m_rows.clear();
    oldNames.clear();
}

int CEditListState::addRow(const QString& col1, const QString& col2) {
    m_rows.push_back({QString(), col1, col2});
    return rowCount() - 1;
}

QString CEditListState::text(int row, int col) const {
    if (row < 0 || row >= rowCount() || col < 0 || col >= COLUMNS) {
        return QString();
    }
    return m_rows[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void CEditListState::setText(int row, int col, const QString& text) {
    if (row >= 0 && row < rowCount() && col >= 0 && col < COLUMNS) {
        m_rows[static_cast<size_t>(row)][static_cast<size_t>(col)] = text;
    }
}

bool CEditListState::isTicked(int row) const {
    for (int c = 0; c < COLUMNS; ++c) {
        if (isCheckColumn(c)) {
            return text(row, c) != QLatin1String("0");
        }
    }
    return true;
}

bool CEditListState::canEdit(int row, int col) const {
    return row >= 0 && row < rowCount() && col == EDIT_COLUMN && isTicked(row);
}

CEditListState::Click CEditListState::click(int row, int col) {
    if (row < 0 || row >= rowCount()) {
        return Click::None;
    }
    if (col == EDIT_COLUMN) {
        return canEdit(row, col) ? Click::StartEdit : Click::None;
    }
    if (isCheckColumn(col)) {
        setText(row, col, text(row, col) == QLatin1String("0") ? QStringLiteral("1") : QStringLiteral("0"));
        return Click::Toggled;
    }
    return Click::None;
}

void CEditListState::finishEdit(int row, const QString& text) {
    setText(row, EDIT_COLUMN, text.left(m_editLimit));
}
