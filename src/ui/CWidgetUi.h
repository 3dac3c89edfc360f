#pragma once

#include "platform/CUserInterface.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

// The user interface with real windows: message boxes, progress windows, choosers and the desktop's
// default applications. Dialogs are owned by the main window once it is known.
class CWidgetUi : public CUserInterface {
public:
    CWidgetUi() = default;
    void setMainWindow(QWidget* w) { m_main = w; }

    MsgResult messageBox(const QString& text, const QString& caption, MsgIcon icon,
                         MsgButtons buttons = MsgButtons::Ok) override;
    std::unique_ptr<CProgressView> createProgressView(const ProgressLook& look) override;
    void dispatchPendingEvents(int maxEvents = 1) override;
    void sleepMs(int ms) override;
    void setMainWindowEnabled(bool enabled) override;
    bool isMainWindowEnabled() const override { return m_mainEnabled; }
    bool verbose() const override { return m_verbose; }
    void setVerbose(bool on) { m_verbose = on; }
    bool isModalOpen() const override;
    void activateMainWindow() override;
    QString chooseFolder(const QString& title, const QString& startFolder) override;
    QString chooseOpenFile(const QString& title, const QString& startFolder, const QString& filter) override;
    QString chooseSaveFile(const QString& title, const QString& startPath, const QString& filter) override;
    bool openWithDefaultApplication(const QString& path) override;
    // The program that opens a file with the desktop's default application, how long it may take to start and
    // how long a failure is waited for.
    void setOpener(const QString& program, int startMs = kOpenerStartMs, int verdictMs = kOpenerVerdictMs) {
        m_openerProgram = program;
        m_openerStartMs = startMs;
        m_openerVerdictMs = verdictMs;
    }

private:
    // How long the desktop's opener may take to start, and to fail when nothing can open the file.
    static constexpr int kOpenerStartMs = 3000;
    static constexpr int kOpenerVerdictMs = 1500;
    static constexpr qint64 kMinDispatchGapNs = 2'000'000;
    static constexpr qint64 kMaxDispatchGapNs = 100'000'000;
    QString m_openerProgram = QStringLiteral("xdg-open");
    int m_openerStartMs = kOpenerStartMs;
    int m_openerVerdictMs = kOpenerVerdictMs;
    qint64 m_dispatchGapNs = kMinDispatchGapNs;
    QPointer<QWidget> m_main;
    bool m_mainEnabled = true;
    bool m_verbose = false;
    QElapsedTimer m_sinceDispatch;
};
