#include "platform/CProgressDlg.h"

#include <algorithm>

CProgressDlg::CProgressDlg(CUserInterface& ui, const ProgressLook& look)
    : m_ui(ui), m_title(look.title), m_view(ui.createProgressView(look)), m_min(look.rangeMin), m_max(look.rangeMax) {}

CProgressDlg::~CProgressDlg() {
    close();
}

void CProgressDlg::setStepTotal(long long /*total*/) {}

void CProgressDlg::setStepDone(long long done) {
    setPosition(static_cast<int>(std::min<long long>(done, m_max)));
    if (m_view) {
        m_view->repaint();
    }
    m_ui.dispatchPendingEvents(10);
}

void CProgressDlg::nextFile() {}

void CProgressDlg::setPhase(Phase /*phase*/) {}

void CProgressDlg::countFile() {}

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
        m_view->close();
        m_view.reset();
    }
}
