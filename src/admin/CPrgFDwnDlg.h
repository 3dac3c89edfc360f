#pragma once

#include "platform/CProgressDlg.h"

// Progress of a folder download ("ダウンロード中"); "キャンセル" sets the program's cancel flag.
class CPrgFDwnDlg : public CProgressDlg {
public:
    explicit CPrgFDwnDlg(CUserInterface& ui);
    void post(int msg, long long wParam = 0, long long lParam = 0) override;
};
