#pragma once

#include "list/CListColumns.h"
#include "list/CListSortState.h"
#include "settings/CSelectCriteria.h"
#include "store/FILESTS_INFO.h"
#include "voice/CVoiceMeasure.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <vector>

class CKeldaSession;
class CUserInterface;

// What one list window shows: the records of the chosen boxes of one download folder, one row per record,
// the columns of the display-column setting and the counts and selection facts the main frame needs.
// Rows refer to records by index; cell texts are made from the record when asked for.
class CListModel {
public:
    // The columns and what they mean are the column table's; the model names them as it always has.
    using ColumnKind = CListColumns::Kind;
    using enum CListColumns::Kind;

    struct SelectionFacts {
        bool voiceSelected = false;
        bool singleVoiceSelected = false;
        bool rowsSelected = false;
        int singleRecord = -1; // record index of the single selected voice message
    };

    CListModel(CKeldaSession& doc, int slot, CUserInterface& ui);

    int slot() const { return m_slot; }
    void setSlot(int slot) { m_slot = slot; }
    CKeldaSession& doc() { return m_doc; }

    // Rebuilds the column list from the display-column setting.
    void rebuildColumns();
    int columnCount() const { return static_cast<int>(m_columns.size()); }
    const QString& columnTitle(int col) const { return m_titles[col]; }
    ColumnKind columnKind(int col) const { return m_columns[col]; }
    static ColumnKind kindOfTitle(const QString& title);
    static int initialWidth(ColumnKind kind);
    int findColumn(ColumnKind kind) const;

    // How a load starts: a fresh display of all messages, or a refresh inside an operation (keeps the display
    // mode).
    enum class Load { Fresh, Refresh };
    // Whether a reload keeps the user's sort, and whether the columns changed before it.
    enum class Sort { Reset, Keep };
    enum class Columns { Same, Changed };

    // Loads every record of the slot's boxes, as how says. The first load shows the "一覧表を開く" progress window.
    // rowsChanged is called before the rows are replaced and after they are in place, so that a view can
    // follow; it may be empty.
    void load(Load how);
    std::function<void(bool begin)> rowsChanged;

    int rowCount() const { return static_cast<int>(m_rows.size()); }
    int recordIndex(int row) const { return m_rows[row]; }
    const FILESTS_INFO& recordAt(int row) const { return m_records[m_rows[row]]; }
    const std::vector<FILESTS_INFO>& records() const { return m_records; }
    // The array size the last load computed (the message count, spares included).
    int arraySize() const { return m_arraySize; }
    const QStringList& boxFolders() const { return m_boxFolders; }

    QString cellText(int row, int col) const;
    QString cellText(const FILESTS_INFO& rec, ColumnKind kind) const;
    // Per column, the texts its rows show, one of each shape: texts that differ only in their ASCII digits are
    // one shape. A window sizing its columns measures these instead of every row. The views are valid until the
    // next load.
    std::vector<std::vector<QStringView>> columnShapes() const;

    // Flips the flag of a row and writes its record back at once. 1 written; 0 not (the row keeps its old state).
    int toggleFlag(int row);

    // The default order: box number ascending, newest first within a box, ties in the order the rows have.
    void applyDefaultOrder(bool resetSort);

    SelectionFacts selectionFacts(const std::vector<int>& selectedRows) const;

    // A message as it is known across reloads: the path of its file.
    QString messageIdentity(int row) const;
    // The row of each message named, in the order named; -1 for a message no longer in the list. A message
    // whose voice data came or went in the meantime (the other of ".vminf" and ".vmdat") is still found.
    std::vector<int> rowsOfMessages(const QStringList& identities) const;

    int boxTotal() const { return m_boxTotal; }
    int listTotal() const { return m_listTotal; }
    int playedOnUnit() const { return m_playedOnUnit; }
    int unplayedOnUnit() const { return m_unplayedOnUnit; }
    bool infoOnlyPresent() const { return m_infoOnly; }
    // Message files of the last load that could not be read: left out of the rows.
    int unreadableFiles() const { return m_unreadableFiles; }
    bool firstLoad() const { return m_firstLoad; }
    int displayMode() const { return m_displayMode; }
    void setKeepSort(int keep) { m_keepSort = keep; }

