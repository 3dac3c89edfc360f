#include "ui/admin/CFolderCheckWnd.h"

#include "operations/CFolderCheckLogic.h"
#include "ui/CJapaneseFont.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <set>

CFolderCheckWnd::CFolderCheckWnd(CFolderCheckLogic& logic, QWidget* parent) : QDialog(parent), m_logic(logic) {
    setWindowTitle(CFolderCheckLogic::Title());
    setFont(CJapaneseFont::font(13));
    resize(900, 420);
    auto* layout = new QVBoxLayout(this);
    auto* folder = new QLabel(m_logic.downloadFolder(), this);
    folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(folder);
    m_summary = new QLabel(this);
    layout->addWidget(m_summary);

    m_table = new QTableWidget(0, 4, this);
    m_table->setHorizontalHeaderLabels(
        {QStringLiteral("種別"), QStringLiteral("パス"), QStringLiteral("内容"), QStringLiteral("対処")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_table);

    auto* bottom = new QHBoxLayout;
    auto* repair = new QPushButton(QStringLiteral("修復"), this);
    auto* exportButton = new QPushButton(QStringLiteral("エクスポート..."), this);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    for (QPushButton* b : {repair, exportButton, close}) {
        b->setAutoDefault(false);
    }
    bottom->addWidget(repair);
    bottom->addWidget(exportButton);
    bottom->addStretch();
    bottom->addWidget(close);
    layout->addLayout(bottom);
    connect(repair, &QPushButton::clicked, this, &CFolderCheckWnd::pressRepair);
    connect(exportButton, &QPushButton::clicked, this, &CFolderCheckWnd::pressExport);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    refresh();
}

void CFolderCheckWnd::refresh() {
    m_summary->setText(m_logic.summaryText());
    const auto& findings = m_logic.findings();
    m_table->setRowCount(int(findings.size()));
    for (int r = 0; r < int(findings.size()); ++r) {
        const CHECK_FINDING& f = findings[size_t(r)];
        const QStringList cells{CHECK_FINDING::kindLabel(f.kind) + (f.repairable ? QStringLiteral(" *") : QString()),
                                f.path, f.problem, f.advice};
        for (int c = 0; c < cells.size(); ++c) {
            m_table->setItem(r, c, new QTableWidgetItem(cells[c]));
        }
    }
    m_table->resizeColumnsToContents();
}

void CFolderCheckWnd::pressRepair() {
    std::set<int> rows;
    for (const QModelIndex& i : m_table->selectionModel()->selectedRows()) {
        rows.insert(i.row());
    }
    m_logic.repair(std::vector<int>(rows.begin(), rows.end()));
    refresh();
}

void CFolderCheckWnd::pressExport() {
    m_logic.exportCsv();
}
