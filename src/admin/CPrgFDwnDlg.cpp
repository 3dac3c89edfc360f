#include "admin/CPrgFDwnDlg.h"

#include "platform/CCancelFlag.h"

#include <algorithm>

namespace {
ProgressLook look() {
    ProgressLook s;
    s.title = QStringLiteral("ダウンロード中");
    s.text = QStringLiteral("フォルダをダウンロード中です。");
    s.cancelButton = true;
    s.onCancel = [] { CCancelFlag::set(1); };
    return s;
}
} // namespace

CPrgFDwnDlg::CPrgFDwnDlg(CUserInterface& ui) : CProgressDlg(ui, look()) {}

void CPrgFDwnDlg::setStepDone(long long done) {
    CProgressDlg::setStepDone(std::min<long long>(done, 100));
}
