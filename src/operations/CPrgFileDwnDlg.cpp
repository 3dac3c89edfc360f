#include "operations/CPrgFileDwnDlg.h"

#include "platform/CCancelFlag.h"

#include <algorithm>

namespace {
ProgressSpec look() {
    ProgressSpec s;
    s.title = CPrgFileDwnDlg::kTitle;
    s.text = QStringLiteral("ファイルをダウンロード中です。");
    s.counterText = QStringLiteral(" ");
    s.rangeMin = 0;
    s.rangeMax = 100;
    s.cancelButton = true;
    s.onCancel = [] { CCancelFlag::set(1); };
    return s;
}
} // namespace

CPrgFileDwnDlg::CPrgFileDwnDlg(CUserInterface& ui) : CProgressDlg(ui, look()) {}

void CPrgFileDwnDlg::showCounter() {
    setCounterText(QStringLiteral("%1／%2").arg(m_current).arg(m_total));
}

void CPrgFileDwnDlg::advanceCounter() {
    ++m_current;
    showCounter();
}

void CPrgFileDwnDlg::post(int msg, long long wParam, long long /*lParam*/) {
    switch (msg) {
    case Position: {
        const long long n = wParam;
        setPosition((n >= 0 && n <= rangeMax()) ? static_cast<int>(n) : rangeMax());
        ui().dispatchPendingEvents(10);
        break;
    }
    case NextMessage:
        m_current = std::min(m_current + 1, m_total);
        showCounter();
        setPosition(0);
        ui().dispatchPendingEvents(10);
        break;
    case Downloading:
        setText(QStringLiteral("ファイルをダウンロード中です。"));
        setRange(0, 100);
        setPosition(0);
        ui().dispatchPendingEvents(10);
        break;
    case Converting:
        setText(QStringLiteral("ＷＡＶファイルに変換中です。"));
        setPosition(0);
        ui().dispatchPendingEvents(10);
        break;
    case FileSize:
        setRange(0, wParam > 0 ? static_cast<int>(std::min<long long>(wParam, 0x7fffffff)) : 100);
        break;
    case FileStep:
        m_current = std::min(m_current, m_total);
        showCounter();
        setPosition(m_current);
        ++m_current;
        ui().dispatchPendingEvents(10);
        break;
    default:
        CProgressDlg::post(msg, wParam);
        break;
    }
}
