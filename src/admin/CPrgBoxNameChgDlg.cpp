#include "admin/CPrgBoxNameChgDlg.h"

namespace {
ProgressLook look(int total) {
    ProgressLook s;
    s.title = QStringLiteral("登録中");
    s.text = QStringLiteral("BOX名称を登録中です。");
    s.rangeMin = 0;
    s.rangeMax = total;
    return s;
}
} // namespace

CPrgBoxNameChgDlg::CPrgBoxNameChgDlg(CUserInterface& ui, int total) : CProgressDlg(ui, look(total)) {}
