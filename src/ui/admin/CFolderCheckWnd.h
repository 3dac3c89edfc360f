#pragma once

#include <QDialog>

class CFolderCheckLogic;
class QLabel;
class QTableWidget;

// The window of the findings of a download folder check: kind, path and finding per row, "修復" for the chosen
// rows that can be mended and "エクスポート..." of all findings. The check and the mending are the logic's.
class CFolderCheckWnd : public QDialog {
    Q_OBJECT
public:
    CFolderCheckWnd(CFolderCheckLogic& logic, QWidget* parent);
    // Shows the logic's findings again (after a check or a repair).
    void refresh();
    QTableWidget* table() const { return m_table; }
    void pressRepair();
    void pressExport();

private:
    CFolderCheckLogic& m_logic;
    QLabel* m_summary;
    QTableWidget* m_table;
};
