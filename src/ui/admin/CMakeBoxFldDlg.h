#pragma once

#include <QDialog>

class CMakeBoxFldLogic;
class QLineEdit;
class QRadioButton;

// "ボックスフォルダ作成": the kind of box and the new box folder's name.
class CMakeBoxFldDlg : public QDialog {
    Q_OBJECT
public:
    CMakeBoxFldDlg(CMakeBoxFldLogic& logic, QWidget* parent);

    QRadioButton* answeringMachineOption() const { return m_rusuroku; }
    QRadioButton* extensionOption() const { return m_naisen; }
    QLineEdit* nameField() const { return m_name; }
    void pressOk();

private:
    CMakeBoxFldLogic& m_logic;
    QRadioButton* m_rusuroku;
    QRadioButton* m_naisen;
    QLineEdit* m_name;
};
