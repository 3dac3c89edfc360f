#include "list/CListModel.h"

#include "list/CBoxSelection.h"
#include "platform/CProgressDlg.h"
#include "platform/CUserInterface.h"
#include "settings/CKeldaSession.h"
#include "store/CFileMng.h"
#include "store/CFolderLock.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_map>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {
const QLatin1String VMINF(".vminf");
const QLatin1String VMDAT(".vmdat");

// The listings, keys and buffers a load of thousands of messages passes through are freed by the time it ends, but
// the C library keeps their pages for the next allocation. They are given back, so that an open list holds about
// its records and no more.
void giveBackFreedMemory() {
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

template <std::size_t N> bool fieldContains(const char16_t (&field)[N], QLatin1String what) {
    return FILESTS_INFO::text(field).contains(what);
}

template <std::size_t N> QStringView view(const char16_t (&field)[N]) {
    std::size_t n = 0;
    while (n < N && field[n] != 0) {
        ++n;
    }
    return QStringView(field, static_cast<qsizetype>(n));
}
} // namespace

CListModel::CListModel(CKeldaSession& doc, int slot, CUserInterface& ui) : m_doc(doc), m_ui(ui), m_slot(slot) {
    rebuildColumns();
}

CListModel::ColumnKind CListModel::kindOfTitle(const QString& title) {
    return CListColumns::kindOfTitle(title);
}

int CListModel::initialWidth(ColumnKind kind) {
    return CListColumns::of(kind).width;
}

void CListModel::rebuildColumns() {
    m_titles = m_doc.shownColumns();
    m_columns.clear();
    for (const auto& t : m_titles) {
        m_columns.push_back(kindOfTitle(t));
    }
}

int CListModel::findColumn(ColumnKind kind) const {
    for (int c = 0; c < columnCount(); ++c) {
        if (m_columns[c] == kind) {
            return c;
        }
    }
    return -1;
}

void CListModel::load(Load how) {
    m_ui.setMainWindowEnabled(false);
    if (how != Load::Refresh) {
        m_displayMode = 0;
        m_keepSort = 0;
    }
    const QString base = m_doc.slotFolderPath(m_slot);
    // A message an interrupted move left split between two boxes is made whole before it is listed.
    CFolderLock::FinishInterrupted(base);
    m_rootPrefix = m_doc.rootWithSlash();
    const QString disp = (m_slot >= 1 && m_slot <= CKeldaSession::SLOTS) ? m_doc.slotDisp[m_slot - 1] : QString();
    m_boxFolders = CBoxSelection::boxFolders(base, disp);
    // Each box folder is listed once: the load reads what was counted.
    std::vector<CFileMng::BoxListing> listings;
    listings.reserve(static_cast<size_t>(m_boxFolders.size()));
    long long total = 0;
    for (const auto& f : m_boxFolders) {
        listings.push_back(CFileMng::ListBox(f));
        total += listings.back().count;
    }
    const int n = static_cast<int>(std::min<long long>(total, 1 << 30));

    if (rowsChanged) {
        rowsChanged(true);
    }
    m_rows.clear();
    m_records.clear();
    m_records.shrink_to_fit();
    // Room for every counted message and the empty record after them, filled in place as the records are read:
    // no second copy of the records, and the memory of a record is touched only when it arrives.
    m_records.reserve(static_cast<size_t>(n) + 1);
    m_rows.reserve(static_cast<size_t>(n));
    m_arraySize = n;
    m_infoOnly = false;
    m_playedOnUnit = 0;
    m_unplayedOnUnit = 0;
    m_unreadableFiles = 0;

    std::unique_ptr<CProgressDlg> progress;
    if (m_firstLoad) {
        ProgressLook look;
        look.title = QStringLiteral("一覧表を開く");
        look.text = QStringLiteral("一覧表を開いています。");
        look.rangeMin = 0;
        look.rangeMax = n;
        progress = std::make_unique<CProgressDlg>(m_ui, look);
    }

    // The records that arrived become rows, and the window follows them while a box is still being read.
    int i = 0;
    auto takeArrived = [&] {
        const int arrived = static_cast<int>(std::min<size_t>(m_records.size(), static_cast<size_t>(n)));
        for (; i < arrived; ++i) {
            const FILESTS_INFO& r = m_records[static_cast<size_t>(i)];
            m_rows.push_back(i);
            if (progress && (i % 64 == 0 || i + 1 == n)) {
                // Moving the bar for every row would spend more time painting than loading.
                progress->setPosition(std::min(i, n));
                m_ui.dispatchPendingEvents(5);
            }
            if (fieldContains(r.filePath, VMINF)) {
                m_infoOnly = true;
            }
            if (r.importStatus == 1) {
                ++m_playedOnUnit;
            } else if (r.importStatus == 2) {
                ++m_unplayedOnUnit;
            }
        }
    };
    for (const auto& listing : listings) {
        m_ui.dispatchPendingEvents(1);
        m_unreadableFiles += CFileMng::LoadRecords(listing, m_records, [&](int) { takeArrived(); }).unreadable;
        // The count leaves out a few names a load still reads (say "x.vmdat.wav"): those find no room.
        if (m_records.size() > static_cast<size_t>(n)) {
            m_records.resize(static_cast<size_t>(n));
        }
        takeArrived();
    }
    // Slots of messages that could not be read stay empty, as does the one after the last.
    m_records.resize(static_cast<size_t>(n) + 1);
    std::vector<CFileMng::BoxListing>().swap(listings);
    m_boxTotal = m_listTotal = m_loaded = static_cast<int>(m_rows.size());
    forgetMeasures();
    rankDefaultOrder();
    sortAsAfterLoad();
    if (progress) {
        progress->close();
    }
    m_firstLoad = false;
    if (rowsChanged) {
        rowsChanged(false);
    }
    giveBackFreedMemory();
    m_ui.setMainWindowEnabled(true);
    m_ui.activateMainWindow();
}

