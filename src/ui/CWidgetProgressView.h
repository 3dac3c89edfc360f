#pragma once

#include "platform/CProgressView.h"
#include "platform/CUserInterface.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

class QLabel;
class QProgressBar;
class QPushButton;

// A modeless progress window: title, text, optional counter label, bar and optional "キャンセル" button.
class CProgressWindow : public QDialog {
    Q_OBJECT
public:
    CProgressWindow(const ProgressLook& look, QWidget* parent);
    QLabel* textLabel() const { return m_text; }
    QLabel* counterLabel() const { return m_counter; }
    QProgressBar* bar() const { return m_bar; }
    QPushButton* cancelButton() const { return m_cancel; }

public Q_SLOTS:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    QLabel* m_text;
    QLabel* m_counter;
    QProgressBar* m_bar;
    QPushButton* m_cancel = nullptr;
    std::function<void()> m_onEscape;
};

// The view the core's progress dialogs drive.
class CWidgetProgressView : public CProgressView {
public:
    CWidgetProgressView(const ProgressLook& look, QWidget* parent);
    ~CWidgetProgressView() override;
    void setText(const QString& text) override;
    void setCounterText(const QString& text) override;
    void setRange(int minimum, int maximum) override;
    void setPosition(int position) override;
    void repaint() override;
    void setCancelEnabled(bool enabled) override;
    void close() override;
    CProgressWindow* window() const { return m_window; }

private:
    void applyPosition();

    QPointer<CProgressWindow> m_window;
    // A bar paints itself at once whenever its value moves; transfers move it per kilobyte. The value shown is
    // brought up to date at most every kPaintGapMs, the last one always.
    static constexpr int kPaintGapMs = 40;
    QElapsedTimer m_sincePaint;
    QTimer m_paintLater;
    int m_pending = 0;
};
