#pragma once

#include "platform/CProgressDlg.h"

// Progress of a folder deletion ("削除中"); it has no button.
class CFolderDelPrgDlg : public CProgressDlg {
public:
    explicit CFolderDelPrgDlg(CUserInterface& ui);
};
