#include "ui/list/CListDispView.h"

#include "list/CFindSetLogic.h"
#include "list/CInfoEditLogic.h"
#include "list/CListDispSelectLogic.h"
#include "platform/CCommonTexts.h"
#include "platform/CUserInterface.h"
#include "shell/CKELDADoc.h"
#include "ui/list/CDataListCtrl.h"
#include "ui/list/CFindSetDlg.h"
#include "ui/list/CInfoEditDlg.h"
#include "ui/list/CListDispSelectDlg.h"
#include "ui/list/CListHeaderView.h"
#include "ui/list/CListTableModel.h"
#include "ui/list/CPlayerBar.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QVBoxLayout>

CListDispView::CListDispView(CKELDADoc& doc, int slot, CUserInterface& ui, QWidget* parent)
    : QWidget(parent), m_ui(ui), m_model(doc, slot, ui) {
    m_table = new CListTableModel(m_model, this);
    m_list = new CDataListCtrl(m_model, m_table, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // Nothing paints between the parts (the window is not erased first): they touch.
    layout->setSpacing(0);
    layout->addWidget(m_list);
    m_bar = new CPlayerBar(*this, this);
    layout->addWidget(m_bar);
    setPlayerBarShown(doc.playerBar == 1);
    // A list window that gets the focus hands it to its list.
    setFocusProxy(m_list);
    m_model.rowsChanged = [this](bool begin) {
        if (begin) {
            // What was measured is written to the caches before a load reads them again.
            m_measure.stop();
            m_table->beginReset();
        } else {
            m_table->endReset();
        }
    };
    m_model.rowsReordered = [this](bool begin) {
        if (begin) {
            m_table->beginReorder();
        } else {
            m_table->endReorder();
        }
    };
    connect(m_list, &CDataListCtrl::flagClicked, this, [this](int row, int) { toggleFlag(row); });
    connect(m_list, &CDataListCtrl::selectionTouched, this, &CListDispView::factsChanged);
    connect(m_list, &CDataListCtrl::editRequested, this, &CListDispView::editRequested);
    connect(m_list, &CDataListCtrl::editRequested, this, [this](int) { editInfo(); });
    connect(m_list, &CDataListCtrl::headerClicked, this, &CListDispView::headerClicked);
    // Measuring waits while an operation has the window (it disables the list) or a dialog is open over it, so that
    // it writes no cache into a folder that is being changed.
    m_measure.setMayWork([this] { return isEnabled() && QApplication::activeModalWidget() == nullptr; });
    // Another run's changes come in without a click, but never between a press and its release (the row under
    // the pointer could change), nor while an operation of this window or a dialog over it runs.
    m_follow.mayReload = [this] { return isEnabled() && QApplication::activeModalWidget() == nullptr && !m_pressed; };
    m_rowArea = m_list->viewport();
    m_rowArea->installEventFilter(this);
    connect(&m_follow, &CListFollow::reloadDue, this,
            [this] { reload(CListModel::Sort::Keep, CListModel::Columns::Same); });
    connect(&m_measure, &CMeasureRun::measured, this, [this](const QString& path, const CVoiceMeasure::Figures& f) {
        m_model.setFigures(path, f);
        m_list->viewport()->update();
    });

    findSetRunner = [this](CFindSetLogic& logic) {
        CFindSetDlg dlg(logic, this);
        return dlg.exec() == QDialog::Accepted;
    };
    columnRunner = [this](CListDispSelectLogic& logic) {
        CListDispSelectDlg dlg(logic, this);
        return dlg.exec() == QDialog::Accepted;
    };
    infoEditRunner = [this](CInfoEditLogic& logic) {
        CInfoEditDlg dlg(logic, this);
        return dlg.exec() == QDialog::Accepted;
    };
}

CListDispView::~CListDispView() {
    m_measure.stop();
    m_follow.clear();
    // The list's parts send events as they go; none reaches this half-destroyed view.
    m_rowArea->removeEventFilter(this);
    // The bar reads the list's selection and model; it stops playing and goes first.
    delete m_bar;
    // The list and its table read the model while they are hidden and destroyed; they go while it still lives.
    delete m_list;
    delete m_table;
}

bool CListDispView::eventFilter(QObject* watched, QEvent* e) {
    if (watched == m_rowArea) {
        if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick) {
            m_pressed = true;
        } else if (e->type() == QEvent::MouseButtonRelease) {
            m_pressed = static_cast<QMouseEvent*>(e)->buttons() != Qt::NoButton;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void CListDispView::showSortArrow() {
    m_list->header()->setArrow(m_model.sortState().arrowColumn(), m_model.sortState().arrowImage());
}

void CListDispView::finished() {
    m_follow.loaded(m_model.doc().slotFolderPath(m_model.slot()), m_model.boxFolders());
    m_measure.start(m_model.voicePaths());
    showSortArrow();
    Q_EMIT factsChanged();
}

void CListDispView::load(CListModel::Load how) {
    const bool first = m_model.firstLoad();
    if (how != CListModel::Load::Refresh) {
        setUpdatesEnabled(false);
    }
    m_model.load(how);
    if (first) {
        m_list->fitColumns();
        m_list->makeFirstRowCurrent();
    }
    if (how != CListModel::Load::Refresh) {
        setUpdatesEnabled(true);
        update();
    }
    finished();
}

void CListDispView::reload(CListModel::Sort sort, CListModel::Columns columns) {
    // A person playing or editing one message after another keeps their place: the messages still in the list
    // stay selected and the list shows the same part of it.
    const Place before = place();
    // The load disables the window for its moment, which takes the keyboard from the list: a reload nobody asked
    // for (another run's change, a played mark) gives it back, so the next key still reaches the list.
    const bool listHadKeys = m_list->hasFocus();
    setUpdatesEnabled(false);
    m_model.reload(sort, columns);
    if (columns == CListModel::Columns::Changed) {
        m_list->fitColumns();
    }
    returnTo(before);
    setUpdatesEnabled(true);
    if (listHadKeys && !m_list->hasFocus() && m_list->isEnabled() && QApplication::focusWidget() == nullptr) {
        m_list->setFocus(Qt::OtherFocusReason);
    }
    finished();
}

CListDispView::Place CListDispView::place() const {
    Place p;
    for (int row : m_list->selectedRowNumbers()) {
        p.selected << m_model.messageIdentity(row);
    }
    if (const QModelIndex current = m_list->currentIndex(); current.isValid()) {
        p.current = m_model.messageIdentity(current.row());
    }
    p.top = m_model.messageIdentity(m_list->rowAt(0));
    p.sideways = m_list->horizontalScrollBar()->value();
    return p;
}

void CListDispView::returnTo(const Place& p) {
    QStringList wanted = p.selected;
    wanted << p.current << p.top;
    const std::vector<int> rows = m_model.rowsOfMessages(wanted);
    const int count = static_cast<int>(p.selected.size());
    const int lastColumn = std::max(0, m_table->columnCount() - 1);
    QItemSelection selection;
    for (int i = 0; i < count; ++i) {
        if (const int row = rows[static_cast<size_t>(i)]; row >= 0) {
            selection.select(m_table->index(row, 0), m_table->index(row, lastColumn));
        }
    }
    QItemSelectionModel* model = m_list->selectionModel();
    if (const int current = rows[static_cast<size_t>(count)]; current >= 0) {
        model->setCurrentIndex(m_table->index(current, 0), QItemSelectionModel::NoUpdate);
    }
    model->select(selection, QItemSelectionModel::ClearAndSelect);
    if (const int top = rows[static_cast<size_t>(count) + 1]; top >= 0) {
        m_list->showRowAtTop(top);
    }
    m_list->horizontalScrollBar()->setValue(p.sideways);
}

void CListDispView::toggleFlag(int row) {
    if (m_model.toggleFlag(row) == 1) {
        m_table->rowChanged(row);
        m_follow.caughtUp();
    }
}

CListModel::SelectionFacts CListDispView::selectionFacts() const {
    return m_model.selectionFacts(m_list->selectedRowNumbers());
}

void CListDispView::selectDisplay() {
    CKeldaSession& doc = m_model.doc();
    CFindSetLogic logic(doc.criteria, m_ui, doc.currentFolderPath());
    if (findSetRunner && findSetRunner(logic)) {
        applySelection(doc.criteria);
    }
}

// The display commands load the list again too: the selected messages they still show stay selected.
void CListDispView::applySelection(const CSelectCriteria& criteria) {
    const Place before = place();
    setUpdatesEnabled(false);
    m_model.setCriteria(criteria);
    m_model.setKeepSort(0);
    // The model measures what is missing for the empty calls; what the background measured so far is kept first.
    if (criteria.emptyCalls) {
        m_measure.stop();
    }
    // A list that finds nothing keeps all its messages, sorted as a fresh list is.
    if (m_model.selectDisplay() == CListModel::SelectOutcome::NothingMatched) {
        m_model.applyDefaultOrder(true);
    }
    returnTo(before);
    setUpdatesEnabled(true);
    finished();
}

void CListDispView::allDisplay() {
    const Place before = place();
    setUpdatesEnabled(false);
    m_model.load(CListModel::Load::Fresh);
    returnTo(before);
    setUpdatesEnabled(true);
    update();
    finished();
}

void CListDispView::notDownloadedDisplay() {
    const Place before = place();
    setUpdatesEnabled(false);
    m_model.notDownloadedDisplay(1);
    returnTo(before);
    setUpdatesEnabled(true);
    finished();
}

bool CListDispView::columnSettings(const QString& iniFile) {
    CListDispSelectLogic logic(m_model.doc(), m_ui, iniFile);
    return columnRunner && columnRunner(logic);
}

void CListDispView::editInfo() {
    const std::vector<int> rows = m_list->selectedRowNumbers();
    if (rows.empty()) {
        m_ui.messageBox(CCommonTexts::NothingSelected(), CCommonTexts::ErrorCaption(), MsgIcon::Exclamation);
        return;
    }
    m_model.writeFlagsOfRows(rows);
    const QString file = FILESTS_INFO::text(m_model.recordAt(rows.front()).filePath);
    CInfoEditLogic logic(m_ui, file, m_model.doc().folder);
    if (infoEditRunner && infoEditRunner(logic)) {
        reload(CListModel::Sort::Keep, CListModel::Columns::Same);
    }
}

void CListDispView::headerClicked(int column) {
    m_model.headerClick(column);
    showSortArrow();
}

void CListDispView::setPlayerBarShown(bool shown) {
    if (!shown) {
        m_bar->stop();
    }
    m_bar->setVisible(shown);
}
