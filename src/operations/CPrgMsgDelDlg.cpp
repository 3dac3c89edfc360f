#include "operations/CPrgMsgDelDlg.h"

namespace {
ProgressLook look(int total) {
    ProgressLook s;
    s.title = CPrgMsgDelDlg::kTitle;
    s.text = QStringLiteral("音声メッセージを消去中です。");
    s.rangeMin = 0;
    s.rangeMax = total;
    s.cancelButton = false;
    return s;
}
} // namespace

CPrgMsgDelDlg::CPrgMsgDelDlg(CUserInterface& ui, int total) : CProgressDlg(ui, look(total)) {}
