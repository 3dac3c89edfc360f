#include "ui/list/CListDispView.h"

#include "ui/list/CDataListCtrl.h"
#include "ui/list/CListTableModel.h"

#include <QVBoxLayout>

CListDispView::CListDispView(CKELDADoc& doc, int slot, CUserInterface& ui, QWidget* parent)
    : QWidget(parent), m_model(doc, slot, ui) {
    m_table = new CListTableModel(m_model, this);
    m_list = new CDataListCtrl(m_model, m_table, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    m_model.rowsChanged = [this](bool begin) {
        if (begin) {
            m_table->beginReset();
        } else {
            m_table->endReset();
        }
    };
    connect(m_list, &CDataListCtrl::flagClicked, this, [this](int row, int) { toggleFlag(row); });
    connect(m_list, &CDataListCtrl::selectionTouched, this, &CListDispView::factsChanged);
    connect(m_list, &CDataListCtrl::editRequested, this, &CListDispView::editRequested);
}

CListDispView::~CListDispView() {
    // The list and its table read the model while they are hidden and destroyed; they go while it still lives.
    delete m_list;
    delete m_table;
}

void CListDispView::load(int refresh) {
    const bool first = m_model.firstLoad();
    if (refresh != 1) {
        setUpdatesEnabled(false);
    }
    m_model.load(refresh);
    if (first) {
        m_list->fitColumns();
    }
    if (refresh != 1) {
        setUpdatesEnabled(true);
        update();
    }
    Q_EMIT loaded();
    Q_EMIT factsChanged();
}

void CListDispView::reload(int keepSort, int columnsChanged) {
    setUpdatesEnabled(false);
    m_model.setKeepSort(keepSort);
    if (columnsChanged) {
        m_table->beginReset();
        m_model.rebuildColumns();
        m_table->endReset();
    }
    m_model.load(1);
    if (columnsChanged) {
        m_list->fitColumns();
    }
    setUpdatesEnabled(true);
    Q_EMIT loaded();
    Q_EMIT factsChanged();
}

void CListDispView::toggleFlag(int row) {
    if (m_model.toggleFlag(row) == 1) {
        m_table->rowChanged(row);
    }
}

CListModel::SelectionFacts CListDispView::selectionFacts() const {
    return m_model.selectionFacts(m_list->selectedRowNumbers());
}
