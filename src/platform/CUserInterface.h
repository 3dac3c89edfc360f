#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class CProgressView;

// Icons and buttons of a message box. The results carry the numbers message boxes have always returned (OK 1,
// Cancel 2, Yes 6, No 7), so a result stored or logged as a number keeps its meaning.
enum class MsgIcon { None, Information, Exclamation, Question, Error };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// What a progress window looks like when it opens. The core decides the contents; the UI only shows them.
struct ProgressLook {
    QString title;
    QString text;
    QString counterText; // empty: no counter label
    int rangeMin = 0;
    int rangeMax = 100;
    bool cancelButton = false;
    std::function<void()> onCancel; // called when the user presses "キャンセル"
    // Esc and the title bar's close stop the operation as "キャンセル" does; otherwise they do nothing (the window
    // cannot be hidden).
    bool escapeCancels = false;
};

// The one narrow channel through which the core talks to the person at the screen. The widget layer
// implements it with real windows, tests with a scripted implementation, the command line with a console.
class CUserInterface {
public:
    virtual ~CUserInterface();

    // A modal message box. Yes/No questions use MsgButtons::YesNo and MsgIcon::Question.
    virtual MsgResult messageBox(const QString& text, const QString& caption, MsgIcon icon,
                                 MsgButtons buttons = MsgButtons::Ok) = 0;

    // A modeless progress window; it stays open until the returned view is closed or destroyed.
    virtual std::unique_ptr<CProgressView> createProgressView(const ProgressLook& look) = 0;

    // Takes pending user-interface events from the queue and dispatches them (at most maxEvents; a negative
    // number means all that are waiting). Long operations call this between their steps.
    virtual void dispatchPendingEvents(int maxEvents = 1) = 0;

    // Pauses the caller; the widget layer sleeps, a scripted UI may only record it.
    virtual void sleepMs(int ms) = 0;

    virtual void setMainWindowEnabled(bool enabled) = 0;
    // False while an operation holds the main window disabled; it then runs nested in the event loop and must
    // not have the window closed (and the connection released) under it.
    virtual bool isMainWindowEnabled() const { return true; }
    virtual void activateMainWindow() = 0;
    // True while a modal message box or dialog of the program is open; the keep-alive leaves the link alone then.
    virtual bool isModalOpen() const { return false; }

    // A folder chooser that can make a new folder; an empty result means the user cancelled.
    virtual QString chooseFolder(const QString& title, const QString& startFolder) = 0;
    // Common file dialogs; filter in the Qt form ("CSV (*.csv)"). Empty result: cancelled.
    virtual QString chooseOpenFile(const QString& title, const QString& startFolder, const QString& filter) = 0;
    virtual QString chooseSaveFile(const QString& title, const QString& startPath, const QString& filter) = 0;

    // How long an operation waits for a download folder another run holds before it gives up (0: it gives up at
    // once, as the windows do; kelda-cli's --wait sets it, so a scheduled run can wait for the one before it).
    virtual int busyFolderWaitMs() const { return 0; }

    // Whether the person asked for the program's working lines on the console (the --verbose switch): the
    // decoder's banner and frame counter of each converted file.
    virtual bool verbose() const { return false; }

    // Opens a file with the desktop's default application for it ("open" verb); false when nothing took it.
    virtual bool openWithDefaultApplication(const QString& path) = 0;
};
