// The list model's ordering and display selection: header sorts, the default order, the filters and reloads.
#include "list/CListModel.h"

#include "list/CSelectMatcher.h"
#include "platform/CCommonTexts.h"
#include "platform/CUserInterface.h"
#include "store/CFileMng.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <numeric>
#include <string_view>
#include <unordered_set>

void CListModel::rankDefaultOrder() {
    // The default order is two stable sorts, newest first by date-time and then box number ascending; together
    // they order by box number, then date-time descending, then the order the rows had. Rows equal in both get
    // the same rank, so that any later sort can fall back to the default order by comparing ranks.
    m_defaultRank.assign(m_records.size(), 0);
    const int box = findColumn(ColBoxNo);
    const int date = findColumn(ColDateTime);
    if (box < 0 && date < 0) {
        return;
    }
    // A row's two texts go side by side into one short key of folded units: the box number as it is, the
    // date-time turned round so that newest comes first. A shorter text is filled out with the unit that puts it
    // before (box number) or after (date-time) every longer one it begins. Comparing keys orders the rows as
    // comparing the shown texts does, and the sort reads a few bytes a row instead of two fields of records that
    // lie a kilobyte apart.
    constexpr size_t boxUnits = std::size(FILESTS_INFO{}.boxNo);
    constexpr size_t dateUnits = std::size(FILESTS_INFO{}.recDateTime);
    struct Key {
        std::array<char16_t, boxUnits + dateUnits> units;
        int record;
    };
    const CListColumns::Column* boxColumn = &CListColumns::of(ColBoxNo);
    const CListColumns::Column* dateColumn = &CListColumns::of(ColDateTime);
    std::vector<Key> keys(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i) {
        Key& k = keys[i];
        k.record = m_rows[i];
        k.units.fill(0);
        if (box >= 0) {
            const QStringView text =
                CListColumns::text(*boxColumn, m_records[static_cast<size_t>(k.record)], m_rootPrefix);
            for (qsizetype u = 0; u < text.size(); ++u) {
                k.units[static_cast<size_t>(u)] = CListSortState::fold(text[u].unicode());
            }
        }
        if (date >= 0) {
            const QStringView text =
                CListColumns::text(*dateColumn, m_records[static_cast<size_t>(k.record)], m_rootPrefix);
            char16_t* units = k.units.data() + boxUnits;
            std::fill_n(units, dateUnits, char16_t(0xFFFF));
            for (qsizetype u = 0; u < text.size(); ++u) {
                units[u] = static_cast<char16_t>(0xFFFF - CListSortState::fold(text[u].unicode()));
            }
        }
    }
    std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) { return a.units < b.units; });
    int rank = 0;
    for (size_t i = 0; i < keys.size(); ++i) {
        if (i > 0 && keys[i - 1].units != keys[i].units) {
            ++rank;
        }
        m_defaultRank[static_cast<size_t>(keys[i].record)] = rank;
    }
}

std::vector<std::vector<QStringView>> CListModel::columnShapes() const {
    // Texts that differ only in their digits are one shape. The last shape a column found is tried first: rows
    // next to each other mostly look alike.
    struct ShapeHash {
        size_t operator()(QStringView v) const {
            size_t h = 1469598103934665603ULL;
            for (const QChar c : v) {
                const char16_t u = c.unicode() >= u'0' && c.unicode() <= u'9' ? u'0' : c.unicode();
                h = (h ^ u) * 1099511628211ULL;
            }
            return h;
        }
    };
    struct SameShape {
        bool operator()(QStringView a, QStringView b) const {
            if (a.size() != b.size()) {
                return false;
            }
            for (qsizetype i = 0; i < a.size(); ++i) {
                const char16_t x = a[i].unicode();
                const char16_t y = b[i].unicode();
                if (x != y && !(x >= u'0' && x <= u'9' && y >= u'0' && y <= u'9')) {
                    return false;
                }
            }
            return true;
        }
    };
    const size_t columns = m_columns.size();
    std::vector<std::vector<QStringView>> shapes(columns);
    std::vector<std::unordered_set<QStringView, ShapeHash, SameShape>> seen(columns);
    std::vector<QStringView> last(columns);
    std::vector<bool> haveLast(columns, false);
    // The records are visited in the order they lie in memory, whatever order the rows show them in.
    std::vector<bool> isRow(m_records.size(), false);
    for (const int rec : m_rows) {
        isRow[static_cast<size_t>(rec)] = true;
    }
    std::vector<const CListColumns::Column*> defs(columns);
    for (size_t c = 0; c < columns; ++c) {
        defs[c] = &CListColumns::of(m_columns[c]);
    }
    const SameShape same;
    for (size_t rec = 0; rec < isRow.size(); ++rec) {
        if (!isRow[rec]) {
            continue;
        }
        for (size_t c = 0; c < columns; ++c) {
            const QStringView text = recordText(*defs[c], rec);
            if (haveLast[c] && same(text, last[c])) {
                continue;
            }
            if (seen[c].insert(text).second) {
                shapes[c].push_back(text);
            }
            last[c] = text;
            haveLast[c] = true;
        }
    }
    return shapes;
}

