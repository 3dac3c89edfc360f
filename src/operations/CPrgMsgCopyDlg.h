#pragma once

#include "platform/CProgressDlg.h"

#include <functional>

// The move/copy progress window ("移動中" or "コピー中"): a text, one bar over three steps per row and
// "キャンセル", which posts 1129 to the list window; the list window's handler raises its own cancel flag.
class CPrgMsgCopyDlg : public CProgressDlg {
public:
    static inline const QString kMoveTitle = QStringLiteral("移動中");
    static inline const QString kCopyTitle = QStringLiteral("コピー中");

    // cancelRequest is the list window's handler of 1129.
    CPrgMsgCopyDlg(CUserInterface& ui, bool move, int rows, std::function<void()> cancelRequest);

    void post(int msg, long long wParam = 0, long long lParam = 0) override;

private:
    std::function<void()> m_cancelRequest;
};
