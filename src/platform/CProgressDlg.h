#pragma once

#include "platform/CProgressView.h"
#include "platform/CUserInterface.h"

#include <memory>

// Progress notifications: posted message numbers with two parameters.
enum ProgressMsg : int {
    PRG_POSITION = 1124,   // wParam: steps or frames done
    PRG_NEXTFILE = 1125,   // next file begins
    PRG_FRAMETOTAL = 1128, // wParam: frame total of the current file
    PRG_CANCELREQ = 1129,  // move/copy progress asks the list window to cancel
};

// A modeless progress window of the core. It opens its view through the user interface, registers itself so
// that it can be found by title, and turns posted notifications into view changes. The base handles 1124 the
// common way (clamp to the range, repaint, dispatch up to ten events); kinds override post() for the rest.
class CProgressDlg {
public:
    CProgressDlg(CUserInterface& ui, const ProgressSpec& look);
    virtual ~CProgressDlg();
    CProgressDlg(const CProgressDlg&) = delete;
    CProgressDlg& operator=(const CProgressDlg&) = delete;

    const QString& title() const { return m_title; }
    int rangeMin() const { return m_min; }
    int rangeMax() const { return m_max; }
    int position() const { return m_pos; }
    bool isOpen() const { return m_view != nullptr; }

    virtual void post(int msg, long long wParam = 0, long long lParam = 0);

    void setRange(int minimum, int maximum);
    void setPosition(int position);
    void setText(const QString& text);
    void setCounterText(const QString& text);
    void close();

protected:
    CUserInterface& ui() { return m_ui; }
    CProgressView* view() { return m_view.get(); }

private:
    CUserInterface& m_ui;
    QString m_title;
    std::unique_ptr<CProgressView> m_view;
    int m_min = 0;
    int m_max = 100;
    int m_pos = 0;
};
