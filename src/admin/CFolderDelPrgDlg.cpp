#include "admin/CFolderDelPrgDlg.h"

namespace {
ProgressLook look() {
    ProgressLook s;
    s.title = QStringLiteral("削除中");
    s.text = QStringLiteral("フォルダを削除中です。");
    return s;
}
} // namespace

CFolderDelPrgDlg::CFolderDelPrgDlg(CUserInterface& ui) : CProgressDlg(ui, look()) {}
