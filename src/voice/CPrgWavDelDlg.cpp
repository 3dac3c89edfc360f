#include "voice/CPrgWavDelDlg.h"

ProgressLook CPrgWavDelDlg::look(int files) {
    ProgressLook s;
    s.title = QStringLiteral("消去中");
    s.text = QStringLiteral("ＷＡＶファイルを消去中です。");
    s.rangeMin = 0;
    s.rangeMax = files;
    s.cancelButton = false;
    return s;
}

CPrgWavDelDlg::CPrgWavDelDlg(CUserInterface& ui, int files) : CProgressDlg(ui, look(files)) {}
