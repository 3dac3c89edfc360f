#include "list/CListSortState.h"

#include <QChar>

namespace {
inline char16_t folded(char16_t c) {
    if (c < 0x80) {
        return (c >= u'A' && c <= u'Z') ? char16_t(c + 0x20) : c;
    }
    // Kana, ideographs and the other scripts from U+3000 up to Cyrillic Extended-B have no case; surrogate
    // halves stand for themselves; other characters take their lower case.
    if ((c >= 0x3000 && c < 0xA640) || QChar::isSurrogate(c)) {
        return c;
    }
    return static_cast<char16_t>(QChar::toLower(char32_t(c)));
}
} // namespace

char16_t CListSortState::fold(char16_t c) {
    return folded(c);
}

int CListSortState::compare(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    const QChar* pa = a.data();
    const QChar* pb = b.data();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = pa[i].unicode();
        const char16_t y = pb[i].unicode();
        if (x == y) {
            continue;
        }
        const char16_t fx = folded(x);
        const char16_t fy = folded(y);
        if (fx != fy) {
            return fx < fy ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

void CListSortState::reset() {
    m_userSorted = false;
    m_direction = 0;
    m_lastClicked = -1;
    m_arrowColumn = -1;
}

CListSortState::SortPlan CListSortState::applyDefaultOrder(bool resetFirst) {
    m_savedColumn = m_sortColumn;
    m_savedDirection = m_lastDirection;
    if (resetFirst) {
        reset();
    }
    SortPlan plan;
    plan.byDefault = true;
    return plan;
}

CListSortState::SortPlan CListSortState::headerClick(int c, const QStringList& titles) {
    // The default order first, so that ties of the coming sort fall back to it.
    const int direction = m_direction;
    const int lastDirection = m_lastDirection;
    const int lastClicked = m_lastClicked;
    SortPlan plan = applyDefaultOrder(false);
    m_direction = direction;
    m_lastDirection = lastDirection;
    m_lastClicked = lastClicked;

    m_sortColumn = c;
    const bool boxColumn = c >= 0 && c < titles.size() && titles[c].contains(QStringLiteral("BOX番号"));
    if (c != m_lastClicked) {
        if (boxColumn && m_lastClicked == -1) {
            // The rows already run up by box number: the first click on it turns them round.
            m_direction = 1;
            m_lastClicked = c;
        } else {
            m_direction = m_lastDirection;
        }
    }
    plan.column = c;
    plan.direction = m_direction;

    m_arrowColumn = c;
    m_arrowImage = m_direction;
    if (c != m_lastClicked) {
        m_lastClicked = c;
    } else {
        m_lastDirection = m_direction;
    }
    m_direction = m_direction != 1 ? 1 : 0;
    m_userSorted = true;
    m_lastClicked = c;
    return plan;
}

CListSortState::SortPlan CListSortState::restoreAfterReload() {
    SortPlan plan = applyDefaultOrder(false);
    if (m_userSorted) {
        // The next click on the same column still turns the rows round: only the sort is repeated.
        m_sortColumn = m_savedColumn;
        plan.column = m_sortColumn;
        plan.direction = m_lastDirection;
    }
    return plan;
}