    // Sorting (header clicks and the orders kept over reloads). rowsReordered brackets a sort that only moves
    // rows (begin true, then false), so that a view keeps its selection; it may be empty.
    std::function<void(bool begin)> rowsReordered;
    const CListSortState& sortState() const { return m_sort; }
    void headerClick(int column);

    // Display selection. The criteria this list was last filtered with.
    const CSelectCriteria& criteria() const { return m_criteria; }
    void setCriteria(const CSelectCriteria& criteria) { m_criteria = criteria; }
    enum class SelectOutcome { Shown, NothingMatched };
    // Keeps the rows that meet the list's criteria (all messages are loaded again first when the list is
    // filtered). When none does, the user is told and the list shows all messages.
    SelectOutcome selectDisplay();
    // Keeps the messages downloaded as recording information only; fromCommand 1 also forgets the user's sort.
    void notDownloadedDisplay(int fromCommand);
    // After an operation changed the store or the columns: Sort::Keep keeps the user's sort, Columns::Changed
    // rebuilds the columns first; a filtered list is filtered again.
    void reload(Sort sort, Columns columns);
    // Before the information editor opens: the flag states of the given rows are written to their files.
    // Returns how many records could not be written.
    int writeFlagsOfRows(const std::vector<int>& rows);

    // Measurements of the voice data. A load knows none (it reads no cache, so that a list opens as fast as
    // without them); they arrive later, from the box folders' caches or measured, in the background in a window
    // (setFigures) or at once (measureNow).
    void setFigures(const QString& path, const CVoiceMeasure::Figures& figures);
    // -1 when the record's voice data is not measured (yet), or it has none.
    qint64 speechMs(int recordIndex) const;
    // The voice files of the loaded records, in load order.
    QStringList voicePaths() const;
    // Measures every voice file whose figures are not valid now, through the box folders' caches (kept
    // there); returns how many could not be measured.
    int measureNow();

private:
    void sortAsAfterLoad();
    void runSortPlan(const CListSortState::SortPlan& plan, bool notify);
    void rankDefaultOrder();
    SelectOutcome applySelection(bool reloadFirst);
    void applyNotDownloaded(int fromCommand, bool reloadFirst);
    // Puts rows (taken by swap) in place of the shown ones, counted and sorted as after a load, with the view told.
    void showRows(std::vector<int>& rows);
    void countRows();
    // A record's text in a column: the record's own, or the measurement kept beside it.
    QStringView recordText(const CListColumns::Column& def, size_t record) const;
    void forgetMeasures();
    void setSpeech(size_t record, qint64 ms);

    CKeldaSession& m_doc;
    CUserInterface& m_ui;
    int m_slot;
    std::vector<ColumnKind> m_columns;
    QStringList m_titles;
    std::vector<FILESTS_INFO> m_records;
    std::vector<int> m_rows;
    QStringList m_boxFolders;
    QString m_rootPrefix;
    int m_arraySize = 0;
    int m_boxTotal = 0;
    int m_listTotal = 0;
    int m_playedOnUnit = 0;
    int m_unplayedOnUnit = 0;
    bool m_infoOnly = false;
    int m_unreadableFiles = 0;
    bool m_firstLoad = true;
    int m_displayMode = 0;
    int m_keepSort = 0;
    CListSortState m_sort;
    CSelectCriteria m_criteria = CSelectCriteria::initial();
    // Per record: its place in the default order taken from load order (equal for equal box and date).
    std::vector<int> m_defaultRank;
    int m_loaded = 0; // records of the last load, from index 0
    // Per record: the seconds of speech as the column shows them ("12.3", blank-padded so that the text sorts
    // as the number), and in milliseconds (-1 unknown).
    std::vector<QString> m_speechTexts;
    std::vector<qint64> m_speechMs;
    // The record of a voice file's path, made when the first figure arrives after a load.
    QHash<QString, int> m_recordOfPath;
};
