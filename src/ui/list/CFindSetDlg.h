#pragma once

#include <QDialog>

class CFindSetLogic;
class QCheckBox;
class QDateEdit;
class QLineEdit;
class QRadioButton;

// "選択表示": the criteria of the selection display. Every criterion has a check box that enables its controls;
// "OK" leaves the dialog only when the entries pass their checks. Controls carry object names for tests.
class CFindSetDlg : public QDialog {
    Q_OBJECT
public:
    CFindSetDlg(CFindSetLogic& logic, QWidget* parent);
    // "OK" as a press of the button does it.
    void pressOk();

private:
    void takeEntries();
    void enableControls();
    void showImportTicks();

    CFindSetLogic& m_logic;
    QCheckBox* m_dateOn;
    QDateEdit* m_from;
    QDateEdit* m_to;
    QCheckBox* m_titleOn;
    QLineEdit* m_title;
    QCheckBox* m_boxNoOn;
    QLineEdit* m_boxNo;
    QCheckBox* m_boxNameOn;
    QLineEdit* m_boxName;
    QCheckBox* m_callerNoOn;
    QLineEdit* m_callerNo;
    QCheckBox* m_callerNameOn;
    QLineEdit* m_callerName;
    QCheckBox* m_playedOn;
    QRadioButton* m_played;
    QRadioButton* m_unplayed;
    QCheckBox* m_protectOn;
    QRadioButton* m_protect;
    QRadioButton* m_unprotect;
    QCheckBox* m_importOn;
    QCheckBox* m_import[4];
    QCheckBox* m_flagOn;
    QRadioButton* m_flag;
    QRadioButton* m_noFlag;
    QCheckBox* m_memoOn;
    QLineEdit* m_memo;
    QCheckBox* m_emptyCallsOn;
};
