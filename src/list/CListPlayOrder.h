#pragma once

#include "store/FILESTS_INFO.h"

#include <functional>

// Which message of a list the player goes on to: the next row in the list's order, after the given one, whose
// voice data is on the PC and that is not marked played. Rows that hold recording information only are passed.
class CListPlayOrder {
public:
    using RecordAt = std::function<const FILESTS_INFO&(int row)>;
    // -1 when no row after afterRow qualifies (afterRow -1: from the top).
    static int nextUnplayed(int rowCount, int afterRow, const RecordAt& recordAt);
    static bool playable(const FILESTS_INFO& rec);
};
