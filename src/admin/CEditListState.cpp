#include "admin/CEditListState.h"

#include "platform/CCp932.h"

#include <algorithm>

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

void CEditListState::setByteRule(int maxBytes, std::function<bool(const QString&)> charsOk,
                                 std::function<QString(const QString&)> why) {
    m_maxBytes = maxBytes;
    m_charsOk = std::move(charsOk);
    m_why = std::move(why);
}

CEditListState::Typing CEditListState::typing(const QString& preset, const QString& text) const {
    if (!hasByteRule()) {
        return text.size() <= m_editLimit ? Typing::Accept : Typing::Refuse;
    }
    if (m_charsOk && !m_charsOk(text)) {
        return Typing::Refuse;
    }
    const int bytes = CCp932::byteLength(text);
    if (bytes <= m_maxBytes) {
        return Typing::Accept;
    }
    return bytes <= CCp932::byteLength(preset) ? Typing::Shrinking : Typing::Refuse;
}

void CEditListState::clear() {
    m_rows.clear();
    m_filled.clear();
    oldNames.clear();
}

int CEditListState::addRow(const QString& col1, const QString& col2) {
    m_rows.push_back({QString(), col1, col2});
    m_filled << col2;
    return rowCount() - 1;
}

bool CEditListState::edited(int row) const {
    return row >= 0 && row < rowCount() && text(row, EDIT_COLUMN) != m_filled[row];
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
    if (hasByteRule()) {
        setText(row, EDIT_COLUMN, text);
        return;
    }
    qsizetype n = std::min<qsizetype>(text.size(), m_editLimit);
    if (n > 0 && n < text.size() && text[n - 1].isHighSurrogate()) {
        --n;
    }
    setText(row, EDIT_COLUMN, text.left(n));
}
