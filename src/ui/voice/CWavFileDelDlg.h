#pragma once

#include "platform/DlgOutcome.h"
#include <QDialog>

class CBoxTickList;
class CWavFileDelLogic;

// The dialog of "ＷＡＶファイル消去": the boxes holding WAV files in two check lists; the deletion is the
// logic's.
class CWavFileDelDlg : public QDialog {
    Q_OBJECT
public:
    CWavFileDelDlg(CWavFileDelLogic& logic, QWidget* parent);
    // Opens the logic and shows its lists; false when no box holds a WAV file (the user was told).
    bool prepare();
    // A folder without WAV files ends at once as cancelled.
    DlgOutcome run();

    CBoxTickList* rusurokuList() const { return m_lists[0]; }
    CBoxTickList* naisenList() const { return m_lists[1]; }
    void pressErase();

private:
    CWavFileDelLogic& m_logic;
    class QLabel* m_folder;
    CBoxTickList* m_lists[2];
};
