#include "list/CListPlayOrder.h"

bool CListPlayOrder::playable(const FILESTS_INFO& rec) {
    return FILESTS_INFO::text(rec.filePath).endsWith(QLatin1String(".vmdat"), Qt::CaseInsensitive);
}

int CListPlayOrder::nextUnplayed(int rowCount, int afterRow, const RecordAt& recordAt) {
    for (int row = std::max(0, afterRow + 1); row < rowCount; ++row) {
        const FILESTS_INFO& rec = recordAt(row);
        if (rec.played == 0 && playable(rec)) {
            return row;
        }
    }
    return -1;
}
