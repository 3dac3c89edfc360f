#pragma once

#include <QDialog>

class CBoxNameChgLogic;
class CEditListCtrl;
class QLineEdit;

// "BOX名称編集": the box names of the current folder in two editable lists. The logic must have been opened.
class CBoxNameChgDlg : public QDialog {
    Q_OBJECT
public:
    CBoxNameChgDlg(CBoxNameChgLogic& logic, QWidget* parent);

    CEditListCtrl* list(bool answeringMachine) const { return answeringMachine ? m_rusuroku : m_naisen; }
    QLineEdit* folderField() const { return m_folder; }
    void pressOk();

private:
    CBoxNameChgLogic& m_logic;
    QLineEdit* m_folder;
    CEditListCtrl* m_rusuroku;
    CEditListCtrl* m_naisen;
};
