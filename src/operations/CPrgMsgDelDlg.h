#pragma once

#include "platform/CProgressDlg.h"

// The deletion's progress window ("消去中"): a text, one bar over the run's steps, no buttons. It shows a step
// done as every progress window does (the bar clamped to its range, a repaint, up to ten pending events
// dispatched) and adds nothing of its own, since it has no cancel button to keep answering.
class CPrgMsgDelDlg : public CProgressDlg {
public:
    static inline const QString kTitle = QStringLiteral("消去中");

    CPrgMsgDelDlg(CUserInterface& ui, int total);
};
