#pragma once

#include "platform/CUserInterface.h"

#include <cstdio>

// The user interface of the command line: messages go to stderr as "caption: text", questions are answered by
// the --yes switch, progress is one updating line on a terminal.
class CConsoleUi : public CUserInterface {
public:
    CConsoleUi(bool answerYes, std::FILE* err = stderr);

    MsgResult messageBox(const QString& text, const QString& caption, MsgIcon icon,
                         MsgButtons buttons = MsgButtons::Ok) override;
    std::unique_ptr<CProgressView> createProgressView(const ProgressLook& look) override;
    void dispatchPendingEvents(int maxEvents = 1) override;
    void sleepMs(int ms) override;
    void setMainWindowEnabled(bool enabled) override;
    void activateMainWindow() override;
    QString chooseFolder(const QString& title, const QString& startFolder) override;
    QString chooseOpenFile(const QString& title, const QString& startFolder, const QString& filter) override;
    QString chooseSaveFile(const QString& title, const QString& startPath, const QString& filter) override;
    bool openWithDefaultApplication(const QString& path) override;

    // A line of the command line's own (usage problems and the like), on stderr.
    void note(const QString& text);

    // True once a question was answered no; nothing that changes data may start after that.
    bool refused() const { return m_refused; }

    int busyFolderWaitMs() const override { return m_busyWaitMs; }
    void setBusyFolderWaitMs(int ms) { m_busyWaitMs = ms; }

private:
    std::FILE* m_err;
    bool m_yes;
    bool m_terminal;
    bool m_refused = false;
    int m_busyWaitMs = 0;
};
