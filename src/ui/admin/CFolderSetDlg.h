#pragma once

#include <QDialog>

class CFolderSetLogic;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "起動時のフォルダ指定": the last folder or a chosen one at the next start.
class CFolderSetDlg : public QDialog {
    Q_OBJECT
public:
    CFolderSetDlg(CFolderSetLogic& logic, const QString& downloadRoot, QWidget* parent);

    QRadioButton* previousOption() const { return m_previous; }
    QRadioButton* specifiedOption() const { return m_specified; }
    QLineEdit* folderField() const { return m_field; }
    QPushButton* chooseButton() const { return m_choose; }

    void pressChoose();
    void pressOk();

private:
    void updateControls();

    CFolderSetLogic& m_logic;
    QString m_root;
    QRadioButton* m_previous;
    QRadioButton* m_specified;
    QLineEdit* m_field;
    QPushButton* m_choose;
    QPushButton* m_ok;
};