QString CListModel::cellText(int row, int col) const {
    return cellText(recordAt(row), m_columns[col]);
}

QString CListModel::cellText(const FILESTS_INFO& rec, ColumnKind kind) const {
    const CListColumns::Column& def = CListColumns::of(kind);
    if (def.source == CListColumns::Source::Measure) {
        // The record is one of the list's own, or a copy that has no measurement beside it.
        const auto at = reinterpret_cast<std::uintptr_t>(&rec);
        const auto first = reinterpret_cast<std::uintptr_t>(m_records.data());
        const size_t index = (at - first) / sizeof(FILESTS_INFO);
        return at >= first && index < m_speechTexts.size() && &m_records[index] == &rec ? m_speechTexts[index].trimmed()
                                                                                        : QString();
    }
    return CListColumns::cellText(def, rec, m_rootPrefix);
}

int CListModel::toggleFlag(int row) {
    if (row < 0 || row >= rowCount()) {
        return 0;
    }
    FILESTS_INFO& rec = m_records[m_rows[row]];
    FILESTS_INFO copy = rec;
    copy.flag = rec.flag == 0 ? 1 : 0;
    if (CFileMng::RewriteRecord(copy, FILESTS_INFO::text(rec.filePath)) != CFileMng::WriteResult::Written) {
        return 0;
    }
    rec = copy;
    return 1;
}

CListModel::SelectionFacts CListModel::selectionFacts(const std::vector<int>& selectedRows) const {
    SelectionFacts f;
    f.rowsSelected = !selectedRows.empty();
    for (int row : selectedRows) {
        if (row >= 0 && row < rowCount() && fieldContains(recordAt(row).filePath, VMDAT)) {
            f.voiceSelected = true;
        }
    }
    if (selectedRows.size() == 1) {
        const int row = selectedRows.front();
        if (row >= 0 && row < rowCount() && fieldContains(recordAt(row).filePath, VMDAT)) {
            f.singleVoiceSelected = true;
            f.singleRecord = m_rows[row];
        }
    }
    return f;
}

QString CListModel::messageIdentity(int row) const {
    if (row < 0 || row >= rowCount()) {
        return QString();
    }
    return FILESTS_INFO::text(recordAt(row).filePath);
}

namespace {

// The path without the ending that tells information only from voice data.
QString messageStem(const QString& path) {
    return path.endsWith(VMINF) || path.endsWith(VMDAT) ? path.chopped(VMDAT.size()) : path;
}

} // namespace

std::vector<int> CListModel::rowsOfMessages(const QStringList& identities) const {
    std::vector<int> rows(static_cast<size_t>(identities.size()), -1);
    if (identities.isEmpty()) {
        return rows;
    }
    // The few messages asked for are looked up while every record is passed once, its path read where it lies:
    // no text is made for the thousands of rows. Where two rows have the same path or stem, the later row counts.
    auto u16 = [](QStringView v) {
        return std::u16string_view(reinterpret_cast<const char16_t*>(v.utf16()), v.size());
    };
    QStringList stems;
    std::unordered_map<std::u16string_view, int> rowOfPath;
    std::unordered_map<std::u16string_view, int> rowOfStem;
    for (const QString& id : identities) {
        stems << messageStem(id);
        if (!id.isEmpty()) {
            rowOfPath.emplace(u16(id), -1);
            rowOfStem.emplace(u16(stems.back()), -1);
        }
    }
    std::vector<int> rowOfRecord(m_records.size(), -1);
    for (int row = 0; row < rowCount(); ++row) {
        rowOfRecord[static_cast<size_t>(m_rows[static_cast<size_t>(row)])] = row;
    }
    auto note = [](std::unordered_map<std::u16string_view, int>& map, std::u16string_view key, int row) {
        if (const auto it = map.find(key); it != map.end()) {
            it->second = std::max(it->second, row);
        }
    };
    for (size_t rec = 0; rec < rowOfRecord.size(); ++rec) {
        const int row = rowOfRecord[rec];
        if (row < 0) {
            continue;
        }
        const QStringView path = view(m_records[rec].filePath);
        note(rowOfPath, u16(path), row);
        if (path.endsWith(VMINF) || path.endsWith(VMDAT)) {
            note(rowOfStem, u16(path.chopped(VMDAT.size())), row);
        } else {
            note(rowOfStem, u16(path), row);
        }
    }
    for (qsizetype i = 0; i < identities.size(); ++i) {
        const QString& id = identities[i];
        if (id.isEmpty()) {
            continue;
        }
        // The same file first; else the same message under its other ending (its voice data came or went).
        int row = rowOfPath.at(u16(id));
        if (row < 0) {
            row = rowOfStem.at(u16(stems[i]));
        }
        rows[static_cast<size_t>(i)] = row;
    }
    return rows;
}
