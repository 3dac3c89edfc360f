#pragma once

#include <QDialog>

class CFolderChgLogic;
class CFolderListCtrl;
class CUserInterface;
class QPushButton;

// "フォルダ変更": picks the folder the program works on, or renames one.
class CFolderChgDlg : public QDialog {
    Q_OBJECT
public:
    CFolderChgDlg(CFolderChgLogic& logic, CUserInterface& ui, QWidget* parent);

    CFolderListCtrl* list() const { return m_list; }
    QPushButton* changeButton() const { return m_change; }
    QPushButton* renameButton() const { return m_rename; }

    void pressChange();
    void pressRename();

private:
    void refill();
    void updateButtons();

    CFolderChgLogic& m_logic;
    CUserInterface& m_ui;
    CFolderListCtrl* m_list;
    QPushButton* m_change;
    QPushButton* m_rename;
};