void CListModel::runSortPlan(const CListSortState::SortPlan& plan, bool notify) {
    const int n = rowCount();
    const int column = plan.column >= 0 && plan.column < columnCount() ? plan.column : -1;
    if (n < 2 || (!plan.byDefault && column < 0)) {
        return;
    }
    // Stable sorts one after another come to one sort by the last key, then the keys before it, then the row
    // order; the default order's two keys are its rank.
    struct Item {
        const char16_t* key;
        uint32_t length;
        int rank;
        int position;
        int record;
    };
    std::vector<Item> items(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const int rec = m_rows[static_cast<size_t>(i)];
        items[static_cast<size_t>(i)] = {nullptr, 0, plan.byDefault ? m_defaultRank[static_cast<size_t>(rec)] : 0, i,
                                         rec};
    }
    // The column's texts are copied side by side with every unit folded, the records taken in the order they lie
    // in memory: the sort then compares short runs of plain code units that lie together, and finds the order
    // the comparison of the shown texts gives.
    std::vector<char16_t> folded;
    if (column >= 0) {
        std::vector<int> positionOf(m_records.size(), -1);
        for (int i = 0; i < n; ++i) {
            positionOf[static_cast<size_t>(m_rows[static_cast<size_t>(i)])] = i;
        }
        std::vector<size_t> start(static_cast<size_t>(n));
        folded.reserve(static_cast<size_t>(n) * 12);
        // The records are 990 bytes apart: the field of a record a few places ahead is asked for early, so that
        // reading the texts does not wait on memory record by record.
        const size_t ahead = 8;
        const CListColumns::Column& def = CListColumns::of(m_columns[static_cast<size_t>(column)]);
        const size_t offset = def.offset;
        for (size_t rec = 0; rec < positionOf.size(); ++rec) {
            if (rec + ahead < m_records.size()) {
                __builtin_prefetch(reinterpret_cast<const char*>(&m_records[rec + ahead]) + offset);
            }
            const int at = positionOf[rec];
            if (at < 0) {
                continue;
            }
            const QStringView text = recordText(def, rec);
            start[static_cast<size_t>(at)] = folded.size();
            items[static_cast<size_t>(at)].length = static_cast<uint32_t>(text.size());
            for (const QChar c : text) {
                folded.push_back(CListSortState::fold(c.unicode()));
            }
        }
        for (int i = 0; i < n; ++i) {
            items[static_cast<size_t>(i)].key = folded.data() + start[static_cast<size_t>(i)];
        }
    }
    const bool descending = plan.direction == 1;
    const bool byColumn = column >= 0;
    std::stable_sort(items.begin(), items.end(), [descending, byColumn](const Item& a, const Item& b) {
        if (byColumn) {
            const uint32_t common = std::min(a.length, b.length);
            for (uint32_t k = 0; k < common; ++k) {
                if (a.key[k] != b.key[k]) {
                    return descending ? a.key[k] > b.key[k] : a.key[k] < b.key[k];
                }
            }
            if (a.length != b.length) {
                return descending ? a.length > b.length : a.length < b.length;
            }
        }
        if (a.rank != b.rank) {
            return a.rank < b.rank;
        }
        return a.position < b.position;
    });
    if (notify && rowsReordered) {
        rowsReordered(true);
    }
    for (int i = 0; i < n; ++i) {
        m_rows[static_cast<size_t>(i)] = items[static_cast<size_t>(i)].record;
    }
    if (notify && rowsReordered) {
        rowsReordered(false);
    }
}

void CListModel::applyDefaultOrder(bool resetSort) {
    runSortPlan(m_sort.applyDefaultOrder(resetSort), true);
}

