#include "ui/operations/CBoxTickList.h"

#include "ui/CJapaneseFont.h"
#include "ui/CTickKeyFilter.h"
#include "ui/list/CListImages.h"
#include "ui/list/CRowFocusMark.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {
class TickDelegate : public QStyledItemDelegate {
public:
    TickDelegate(const CBoxTickList::Access& access, QObject* parent) : QStyledItemDelegate(parent), m_access(access) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const int row = index.row();
        if (row < 0 || row >= m_access.count()) {
            return;
        }
        const bool selected = option.state & QStyle::State_Selected;
        p->save();
        p->fillRect(option.rect, option.palette.color(selected ? QPalette::Highlight : QPalette::Base));
        if (index.column() == 0) {
            const auto state = m_access.ticked(row) ? CListImages::Ticked : CListImages::Clear;
            if (option.rect.width() >= 16) {
                p->drawPixmap(option.rect.left() + option.rect.width() / 2 - 7, option.rect.top() + 3,
                              CListImages::checkBox(state));
            }
        } else {
            p->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
            p->drawText(option.rect.adjusted(4, 0, -4, 0), Qt::AlignCenter, m_access.boxNo(row));
        }
        p->restore();
        CRowFocusMark::paint(p, option, index);
    }

private:
    const CBoxTickList::Access& m_access;
};
} // namespace

CBoxTickList::CBoxTickList(Access access, const QString& tickHeader, QWidget* parent)
    : QTableWidget(0, 2, parent), m_access(std::move(access)) {
    setFont(CJapaneseFont::font(13));
    setHorizontalHeaderLabels({tickHeader, QStringLiteral("     BOX番号     ")});
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setStretchLastSection(true);
    setColumnWidth(0, tickHeader.isEmpty() ? 24 : 45);
    setColumnWidth(1, 120);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(19);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    CTickKeyFilter::install(*this, [this](int row) { clickTick(row); });
    setItemDelegate(new TickDelegate(m_access, this));
    refresh();
}

void CBoxTickList::refresh() {
    const int n = m_access.count();
    if (rowCount() != n) {
        setRowCount(n);
    }
    for (int i = 0; i < n; ++i) {
        if (!item(i, 1)) {
            setItem(i, 1, new QTableWidgetItem);
        }
        item(i, 1)->setText(m_access.boxNo(i));
    }
    viewport()->update();
}

void CBoxTickList::clickTick(int row) {
    if (row < 0 || row >= m_access.count()) {
        return;
    }
    m_access.toggle(row);
    refresh();
}

void CBoxTickList::mousePressEvent(QMouseEvent* e) {
    QTableWidget::mousePressEvent(e);
    if (const int row = CTickKeyFilter::tickRowAt(*this, *e); row >= 0) {
        clickTick(row);
    }
}

CBoxTickList::Frame CBoxTickList::addFrame(QWidget& dialog, QVBoxLayout& layout) {
    auto* folderGroup = new QGroupBox(QStringLiteral("ダウンロード先フォルダ"), &dialog);
    auto* folderLayout = new QVBoxLayout(folderGroup);
    auto* folder = new QLineEdit(folderGroup);
    folder->setReadOnly(true);
    folderLayout->addWidget(folder);
    layout.addWidget(folderGroup);

    auto* boxGroup = new QGroupBox(QStringLiteral("BOX選択"), &dialog);
    return {folder, boxGroup, new QHBoxLayout(boxGroup)};
}
