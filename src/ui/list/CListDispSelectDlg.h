#pragma once

#include <QDialog>

class CListDispSelectLogic;
class QListWidget;
class QPushButton;

// "録音情報表示設定": the removed and the shown column titles, "追加" and three picture buttons that move them,
// "OK" (enabled once something changed), "キャンセル" and "リセット". Controls carry object names for tests.
class CListDispSelectDlg : public QDialog {
    Q_OBJECT
public:
    CListDispSelectDlg(CListDispSelectLogic& logic, QWidget* parent);
    QListWidget* removedList() const { return m_removed; }
    QListWidget* shownList() const { return m_shown; }
    QPushButton* okButton() const { return m_ok; }

private:
    void showLists(int shownSelected);

    CListDispSelectLogic& m_logic;
    QListWidget* m_removed;
    QListWidget* m_shown;
    QPushButton* m_ok;
};
