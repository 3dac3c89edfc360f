#pragma once

#include <QDialog>

class CBoxOpenLogic;
class CCheckListCtrl;

// "ボックスを開く": the download folder and its boxes of both kinds to tick; "開く" fills the next list slot.
class CBoxOpenDlg : public QDialog {
    Q_OBJECT
public:
    CBoxOpenDlg(CBoxOpenLogic& logic, QWidget* parent);
    // Runs the dialog: the slot number filled, or 0 when nothing is to be opened.
    int run();
    CCheckListCtrl* rusurokuList() const { return m_rusu; }
    CCheckListCtrl* naisenList() const { return m_naisen; }
    // "開く" as a press of the button does it.
    void pressOpen();

private:
    CBoxOpenLogic& m_logic;
    CCheckListCtrl* m_rusu;
    CCheckListCtrl* m_naisen;
    int m_slot = 0;
};
