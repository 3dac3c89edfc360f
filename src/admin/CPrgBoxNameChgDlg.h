#pragma once

#include "platform/CProgressDlg.h"

// Progress of the box name registration ("登録中"); it has no "キャンセル": every row is written.
class CPrgBoxNameChgDlg : public CProgressDlg {
public:
    CPrgBoxNameChgDlg(CUserInterface& ui, int total);
};
