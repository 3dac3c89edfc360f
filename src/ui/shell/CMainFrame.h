#pragma once

#include "shell/CMainFrameLogic.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>

#include <functional>

class CBoxOpenLogic;
class CChildFrame;
class CCommandBar;
class CUserInterface;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;

// The program's one top-level window: command bar, list windows in a multiple-document area, one-pane status
// line. It owns the settings block (through its logic), routes every command, keeps the bar's states and the
// status line current, arranges the list windows and runs the exit sequence. Commands served by other
// subsystems go to commandHook first; those it does not take do nothing yet.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    using Command = CMainFrameLogic::Command;
    static constexpr int WINDOW_COMMAND_BASE = 10000;

    // Restores the main window placement, builds the bars and loads the settings (frame creation).
    CMainFrame(CUserInterface& ui, const QString& iniFile, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Start-up steps 8-11: show, decide the folder, reopen the saved list windows.
    void startUp();

    CMainFrameLogic& logic() { return m_logic; }
    CKELDADoc& doc() { return m_logic.doc(); }
    CUserInterface& ui() { return m_ui; }
    CCommandBar* commandBar() const { return m_bar; }
    QMdiArea* mdiArea() const { return m_mdi; }
    QLabel* statusPane() const { return m_status; }
    QMenu* settingsMenu() const { return m_settingsMenu; }
    QMenu* windowMenu() const { return m_windowMenu; }
    QTimer* keepAliveTimer() const { return m_keepAlive; }

    // List windows in the order they were created.
    QList<CChildFrame*> listWindows() const;
    CChildFrame* activeList() const;
    CChildFrame* listWindowOfSlot(int slot) const;
    // Creates the list window of a slot and loads it.
    CChildFrame* openListWindow(int slot);
    void closeAllListWindows();
    // A download folder was chosen or changed: the folder field shows its path and the current folder name
    // becomes its last component.
    void setCurrentFolder(const QString& fullPath);
    // Every list window reloads (after box naming, name import, column changes).
    void reloadAllLists(int keepSort, int columnsChanged);

    void refreshStatus(bool recount);
    void updateCommandStates();
    void refreshFields();
    // Builds the window popup's items for the present windows (also done each time it opens).
    void rebuildWindowMenu();
    void rebuildSettingsMenuStates();

    // Exit question, then logout, settings and placements, WAV deletion. False when the user said no.
    bool exitSequence();

    // Other subsystems take their commands here; true means handled.
    std::function<bool(Command)> commandHook;
    // Runs the box-opening choice and returns the slot filled (0 none); tests replace the dialog.
    std::function<int(CBoxOpenLogic&)> boxChooser;
    // Exit step 2 while logged in.
    std::function<void()> quitLink;
    // WAV files to delete at exit, and who deletes them (default: removed one by one).
    QStringList wavDeleteQueue;
    std::function<void(QStringList&)> deleteWavQueue;
    // Options of the command line that other subsystems use.
    int unitPort = 0;
    bool verbose = false;

public Q_SLOTS:
    void runCommand(int cmd);

Q_SIGNALS:
    // Every command, before it runs.
    void commandRequested(int cmd);
    void listWindowsChanged();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void restoreMainPlacement(const QString& iniFile);
    void restoreListWindows();
    void onBoxCommand();
    void onSubWindowActivated(QMdiSubWindow* w);
    void onListClosed(CChildFrame* frame);
    void onListFacts(CChildFrame* frame);
    void togglePopup(QMenu* menu, Command button);
    void arrange(Command cmd);
    QRect clientRect() const;
    CMainFrameLogic::ListCounts countsOf(CChildFrame* frame) const;
    std::vector<CMainFrameLogic::ListPlacement> placementsFromActive() const;
    QList<CChildFrame*> framesMostRecentFirst() const;

    CUserInterface& m_ui;
    CMainFrameLogic m_logic;
    CCommandBar* m_bar;
    QMdiArea* m_mdi;
    QLabel* m_status;
    QMenu* m_settingsMenu;
    QMenu* m_windowMenu;
    QTimer* m_idle;
    QTimer* m_keepAlive;
    QElapsedTimer m_sinceSettingsHidden;
    QElapsedTimer m_sinceWindowHidden;
    QList<QPointer<CChildFrame>> m_frames;
    bool m_arranging = false;
    bool m_exitConfirmed = false;
};
