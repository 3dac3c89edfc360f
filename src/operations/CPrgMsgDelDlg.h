#pragma once

#include "platform/CProgressDlg.h"

// The deletion's progress window ("消去中"): a text, one bar over the run's steps, no buttons. The common 1124
// handling (clamp to the range, dispatch up to ten events) is all it does.
class CPrgMsgDelDlg : public CProgressDlg {
public:
    static inline const QString kTitle = QStringLiteral("消去中");

    CPrgMsgDelDlg(CUserInterface& ui, int total);
};
