#include "operations/CPrgMsgCopyDlg.h"

#include <algorithm>

namespace {
ProgressLook look(bool move, int rows) {
    ProgressLook s;
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
                       ProgressLook s = look(move, rows);
                       // The button only asks; the run sees the request through the list window's flag at its next
                       // check.
                       s.onCancel = [this] {
                           if (m_cancelRequest) {
                               m_cancelRequest();
                           }
                       };
                       return s;
                   }()),
      m_cancelRequest(std::move(cancelRequest)) {}

void CPrgMsgCopyDlg::setStepDone(long long done) {
    setPosition(static_cast<int>(std::min<long long>(done, rangeMax())));
    // Ten single events rather than one batch, so that a press of "キャンセル" is seen between them.
    for (int i = 0; i < 10; ++i) {
        ui().dispatchPendingEvents(1);
    }
}
