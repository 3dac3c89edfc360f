#include "voice/CAudioExportDlg.h"

#include "platform/CCancelFlag.h"

#include <algorithm>
#include <climits>

CAudioExportDlg::CAudioExportDlg(CUserInterface& ui, int files)
    : CProgressDlg(ui,
                   [this, files] {
                       ProgressLook s;
                       s.title = kTitle;
                       s.text = QStringLiteral("音声ファイルを書き出し中です。");
                       s.counterText = QStringLiteral("1／%1").arg(files);
                       s.cancelButton = true;
                       s.escapeCancels = true;
                       s.onCancel = [this] {
                           CCancelFlag::set(1);
                           close();
                       };
                       return s;
                   }()),
      m_files(files) {
    setPosition(0);
}

void CAudioExportDlg::setStepTotal(long long total) {
    m_total = total;
    setRange(0, static_cast<int>(std::clamp<long long>(total, 0, INT_MAX)));
}

void CAudioExportDlg::setStepDone(long long done) {
    setPosition(static_cast<int>(std::clamp<long long>(std::min(done, m_total), 0, INT_MAX)));
    if (view()) {
        view()->repaint();
    }
    ui().dispatchPendingEvents(10);
}

void CAudioExportDlg::nextFile() {
    ++m_begun;
    setCounterText(QStringLiteral("%1／%2").arg(m_begun).arg(m_files));
    setPosition(0);
    ui().dispatchPendingEvents(5);
}
