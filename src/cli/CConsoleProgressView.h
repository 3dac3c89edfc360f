#pragma once

#include "platform/CProgressView.h"
#include "platform/CUserInterface.h"

#include <QElapsedTimer>

#include <cstdio>

// A progress window as one line on a terminal, rewritten in place; with no terminal (out == null) it shows
// nothing, so that logs of scheduled runs hold only the messages.
class CConsoleProgressView : public CProgressView {
public:
    CConsoleProgressView(const ProgressLook& look, std::FILE* out);
    ~CConsoleProgressView() override;

    void setText(const QString& text) override;
    void setCounterText(const QString& text) override;
    void setRange(int minimum, int maximum) override;
    void setPosition(int position) override;
    void repaint() override;
    void close() override;

private:
    void draw();

    std::FILE* m_out;
    QString m_title;
    QString m_text;
    QString m_counter;
    int m_min;
    int m_max;
    int m_pos;
    QString m_shown;
    QString m_shownWords;
    QElapsedTimer m_sinceDrawn;
};
