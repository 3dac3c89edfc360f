#include "ui/voice/CVoiceUiCommands.h"

#include "list/CBoxOpenLogic.h"
#include "platform/CUserInterface.h"
#include "shell/CCommandRules.h"
#include "ui/list/CChildFrame.h"
#include "ui/list/CListDispView.h"
#include "ui/shell/CMainFrame.h"
#include "ui/voice/CWavFileDelWnd.h"
#include "voice/CVoiceCommands.h"
#include "voice/CWavFileDelDlg.h"

using C = CMainFrameLogic;
using R = CCommandRules;

CVoiceUiCommands::CVoiceUiCommands(CMainFrame& frame) : m_frame(frame) {
    m_frame.exitSequence().deleteWavFiles = [this](QStringList& queue) {
        CVoiceCommands::DeleteQueuedWavFiles(m_frame.ui(), queue);
    };
    CCommandTable& t = m_frame.commands();
    t.add(C::CmdConvert, &R::voiceSelected, [this] { convert(); });
    t.add(C::CmdPlay, &R::singleVoiceSelected, [this] { play(); });
    t.add(C::CmdWavDelete, &R::always, [this] { wavDelete(); });
    t.addToggle(C::CmdDownConv, &R::always, &R::convertOnDownload, [this] {
        CKELDADoc& doc = m_frame.doc();
        doc.downConv = doc.downConv == 1 ? 0 : 1;
    });
    t.addToggle(C::CmdConvDel, &R::always, &R::deleteWavAfterPlay, [this] {
        CKELDADoc& doc = m_frame.doc();
        doc.convDel = doc.convDel == 1 ? 0 : 1;
    });
    t.addToggle(C::CmdPlayerBar, &R::always, &R::playerBarShown, [this] {
        CKELDADoc& doc = m_frame.doc();
        doc.playerBar = doc.playerBar == 1 ? 0 : 1;
        for (CChildFrame* list : m_frame.listWindows()) {
            list->view()->setPlayerBarShown(doc.playerBar == 1);
        }
    });
}

CVoiceUiCommands::~CVoiceUiCommands() {
    m_frame.exitSequence().deleteWavFiles = nullptr;
}

void CVoiceUiCommands::convert() {
    if (!m_frame.activeList()) {
        return;
    }
    if (m_frame.ui().messageBox(QStringLiteral("変換します。よろしいですか？"), QStringLiteral("変換の確認"),
                                MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes) {
        return;
    }
    CVoiceCommands::Convert(m_frame.ui(), m_frame.selectedRecords());
}

void CVoiceUiCommands::play() {
    CChildFrame* active = m_frame.activeList();
    if (!active) {
        return;
    }
    std::vector<FILESTS_INFO> rows = m_frame.selectedRecords();
    if (rows.size() != 1) {
        return;
    }
    if (CVoiceCommands::Play(m_frame.ui(), rows[0], m_frame.doc().convDel == 1,
                             m_frame.exitSequence().wavDeleteQueue())) {
        active->view()->reload(CListModel::Sort::Keep, CListModel::Columns::Same);
        m_frame.refreshStatus(false);
    }
}

void CVoiceUiCommands::wavDelete() {
    CWavFileDelDlg logic(m_frame.ui(), m_frame.doc().currentFolderPath(), &CBoxOpenLogic::boxFolders);
    CWavFileDelWnd dlg(logic, &m_frame);
    dlg.run();
}
