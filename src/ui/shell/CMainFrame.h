#pragma once

#include "list/CListModel.h"
#include "shell/CCommandTable.h"
#include "shell/CExitSequence.h"
#include "shell/CMainFrameLogic.h"
#include "shell/CWindowPlacement.h"
#include "store/FILESTS_INFO.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <vector>

class CAdminCommands;
class CChildFrame;
class CCommandBar;
class CLinkCommands;
class CListCommands;
class COperationCommands;
class CShellCommands;
class CUserInterface;
class CVoiceUiCommands;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;

// The program's one top-level window: command bar, list windows in a multiple-document area, one-pane status
// line. It owns the settings block (through its logic) and the command table, which the command classes of the
// subsystems fill; it keeps the bar's states and the status line current, arranges the list windows and carries
// out the exit sequence's decisions.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    using Command = CMainFrameLogic::Command;

    // Restores the main window placement, builds the bars, loads the settings and registers every command.
    // passwordStore: the desktop's keyring for the remembered password (null: the settings file keeps it).
    CMainFrame(CUserInterface& ui, const QString& iniFile, QWidget* parent = nullptr,
               CPasswordStore* passwordStore = nullptr);
    ~CMainFrame() override;

    // Shows the window, decides the folder and reopens the saved list windows.
    void startUp();

    CMainFrameLogic& logic() { return m_logic; }
    CKELDADoc& doc() { return m_logic.doc(); }
    CUserInterface& ui() { return m_ui; }
    CCommandTable& commands() { return m_commands; }
    CExitSequence& exitSequence() { return m_exit; }
    CListCommands& listCommands() { return *m_listCommands; }
    CCommandBar* commandBar() const { return m_bar; }
    QMdiArea* mdiArea() const { return m_mdi; }
    QLabel* statusPane() const { return m_status; }
    QLabel* linkStatusPane() const { return m_linkStatus; }
    QMenu* settingsMenu() const { return m_settingsMenu; }
    QMenu* windowMenu() const { return m_windowMenu; }

    // Runs a command through the table, then brings the bar's states up to date.
    void runCommand(Command cmd);

    // List windows in the order they were created.
    QList<CChildFrame*> listWindows() const;
    CChildFrame* activeList() const;
    CChildFrame* listWindowOfSlot(int slot) const;
    // Creates the list window of a slot and loads it.
    CChildFrame* openListWindow(int slot);
    void closeAllListWindows();
    // The selected rows' records of the active list, in list order (none without an active list).
    std::vector<FILESTS_INFO> selectedRecords() const;
    // A download folder was chosen or changed: the folder field shows its path and the current folder name
    // becomes its last component.
    void setCurrentFolder(const QString& fullPath);
    // Every list window reloads (after box naming, name import, column changes).
    void reloadAllLists(CListModel::Sort sort, CListModel::Columns columns);

    void refreshStatus(bool recount);
    void updateCommandStates();
    void refreshFields();
    // Builds the window popup's items for the present windows (also done each time it opens).
    void rebuildWindowMenu();
    void rebuildSettingsMenuStates();
    // Opens the popup under its button, or closes it when it is open.
    void togglePopup(QMenu* menu, Command button);
    // The settings popup opened from the keyboard, its first item that can be chosen active.
    void openSettingsMenuByKey();
    // The arrangements of the window popup (並べて表示, 上下/左右に並べて表示, 重ねて表示).
    void arrangeListWindows(Command cmd);

protected:
    void closeEvent(QCloseEvent* e) override;
    // Tab goes on from the bar's last button to the active list (Shift+Tab in the list comes back, see
    // CChildFrame).
    bool focusNextPrevChild(bool next) override;

private:
    void restoreMainPlacement(const QString& iniFile);
    void restoreListWindows();
    void onSubWindowActivated(QMdiSubWindow* w);
    void onListClosed(CChildFrame* frame);
    void onListFacts(CChildFrame* frame);
    QRect clientRect() const;
    CWindowPlacement::WinRect mainRect() const;
    CMainFrameLogic::ListCounts countsOf(CChildFrame* frame) const;
    std::vector<CWindowPlacement::ListPlacement> placementsFromActive() const;
    QList<CChildFrame*> framesMostRecentFirst() const;

    CUserInterface& m_ui;
    CMainFrameLogic m_logic;
    CCommandTable m_commands;
    CExitSequence m_exit;
    CCommandBar* m_bar;
    QMdiArea* m_mdi;
    QLabel* m_status;
    QLabel* m_linkStatus; // logged in or not, and to which unit
    QMenu* m_settingsMenu;
    QMenu* m_windowMenu;
    QTimer* m_idle;
    QElapsedTimer m_sinceSettingsHidden;
    QElapsedTimer m_sinceWindowHidden;
    QList<QPointer<CChildFrame>> m_frames;
    bool m_arranging = false;
    // The subsystems' commands; the link's comes first, the others use its connection.
    std::unique_ptr<CLinkCommands> m_linkCommands;
    std::unique_ptr<COperationCommands> m_operationCommands;
    std::unique_ptr<CListCommands> m_listCommands;
    std::unique_ptr<CVoiceUiCommands> m_voiceCommands;
    std::unique_ptr<CAdminCommands> m_adminCommands;
    std::unique_ptr<CShellCommands> m_shellCommands;
};