void CListModel::sortAsAfterLoad() {
    if (m_keepSort != 1) {
        runSortPlan(m_sort.applyDefaultOrder(true), false);
    } else {
        runSortPlan(m_sort.restoreAfterReload(), false);
    }
}

void CListModel::headerClick(int column) {
    if (column < 0 || column >= columnCount()) {
        return;
    }
    runSortPlan(m_sort.headerClick(column, m_titles), true);
}

void CListModel::countRows() {
    m_listTotal = rowCount();
    m_playedOnUnit = 0;
    m_unplayedOnUnit = 0;
    for (int rec : m_rows) {
        const int s = m_records[static_cast<size_t>(rec)].importStatus;
        if (s == 1) {
            ++m_playedOnUnit;
        } else if (s == 2) {
            ++m_unplayedOnUnit;
        }
    }
}

CListModel::SelectOutcome CListModel::selectDisplay() {
    return applySelection(true);
}

CListModel::SelectOutcome CListModel::applySelection(bool reloadFirst) {
    if (reloadFirst && m_displayMode != 0) {
        load(Load::Refresh);
    }
    m_displayMode = 1;
    // The empty calls are told from every message's figures: what is not known yet is taken from the caches or
    // measured now.
    if (m_criteria.emptyCalls) {
        measureNow();
    }
    // The loaded records stay where they are; the rows name the ones that match, in load order.
    std::vector<int> rows;
    for (int i = 0; i < m_loaded; ++i) {
        const bool emptyCall =
            m_criteria.emptyCalls == 0 || (speechMs(i) >= 0 && speechMs(i) < CVoiceMeasure::EMPTY_CALL_MS);
        if (emptyCall && CSelectMatcher::matches(m_criteria, m_records[static_cast<size_t>(i)])) {
            rows.push_back(i);
        }
    }
    if (rows.empty()) {
        m_ui.messageBox(QStringLiteral("該当するメッセージがありません。"), CCommonTexts::ErrorCaption(),
                        MsgIcon::Exclamation);
        m_displayMode = 0;
        return SelectOutcome::NothingMatched;
    }
    showRows(rows);
    return SelectOutcome::Shown;
}

void CListModel::notDownloadedDisplay(int fromCommand) {
    applyNotDownloaded(fromCommand, true);
}

void CListModel::applyNotDownloaded(int fromCommand, bool reloadFirst) {
    if (reloadFirst && m_displayMode != 0) {
        load(Load::Refresh);
    }
    m_displayMode = 2;
    if (fromCommand == 1) {
        m_keepSort = 0;
    }
    std::vector<int> rows;
    for (int i = 0; i < m_loaded; ++i) {
        if (FILESTS_INFO::text(m_records[static_cast<size_t>(i)].filePath).contains(QLatin1String(".vminf"))) {
            rows.push_back(i);
        }
    }
    showRows(rows);
}

void CListModel::showRows(std::vector<int>& rows) {
    if (rowsChanged) {
        rowsChanged(true);
    }
    m_rows.swap(rows);
    countRows();
    sortAsAfterLoad();
    if (rowsChanged) {
        rowsChanged(false);
    }
}

void CListModel::reload(Sort sort, Columns columns) {
    m_keepSort = sort == Sort::Keep ? 1 : 0;
    if (sort == Sort::Reset) {
        m_sort.reset();
    }
    if (columns == Columns::Changed) {
        if (rowsChanged) {
            rowsChanged(true);
        }
        rebuildColumns();
        if (rowsChanged) {
            rowsChanged(false);
        }
    }
    load(Load::Refresh);
    // The list was just loaded whole: the filter is applied to it without loading again.
    if (m_displayMode == 1) {
        applySelection(false);
    } else if (m_displayMode == 2) {
        applyNotDownloaded(0, false);
    }
}

int CListModel::writeFlagsOfRows(const std::vector<int>& rows) {
    const int flagColumn = findColumn(ColFlag);
    int failed = 0;
    for (int row : rows) {
        if (row < 0 || row >= rowCount()) {
            continue;
        }
        FILESTS_INFO& rec = m_records[static_cast<size_t>(m_rows[static_cast<size_t>(row)])];
        FILESTS_INFO copy = rec;
        if (flagColumn >= 0) {
            copy.flag = cellText(row, flagColumn) == QLatin1String("0") ? 0 : 1;
        }
        if (CFileMng::RewriteRecord(copy, FILESTS_INFO::text(rec.filePath)) == CFileMng::WriteResult::Written) {
            rec = copy;
        } else {
            ++failed;
        }
    }
    return failed;
}
