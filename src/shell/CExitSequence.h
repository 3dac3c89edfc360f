#pragma once

#include "shell/CWindowPlacement.h"

#include <QStringList>

#include <functional>
#include <vector>

class CMainFrameLogic;
class CUserInterface;

// Closing the main window, decided here and carried out by whoever holds the parts: the exit question, QUIT to
// the unit while logged in, the settings and then the window placements written (a failure is reported), the
// WAV files queued after playing deleted. The window only supplies the placements it knows and accepts or
// ignores the close as told.
class CExitSequence {
public:
    enum class Outcome {
        Refused,  // an operation holds the main window disabled: nothing asked, nothing done
        Declined, // the user answered "いいえ" to the exit question
        Close,    // everything is done; the window closes
    };

    CExitSequence(CUserInterface& ui, CMainFrameLogic& logic);

    // A request to close the main window (its close box, the link's "終了", the end of the program).
    Outcome requestClose();
    // True once the user has confirmed; later requests close without asking again.
    bool confirmed() const { return m_confirmed; }

    // WAV files to delete at exit (played with the after-play deletion on).
    QStringList& wavDeleteQueue() { return m_wavQueue; }

    // QUIT to the unit and stop the link's timer; without one nothing is sent.
    std::function<void()> quitLink;
    // The main window's rectangle (its normal one when maximized or minimized) and the list windows' placements
    // from the active one down.
    std::function<CWindowPlacement::WinRect()> mainRect;
    std::function<std::vector<CWindowPlacement::ListPlacement>()> listPlacements;
    // Deletes the queued WAV files and empties the queue; without one they are removed one by one.
    std::function<void(QStringList&)> deleteWavFiles;

private:
    void logOut();
    void saveSettings();
    void deleteQueuedWavFiles();

    CUserInterface& m_ui;
    CMainFrameLogic& m_logic;
    QStringList m_wavQueue;
    bool m_confirmed = false;
};
