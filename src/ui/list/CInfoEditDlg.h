#pragma once

#include <QDialog>

class CInfoEditLogic;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

// "録音情報編集": one message's recording information, six fields to change and the rest read-only, with pictures
// for the played and import states. Controls carry object names for tests.
class CInfoEditDlg : public QDialog {
    Q_OBJECT
public:
    CInfoEditDlg(CInfoEditLogic& logic, QWidget* parent);
    // "OK" as a press of the button does it.
    void pressOk();

private:
    CInfoEditLogic& m_logic;
    QLineEdit* m_title;
    QLineEdit* m_callerNo;
    QLineEdit* m_callerName;
    QPlainTextEdit* m_memo;
    QRadioButton* m_protect;
    QRadioButton* m_flag;
};
