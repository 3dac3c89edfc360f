#pragma once

#include "platform/DlgOutcome.h"
#include <QDialog>

class CBoxTickList;
class CSelDownLogic;
class QLineEdit;
class QPushButton;
class QTimer;

// "ボックス選択": the boxes of the current download folder to download, ticked in two lists.
class CSelDownDlg : public QDialog {
    Q_OBJECT
public:
    CSelDownDlg(CSelDownLogic& logic, QWidget* parent);
    // Opens the logic and shows its lists; false when the folder holds no box folder (the user was told).
    bool prepare();
    // Fills the lists and runs the dialog; a folder without box folders ends at once as cancelled.
    DlgOutcome run();

    CBoxTickList* answeringList() const { return m_answering; }
    CBoxTickList* extensionList() const { return m_extension; }
    QPushButton* voiceButton() const { return m_voice; }
    QPushButton* infoButton() const { return m_info; }
    void pressDownload(int kind);

private:
    void updateButtons();

    CSelDownLogic& m_logic;
    QLineEdit* m_folder;
    CBoxTickList* m_answering;
    CBoxTickList* m_extension;
    QPushButton* m_voice;
    QPushButton* m_info;
    QTimer* m_timer;
};
