#pragma once

#include <QDialog>

class CUserInterface;
class QLineEdit;

// "フォルダ名称変更": the new name of one download folder. OK renames the folder; a refused name keeps the
// dialog open with its message.
class CFolderNmChg : public QDialog {
    Q_OBJECT
public:
    CFolderNmChg(CUserInterface& ui, const QString& oldPath, QWidget* parent);
    QLineEdit* nameField() const { return m_name; }
    // OK as a press of the button does it.
    void pressOk();

private:
    CUserInterface& m_ui;
    QString m_oldPath;
    QLineEdit* m_name;
};
