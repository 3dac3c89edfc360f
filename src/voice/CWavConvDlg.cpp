#include "voice/CWavConvDlg.h"

#include "platform/CCancelFlag.h"

#include <algorithm>
#include <climits>

ProgressLook CWavConvDlg::look(int files) {
    ProgressLook s;
    s.title = kTitle;
    s.text = QStringLiteral("WAVファイルに変換中です。");
    s.counterText = QStringLiteral("1／%1").arg(files);
    s.rangeMin = 0;
    s.rangeMax = 100;
    s.cancelButton = true;
    return s;
}

CWavConvDlg::CWavConvDlg(CUserInterface& ui, int files)
    : CProgressDlg(ui,
                   [this, files] {
                       ProgressLook s = look(files);
                       s.onCancel = [this] {
                           CCancelFlag::set(1);
                           close();
                       };
                       return s;
                   }()),
      m_files(files) {
    setPosition(0);
}

void CWavConvDlg::setStepTotal(long long total) {
    m_total = total;
    setRange(0, static_cast<int>(std::clamp<long long>(total, 0, INT_MAX)));
}

void CWavConvDlg::setStepDone(long long done) {
    // The decoder reports every 10 ms frame, hundreds of thousands for a long message. The bar is moved and
    // repainted when it has advanced by a thousandth of its range (finer than any bar can show), at its end, and
    // on any step back; the pending events are dispatched every time.
    const int pos = static_cast<int>(std::clamp<long long>(std::min(done, m_total), 0, INT_MAX));
    const int step = static_cast<int>(std::max<long long>(1, m_total / 1000));
    if (pos < position() || pos == m_total || pos / step != position() / step) {
        setPosition(pos);
        if (view()) {
            view()->repaint();
        }
    }
    ui().dispatchPendingEvents(10);
}

void CWavConvDlg::nextFile() {
    ++m_begun;
    setCounterText(QStringLiteral("%1／%2").arg(m_begun).arg(m_files));
    setPosition(0);
    if (view()) {
        view()->repaint();
    }
    for (int i = 0; i < 5; ++i) {
        ui().dispatchPendingEvents(1);
        ui().sleepMs(1);
    }
}
