#include "ui/list/CCheckListCtrl.h"

#include "ui/CJapaneseFont.h"
#include "ui/CTickKeyFilter.h"
#include "ui/list/CListImages.h"
#include "ui/list/CRowFocusMark.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {
class CheckDelegate : public QStyledItemDelegate {
public:
    CheckDelegate(std::vector<CBoxOpenLogic::Row>& rows, QObject* parent) : QStyledItemDelegate(parent), m_rows(rows) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const int row = index.row();
        if (row < 0 || row >= static_cast<int>(m_rows.size())) {
            return;
        }
        const auto& r = m_rows[row];
        const bool greyed = r.check == CBoxOpenLogic::Greyed;
        const bool selected = option.state & QStyle::State_Selected;
        p->save();
        QColor bg = greyed ? QColor(236, 233, 216) : option.palette.color(QPalette::Base);
        if (selected && !greyed) {
            bg = option.palette.color(QPalette::Highlight);
        }
        p->fillRect(option.rect, bg);
        if (index.column() == 0) {
            const auto state = greyed                              ? CListImages::GreyedOut
                               : r.check == CBoxOpenLogic::Checked ? CListImages::Ticked
                                                                   : CListImages::Clear;
            if (option.rect.width() >= 20) {
                p->drawPixmap(option.rect.left() + option.rect.width() / 2 - 7, option.rect.top() + 3,
                              CListImages::checkBox(state));
            }
        } else {
            p->setPen(greyed     ? QColor(128, 128, 128)
                      : selected ? option.palette.color(QPalette::HighlightedText)
                                 : option.palette.color(QPalette::Text));
            p->drawText(option.rect.adjusted(4, 0, -4, 0), Qt::AlignCenter, r.boxNo);
        }
        p->restore();
        CRowFocusMark::paint(p, option, index);
    }

private:
    std::vector<CBoxOpenLogic::Row>& m_rows;
};
} // namespace

CCheckListCtrl::CCheckListCtrl(std::vector<CBoxOpenLogic::Row>& rows, QWidget* parent)
    : QTableWidget(static_cast<int>(rows.size()), 2, parent), m_rows(rows) {
    setFont(CJapaneseFont::font(13));
    setHorizontalHeaderLabels({QStringLiteral("選択"), QStringLiteral("     BOX番号     ")});
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    setColumnWidth(0, 45);
    setColumnWidth(1, 120);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(19);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    CTickKeyFilter::install(*this, [this](int row) { clickCheck(row); });
    setItemDelegate(new CheckDelegate(rows, this));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        setItem(i, 1, new QTableWidgetItem(rows[i].boxNo));
    }
}

void CCheckListCtrl::refresh() {
    viewport()->update();
}

void CCheckListCtrl::clickCheck(int row) {
    CBoxOpenLogic::toggle(m_rows, row);
    refresh();
}

void CCheckListCtrl::mousePressEvent(QMouseEvent* e) {
    QTableWidget::mousePressEvent(e);
    if (const int row = CTickKeyFilter::tickRowAt(*this, *e); row >= 0) {
        clickCheck(row);
    }
}
