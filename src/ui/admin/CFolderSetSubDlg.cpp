#include "ui/admin/CFolderSetSubDlg.h"

#include "admin/CFolderRows.h"
#include "ui/CDialogButtons.h"
#include "ui/CJapaneseFont.h"
#include "ui/admin/CFolderListCtrl.h"

#include <QVBoxLayout>

CFolderSetSubDlg::CFolderSetSubDlg(const QString& downloadRoot, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("起動時のフォルダ指定"));
    setFont(CJapaneseFont::font(13));
    auto* layout = new QVBoxLayout(this);
    m_list = new CFolderListCtrl(this);
    m_list->setMinimumSize(420, 240);
    layout->addWidget(m_list, 1);

    QList<CFolderRows::Row> rows;
    if (!downloadRoot.isEmpty()) {
        rows = CFolderRows::subfolders(downloadRoot);
    }
    for (const auto& r : rows) {
        m_paths << r.pathCell();
    }
    m_list->fill(rows);

    CDialogButtons::addOkCancel(*this, *layout, [this] { pressOk(); });
    connect(m_list, &QTableWidget::cellDoubleClicked, this, [this] { pressOk(); });
}

void CFolderSetSubDlg::pressOk() {
    const int row = m_list->selectedRow();
    m_chosen = (row >= 0 && row < m_paths.size()) ? m_paths[row] : QString();
    accept();
}
