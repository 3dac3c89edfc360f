#pragma once

#include "platform/CProgressView.h"
#include "platform/CUserInterface.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

// A user interface for tests: answers questions from a queue, records everything shown.
class CScriptedUi : public CUserInterface {
public:
    struct Message {
        QString text;
        QString caption;
        MsgIcon icon;
        MsgButtons buttons;
        MsgResult answer;
    };
    struct ProgressEvent {
        QString title;
        QString what; // "open", "text", "counter", "range", "pos", "repaint", "cancel", "close"
        QString value;
    };

    // Replies to Yes/No (and OK/Cancel) questions, in order. Without a queued reply a question is answered
    // Yes and an OK box Ok.
    std::deque<MsgResult> replies;
    QList<Message> messages;
    QList<ProgressEvent> progressEvents;
    QStringList openedFiles;
    QString folderChoice;
    QString openFileChoice;
    QString saveFileChoice;
    bool openSucceeds = true;
    int dispatchCalls = 0;
    int sleepCalls = 0;
    bool mainWindowEnabled = true;
    int mainWindowDisables = 0;
    int activations = 0;
    // Called on every dispatch of pending events: a test can press "キャンセル" from here.
    std::function<void(int dispatchCount)> onDispatch;
    // Called as each message box is shown, before it is answered: a test can look at the world while it waits.
    std::function<void(const QString& text, MsgButtons buttons)> onMessage;

    // The cancel callbacks of the progress windows still open, by title.
    void pressCancel(const QString& title);
    bool hasOpenProgress(const QString& title) const;
    // The texts of all message boxes shown so far, for compact assertions.
    QStringList messageTexts() const;
    const Message* lastMessage() const { return messages.isEmpty() ? nullptr : &messages.last(); }

    MsgResult messageBox(const QString& text, const QString& caption, MsgIcon icon, MsgButtons buttons) override;
    std::unique_ptr<CProgressView> createProgressView(const ProgressLook& look) override;
    void dispatchPendingEvents(int maxEvents) override;
    void sleepMs(int ms) override;
    void setMainWindowEnabled(bool enabled) override;
    bool isMainWindowEnabled() const override { return mainWindowEnabled; }
    // A test opens and closes a modal of its own by this.
    bool modalOpen = false;
    bool isModalOpen() const override { return modalOpen; }
    bool verboseLines = false;
    bool verbose() const override { return verboseLines; }
    void activateMainWindow() override;
    QString chooseFolder(const QString& title, const QString& startFolder) override;
    QString chooseOpenFile(const QString& title, const QString& startFolder, const QString& filter) override;
    QString chooseSaveFile(const QString& title, const QString& startPath, const QString& filter) override;
    bool openWithDefaultApplication(const QString& path) override;

private:
    struct OpenProgress {
        int id;
        QString title;
        std::function<void()> onCancel;
    };
    QList<OpenProgress> m_open;
    int m_nextId = 1;
    friend class CScriptedProgressView;
    void progressClosed(int id);
};
