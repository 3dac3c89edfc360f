#pragma once

#include "platform/CProgress.h"
#include "platform/CProgressView.h"
#include "platform/CUserInterface.h"

#include <memory>

// A modeless progress window of the core. It opens its view through the user interface and turns the reports of
// the step it is handed to into view changes. The base takes the step done the common way (clamp to the range,
// repaint, dispatch up to ten events) and leaves the other reports alone; kinds override what they show.
class CProgressDlg : public CProgress {
public:
    CProgressDlg(CUserInterface& ui, const ProgressLook& look);
    virtual ~CProgressDlg();
    CProgressDlg(const CProgressDlg&) = delete;
    CProgressDlg& operator=(const CProgressDlg&) = delete;

    const QString& title() const { return m_title; }
    int rangeMin() const { return m_min; }
    int rangeMax() const { return m_max; }
    int position() const { return m_pos; }
    bool isOpen() const { return m_view != nullptr; }

    void setStepTotal(long long total) override;
    void setStepDone(long long done) override;
    void nextFile() override;
    void setPhase(Phase phase) override;
    void countFile() override;

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
