#pragma once

#include <QString>

// The visible part of a progress window. The core's progress dialogs (CProgressDlg and its kinds) decide
// what it shows; the UI draws it.
class CProgressView {
public:
    virtual ~CProgressView() = default;
    virtual void setText(const QString& text) = 0;
    virtual void setCounterText(const QString& text) = 0;
    virtual void setRange(int minimum, int maximum) = 0;
    virtual void setPosition(int position) = 0;
    virtual void repaint() = 0;
    // "キャンセル" greys once pressed: the operation is stopping, and a second press would say nothing more.
    virtual void setCancelEnabled(bool /*enabled*/) {}
    virtual void close() = 0;
};
