#include "operations/CPrgMsgCopyDlg.h"

#include <algorithm>

namespace {
ProgressSpec look(bool move, int rows) {
    ProgressSpec s;
    s.title = move ? CPrgMsgCopyDlg::kMoveTitle : CPrgMsgCopyDlg::kCopyTitle;
    s.text = move ? QStringLiteral("音声メッセージを移動中です。") : QStringLiteral("音声メッセージをコピー中です。");
    s.rangeMin = 0;
    s.rangeMax = 3 * rows;
    s.cancelButton = true;
    return s;
}
} // namespace

CPrgMsgCopyDlg::CPrgMsgCopyDlg(CUserInterface& ui, bool move, int rows, std::function<void()> cancelRequest)
    : CProgressDlg(ui,
                   [&] {
                       ProgressSpec s = look(move, rows);
                       // The button only asks; the run sees the request through the list window's flag at its next
                       // check.
                       s.onCancel = [this] { post(PRG_CANCELREQ); };
                       return s;
                   }()),
      m_cancelRequest(std::move(cancelRequest)) {}

void CPrgMsgCopyDlg::post(int msg, long long wParam, long long /*lParam*/) {
    switch (msg) {
    case PRG_POSITION:
        setPosition(static_cast<int>(std::min<long long>(wParam, rangeMax())));
        // Ten single events rather than one batch, so that a press of "キャンセル" is seen between them.
        for (int i = 0; i < 10; ++i) {
            ui().dispatchPendingEvents(1);
        }
        break;
    case PRG_CANCELREQ:
        if (m_cancelRequest) {
            m_cancelRequest();
        }
        break;
    default:
        CProgressDlg::post(msg, wParam);
        break;
    }
}
