#pragma once

#include "list/CListModel.h"

#include <QWidget>

class CDataListCtrl;
class CListTableModel;
class CKELDADoc;
class CUserInterface;

// The view of a list window: owns the list model (and with it the record array) and the list control, loads
// the slot's boxes, writes flags back and publishes its counts and selection facts.
class CListDispView : public QWidget {
    Q_OBJECT
public:
    CListDispView(CKELDADoc& doc, int slot, CUserInterface& ui, QWidget* parent = nullptr);
    ~CListDispView() override;

    int slot() const { return m_model.slot(); }
    void setSlot(int slot) { m_model.setSlot(slot); }
    CListModel& model() { return m_model; }
    CDataListCtrl* list() const { return m_list; }

    // Load with refresh 0 (fresh) or 1 (inside an operation); the first load sizes the columns.
    void load(int refresh);
    // After an operation changed the store or the columns.
    void reload(int keepSort, int columnsChanged);
    void toggleFlag(int row);
    CListModel::SelectionFacts selectionFacts() const;

Q_SIGNALS:
    // Counts or selection facts changed; the main frame refreshes its bar and status line.
    void factsChanged();
    void loaded();
    void editRequested(int row);

private:
    CListModel m_model;
    CListTableModel* m_table;
    CDataListCtrl* m_list;
};
