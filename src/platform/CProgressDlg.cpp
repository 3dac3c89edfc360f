#include "platform/CProgressDlg.h"

#include <algorithm>

CProgressDlg::CProgressDlg(CUserInterface& ui, const ProgressSpec& look)
    : m_ui(ui), m_title(look.title), m_view(ui.createProgressView(look)), m_min(look.rangeMin), m_max(look.rangeMax) {
    m_ui.registerProgress(this);
}

CProgressDlg::~CProgressDlg() {
    close();
}

void CProgressDlg::post(int msg, long long wParam, long long /*lParam*/) {
    if (msg == PRG_POSITION) {
        setPosition(static_cast<int>(std::min<long long>(wParam, m_max)));
        if (m_view) {
            m_view->repaint();
        }
        m_ui.dispatchPendingEvents(10);
    }
}

void CProgressDlg::setRange(int minimum, int maximum) {
    m_min = minimum;
    m_max = maximum;
    if (m_view) {
        m_view->setRange(minimum, maximum);
    }
}

void CProgressDlg::setPosition(int position) {
    m_pos = position;
    if (m_view) {
        m_view->setPosition(position);
    }
}

void CProgressDlg::setText(const QString& text) {
    if (m_view) {
        m_view->setText(text);
    }
}

void CProgressDlg::setCounterText(const QString& text) {
    if (m_view) {
        m_view->setCounterText(text);
    }
}

void CProgressDlg::close() {
    if (m_view) {
        m_ui.unregisterProgress(this);
        m_view->close();
        m_view.reset();
    }
}
