#pragma once

#include "platform/CProgressDlg.h"

// The "消去中" progress window of the WAV deletion at exit: no buttons, range 0..number of files.
class CPrgWavDelDlg : public CProgressDlg {
public:
    CPrgWavDelDlg(CUserInterface& ui, int files);

    static ProgressLook look(int files);
};
