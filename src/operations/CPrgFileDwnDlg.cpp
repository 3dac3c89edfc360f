#include "operations/CPrgFileDwnDlg.h"

#include "platform/CCancelFlag.h"

#include <algorithm>

namespace {
ProgressLook look(CPrgFileDwnDlg* dlg) {
    ProgressLook s;
    s.title = CPrgFileDwnDlg::kTitle;
    s.text = QStringLiteral("ファイルをダウンロード中です。");
    s.counterText = QStringLiteral(" ");
    s.rangeMin = 0;
    s.rangeMax = 100;
    s.cancelButton = true;
    s.onCancel = [dlg] { dlg->requestCancel(); };
    s.escapeCancels = true;
    return s;
}
} // namespace

CPrgFileDwnDlg::CPrgFileDwnDlg(CUserInterface& ui) : CProgressDlg(ui, look(this)) {}

void CPrgFileDwnDlg::requestCancel() {
    CCancelFlag::set(1);
    if (m_cancelRequested) {
        return;
    }
    m_cancelRequested = true;
    setText(kStoppingText);
    if (view()) {
        view()->setCancelEnabled(false);
        view()->repaint();
    }
}

void CPrgFileDwnDlg::showCounter() {
    setCounterText(QStringLiteral("%1／%2").arg(m_current).arg(m_total));
}

void CPrgFileDwnDlg::advanceCounter() {
    ++m_current;
    showCounter();
}

void CPrgFileDwnDlg::setStepDone(long long done) {
    setPosition((done >= 0 && done <= rangeMax()) ? static_cast<int>(done) : rangeMax());
    ui().dispatchPendingEvents(10);
}

void CPrgFileDwnDlg::nextFile() {
    m_current = std::min(m_current + 1, m_total);
    showCounter();
    setPosition(0);
    ui().dispatchPendingEvents(10);
}

void CPrgFileDwnDlg::setPhase(Phase phase) {
    if (phase == Phase::Downloading) {
        setRange(0, 100);
    }
    if (!m_cancelRequested) {
        setText(phase == Phase::Downloading ? QStringLiteral("ファイルをダウンロード中です。")
                                            : QStringLiteral("ＷＡＶファイルに変換中です。"));
    }
    setPosition(0);
    ui().dispatchPendingEvents(10);
}

void CPrgFileDwnDlg::setStepTotal(long long total) {
    setRange(0, total > 0 ? static_cast<int>(std::min<long long>(total, 0x7fffffff)) : 100);
}

void CPrgFileDwnDlg::countFile() {
    m_current = std::min(m_current, m_total);
    showCounter();
    setPosition(m_current);
    ++m_current;
    ui().dispatchPendingEvents(10);
}
