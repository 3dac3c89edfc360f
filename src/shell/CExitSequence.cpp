#include "shell/CExitSequence.h"

#include "platform/CCommonTexts.h"
#include "platform/CUserInterface.h"
#include "shell/CMainFrameLogic.h"

#include <QFile>

CExitSequence::CExitSequence(CUserInterface& ui, CMainFrameLogic& logic) : m_ui(ui), m_logic(logic) {}

CExitSequence::Outcome CExitSequence::requestClose() {
    if (m_confirmed) {
        return Outcome::Close;
    }
    // The window manager's close box still works while an operation holds the window disabled; the operation
    // runs beneath this request and would lose its connection and objects. It has its own "キャンセル".
    if (!m_ui.isMainWindowEnabled()) {
        return Outcome::Refused;
    }
    if (m_ui.messageBox(QStringLiteral("ＱＳ－ＺＵＮＯ音声ファイル管理を終了しますか？"), QStringLiteral("終了確認"),
                        MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes) {
        return Outcome::Declined;
    }
    logOut();
    saveSettings();
    deleteQueuedWavFiles();
    m_confirmed = true;
    return Outcome::Close;
}

void CExitSequence::logOut() {
    CKELDADoc& doc = m_logic.doc();
    if (doc.loggedIn == 1) {
        if (quitLink) {
            quitLink();
        }
        doc.loggedIn = 0;
    }
}

void CExitSequence::saveSettings() {
    const bool settings = m_logic.doc().save(m_logic.iniFile());
    const CWindowPlacement::WinRect main = mainRect ? mainRect() : CWindowPlacement::WinRect();
    const std::vector<CWindowPlacement::ListPlacement> lists =
        listPlacements ? listPlacements() : std::vector<CWindowPlacement::ListPlacement>();
    const bool placements = CWindowPlacement::savePlacements(m_logic.iniFile(), main, lists);
    if (!settings || !placements) {
        // Ending without a word would lose every setting of this session unnoticed.
        m_ui.messageBox(CCommonTexts::SettingsNotSaved(), CCommonTexts::ErrorCaption(), MsgIcon::Exclamation);
    }
}

void CExitSequence::deleteQueuedWavFiles() {
    if (deleteWavFiles) {
        deleteWavFiles(m_wavQueue);
        return;
    }
    for (const auto& f : m_wavQueue) {
        QFile::remove(f);
    }
    m_wavQueue.clear();
}
