#pragma once

#include <QDialog>

class CBoxFldNameChgLogic;
class CEditListCtrl;
class QLineEdit;

// "ボックスフォルダ名称変更": the new names of the box folders the user made, in two lists with a "選択" column. The
// logic must have been opened.
class CBoxFldNameChgDlg : public QDialog {
    Q_OBJECT
public:
    CBoxFldNameChgDlg(CBoxFldNameChgLogic& logic, QWidget* parent);

    CEditListCtrl* list(bool answeringMachine) const { return answeringMachine ? m_rusuroku : m_naisen; }
    QLineEdit* folderField() const { return m_folder; }
    void pressOk();

private:
    CBoxFldNameChgLogic& m_logic;
    QLineEdit* m_folder;
    CEditListCtrl* m_rusuroku;
    CEditListCtrl* m_naisen;
};
