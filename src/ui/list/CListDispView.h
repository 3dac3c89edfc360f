#pragma once

#include "list/CListFollow.h"
#include "list/CListModel.h"
#include "voice/CMeasureRun.h"

#include <QStringList>
#include <QWidget>

#include <functional>

class CDataListCtrl;
class CPlayerBar;
class CFindSetLogic;
class CInfoEditLogic;
class CListDispSelectLogic;
class CListTableModel;
class CKELDADoc;
class CUserInterface;

// The view of a list window: owns the list model (and with it the record array) and the list control, loads
// the slot's boxes, writes flags back and publishes its counts and selection facts. It serves the display
// commands of the main frame for its list.
class CListDispView : public QWidget {
    Q_OBJECT
public:
    CListDispView(CKELDADoc& doc, int slot, CUserInterface& ui, QWidget* parent = nullptr);
    ~CListDispView() override;

    int slot() const { return m_model.slot(); }
    void setSlot(int slot) { m_model.setSlot(slot); }
    CListModel& model() { return m_model; }
    CDataListCtrl* list() const { return m_list; }
    // The player bar under the list, shown by the "試聴バー" setting.
    CPlayerBar* playerBar() const { return m_bar; }
    void setPlayerBarShown(bool shown);

    // Load with refresh 0 (fresh) or 1 (inside an operation); the first load sizes the columns.
    void load(CListModel::Load how);
    // After an operation changed the store or the columns.
    void reload(CListModel::Sort sort, CListModel::Columns columns);
    void toggleFlag(int row);
    CListModel::SelectionFacts selectionFacts() const;

    // The main frame's commands for this list.
    // "選択表示": the criteria dialog, then the rows that meet them.
    void selectDisplay();
    // The selection display with given criteria (the dialog's result): they become this list's criteria.
    void applySelection(const CSelectCriteria& criteria);
    // "全表示".
    void allDisplay();
    // "未ﾀﾞｳﾝﾛｰﾄﾞ表示".
    void notDownloadedDisplay();
    // "録音情報一覧の表示項目の追加と消去...": the column dialog; true when it closed with OK (every list window
    // then reloads with its columns rebuilt).
    bool columnSettings(const QString& iniFile);
    // "録音情報を編集する..." and a double click on a row.
    void editInfo();
    // A click on a column header.
    void headerClicked(int column);

    // Follows changes another run makes to the box folders (tests shorten its wait).
    CListFollow& follow() { return m_follow; }

    // The dialogs, replaceable by tests: each returns true when its dialog closed with OK.
    std::function<bool(CFindSetLogic&)> findSetRunner;
    std::function<bool(CListDispSelectLogic&)> columnRunner;
    std::function<bool(CInfoEditLogic&)> infoEditRunner;

Q_SIGNALS:
    // Counts or selection facts changed; the main frame refreshes its bar and status line.
    void factsChanged();
    void editRequested(int row);

protected:
    // Keeps whether a mouse button is down on the rows: the list does not follow another run's changes then.
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Where the user was in the list: the selected, current and first shown messages and the sideways scroll.
    struct Place {
        QStringList selected;
        QString current;
        QString top;
        int sideways = 0;
    };
    Place place() const;
    void returnTo(const Place& place);
    void showSortArrow();
    void finished();

    CUserInterface& m_ui;
    CListModel m_model;
    CListTableModel* m_table;
    CDataListCtrl* m_list;
    CPlayerBar* m_bar;
    // The voice data of the listed messages, measured between events (the window's own thread) after each load.
    CMeasureRun m_measure;
    CListFollow m_follow;
    bool m_pressed = false;
    QWidget* m_rowArea = nullptr; // the list's viewport, whose presses are watched
};
