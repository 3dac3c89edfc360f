#pragma once

#include <QStringList>
#include <QStringView>

// The sort state of one list: which column orders the rows and which way, what the header clicks did last, and
// which arrow the header shows. The state decides; the list carries out the sort it asks for as a SortPlan.
class CListSortState {
public:
    // One re-sort of the rows. Rows are stably sorted by the default order first (when byDefault), then by
    // column (when it is not -1) in direction (0 ascending, 1 descending): ties of the column keep the default
    // order, ties of both keep the order the rows had.
    struct SortPlan {
        bool byDefault = false;
        int column = -1;
        int direction = 0;
        bool empty() const { return !byDefault && column < 0; }
    };

    // The comparison of two shown texts: code unit by code unit, letters without case.
    static int compare(QStringView a, QStringView b);
    // One code unit as the comparison sees it: compare(a, b) orders like the plain code-unit comparison of the
    // texts with every unit folded.
    static char16_t fold(char16_t c);

    // Back to the state of a fresh list: no user sort, no arrow.
    void reset();
    // The default order; with reset, the user's sort and the arrow are forgotten first.
    SortPlan applyDefaultOrder(bool resetFirst);
    // A click on the header of column c. titles: the shown column titles.
    SortPlan headerClick(int c, const QStringList& titles);
    // After a reload that keeps the user's sort: the default order, then the user's column and direction again.
    SortPlan restoreAfterReload();

    // The column whose header shows an arrow (-1 none) and the arrow: 0 ascending, 1 descending.
    int arrowColumn() const { return m_arrowColumn; }
    int arrowImage() const { return m_arrowImage; }

    int sortColumn() const { return m_sortColumn; }
    int direction() const { return m_direction; }
    int lastClicked() const { return m_lastClicked; }
    int lastDirection() const { return m_lastDirection; }
    bool userSorted() const { return m_userSorted; }

private:
    int m_sortColumn = -1;
    int m_direction = 0;
    int m_lastClicked = -1;
    int m_lastDirection = 0;
    int m_savedColumn = -1;
    int m_savedDirection = 0;
    bool m_userSorted = false;
    int m_arrowColumn = -1;
    int m_arrowImage = 0;
};
