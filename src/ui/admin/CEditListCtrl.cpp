#include "ui/admin/CEditListCtrl.h"

#include "admin/CEditListState.h"
#include "ui/CJapaneseFont.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <QValidator>

namespace {

// What the list's rule lets the in-place editor hold: a keystroke that would break it is not taken.
class CCellValidator : public QValidator {
public:
    CCellValidator(const CEditListState& state, const QString& preset, QObject* parent)
        : QValidator(parent), m_state(state), m_preset(preset) {}

    State validate(QString& input, int&) const override {
        switch (m_state.typing(m_preset, input)) {
        case CEditListState::Typing::Accept:
            return Acceptable;
        case CEditListState::Typing::Shrinking:
            return Intermediate;
        case CEditListState::Typing::Refuse:
            break;
        }
        m_refused = input;
        return Invalid;
    }
    // The last text the rule refused.
    const QString& refused() const { return m_refused; }

private:
    const CEditListState& m_state;
    QString m_preset;
    mutable QString m_refused;
};

// The in-place editor: a line edit limited to the list's edit limit (or its byte rule), handing its text to the
// list when it ends.
class CEditDelegate : public QStyledItemDelegate {
public:
    explicit CEditDelegate(CEditListCtrl* list) : QStyledItemDelegate(list), m_list(list) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        auto* edit = qobject_cast<QLineEdit*>(QStyledItemDelegate::createEditor(parent, option, index));
        if (edit) {
            const CEditListState& state = m_list->state();
            if (state.hasByteRule()) {
                // A character limit would cut a longer name the moment the editor shows it.
                auto* validator = new CCellValidator(state, state.text(index.row(), CEditListState::EDIT_COLUMN), edit);
                edit->setValidator(validator);
                // What the cell does not take is said where the person is typing.
                QObject::connect(edit, &QLineEdit::inputRejected, edit, [edit, validator, &state] {
                    const QString why = state.refusal(validator->refused());
                    if (!why.isEmpty()) {
                        QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())), why, edit);
                    }
                });
            } else {
                edit->setMaxLength(state.editLimit());
            }
            edit->setAlignment(Qt::AlignCenter);
        }
        return edit;
    }
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
        if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
            m_list->endEdit(index.row(), edit->text());
        }
    }

private:
    CEditListCtrl* m_list;
};

// A "選択" cell: a 13 x 13 check box near the middle of the cell, ticked for any text but "0"; nothing in a cell
// narrower than 20 pixels.
class CCheckDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        plain.features &= ~QStyleOptionViewItem::HasCheckIndicator;
        const QWidget* w = option.widget;
        QStyle* style = w ? w->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &plain, painter, w);
        if (option.rect.width() < 20) {
            return;
        }
        QStyleOptionButton box;
        box.rect = QRect(option.rect.left() + option.rect.width() / 2 - 10, option.rect.top() + 3, 13, 13);
        box.state = QStyle::State_Enabled |
                    (index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStyle::State_On : QStyle::State_Off);
        style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, w);
    }
};

} // namespace

CEditListCtrl::CEditListCtrl(CEditListState& state, int width1, int width2, QWidget* parent)
    : QTableWidget(0, CEditListState::COLUMNS, parent), m_state(state) {
    setFont(CJapaneseFont::font(13));
    setHorizontalHeaderLabels(state.titles());
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setColumnWidth(0, 0);
    setColumnWidth(1, width1);
    setColumnWidth(2, width2);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    // Tab moves on to the next control (the other list, OK); the arrow keys move between rows.
    setTabKeyNavigation(false);
    setItemDelegateForColumn(CEditListState::EDIT_COLUMN, new CEditDelegate(this));
    for (int c = 0; c < CEditListState::COLUMNS; ++c) {
        if (state.isCheckColumn(c)) {
            setItemDelegateForColumn(c, new CCheckDelegate(this));
        }
    }
    connect(this, &QTableWidget::cellClicked, this, &CEditListCtrl::clickCell);
    refill();
}

void CEditListCtrl::refill() {
    m_filling = true;
    clearSelection();
    setRowCount(0);
    setRowCount(m_state.rowCount());
    for (int r = 0; r < m_state.rowCount(); ++r) {
        showRow(r);
    }
    m_filling = false;
}

void CEditListCtrl::showRow(int row) {
    for (int c = 0; c < CEditListState::COLUMNS; ++c) {
        QTableWidgetItem* it = item(row, c);
        if (!it) {
            it = new QTableWidgetItem;
            setItem(row, c, it);
        }
        it->setTextAlignment(Qt::AlignCenter);
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (m_state.isCheckColumn(c)) {
            // Drawn as a check box; the text stays in the state.
            it->setText(QString());
            it->setData(Qt::CheckStateRole, m_state.text(row, c) == QLatin1String("0") ? Qt::Unchecked : Qt::Checked);
        } else {
            it->setText(m_state.text(row, c));
        }
        if (c == CEditListState::EDIT_COLUMN) {
            flags |= Qt::ItemIsEditable;
        }
        it->setFlags(flags);
    }
}

void CEditListCtrl::clickCell(int row, int col) {
    switch (m_state.click(row, col)) {
    case CEditListState::Click::StartEdit:
        editItem(item(row, col));
        break;
    case CEditListState::Click::Toggled:
        showRow(row);
        break;
    case CEditListState::Click::None:
        break;
    }
}

void CEditListCtrl::commitOpenEdit() {
    if (QAbstractItemView::state() != QAbstractItemView::EditingState) {
        return;
    }
    QWidget* editor = QApplication::focusWidget();
    if (editor && editor != viewport() && viewport()->isAncestorOf(editor)) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void CEditListCtrl::keyPressEvent(QKeyEvent* e) {
    const bool plain = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (plain && enter && QAbstractItemView::state() == QAbstractItemView::EditingState) {
        // The editor's Return ends the edit only; the next Return presses the dialog's OK.
        commitOpenEdit();
        e->accept();
        return;
    }
    const int row = currentIndex().row();
    if (plain && row >= 0 && QAbstractItemView::state() != QAbstractItemView::EditingState) {
        if (e->key() == Qt::Key_Space) {
            for (int c = 0; c < CEditListState::COLUMNS; ++c) {
                if (m_state.isCheckColumn(c)) {
                    clickCell(row, c);
                    break;
                }
            }
            e->accept();
            return;
        }
        if (e->key() == Qt::Key_F2) {
            clickCell(row, CEditListState::EDIT_COLUMN);
            e->accept();
            return;
        }
    }
    QTableWidget::keyPressEvent(e);
}

void CEditListCtrl::endEdit(int row, const QString& text) {
    if (m_filling) {
        return;
    }
    m_state.finishEdit(row, text);
    showRow(row);
    clearSelection();
}
