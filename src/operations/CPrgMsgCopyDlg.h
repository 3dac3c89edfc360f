#pragma once

#include "platform/CProgressDlg.h"

#include <functional>

// The move/copy progress window ("移動中" or "コピー中"): a text, one bar over three steps per row and
// "キャンセル", which asks the list window to cancel; the list window's handler raises its own cancel flag.
class CPrgMsgCopyDlg : public CProgressDlg {
public:
    static inline const QString kMoveTitle = QStringLiteral("移動中");
    static inline const QString kCopyTitle = QStringLiteral("コピー中");

    // cancelRequest is the list window's handler of a cancel request.
    CPrgMsgCopyDlg(CUserInterface& ui, bool move, int rows, std::function<void()> cancelRequest);

    void setStepDone(long long done) override;

private:
    std::function<void()> m_cancelRequest;
};
