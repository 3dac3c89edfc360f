#pragma once

#include <QDialog>

class CFolderListCtrl;

// The choice list of "設定": every folder under the download root with its full path.
class CFolderSetSubDlg : public QDialog {
    Q_OBJECT
public:
    CFolderSetSubDlg(const QString& downloadRoot, QWidget* parent);
    CFolderListCtrl* list() const { return m_list; }
    // The full path of the row selected when OK was pressed; empty without a selection.
    const QString& chosenPath() const { return m_chosen; }
    void pressOk();

private:
    CFolderListCtrl* m_list;
    QStringList m_paths;
    QString m_chosen;
};
