#pragma once

#include "platform/CProgressDlg.h"

// Progress of a folder download ("ダウンロード中"); "キャンセル" sets the program's cancel flag.
class CPrgFDwnDlg : public CProgressDlg {
public:
    explicit CPrgFDwnDlg(CUserInterface& ui);
    void setStepDone(long long done) override;
};
