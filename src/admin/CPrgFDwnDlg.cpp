#include "admin/CPrgFDwnDlg.h"

#include "platform/CCancelFlag.h"

#include <algorithm>

namespace {
ProgressSpec look() {
    ProgressSpec s;
    s.title = QStringLiteral("ダウンロード中");
    s.text = QStringLiteral("フォルダをダウンロード中です。");
    s.cancelButton = true;
    s.onCancel = [] { CCancelFlag::set(1); };
    return s;
}
} // namespace

CPrgFDwnDlg::CPrgFDwnDlg(CUserInterface& ui) : CProgressDlg(ui, look()) {}

void CPrgFDwnDlg::post(int msg, long long wParam, long long lParam) {
    CProgressDlg::post(msg, std::min<long long>(wParam, 100), lParam);
}
