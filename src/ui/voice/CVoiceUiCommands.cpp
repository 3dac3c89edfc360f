#include "ui/voice/CVoiceUiCommands.h"

#include "list/CBoxOpenLogic.h"
#include "platform/CCommonTexts.h"
#include "platform/CUserInterface.h"
#include "shell/CCommandRules.h"
#include "ui/list/CChildFrame.h"
#include "ui/list/CListDispView.h"
#include "ui/shell/CMainFrame.h"
#include "ui/voice/CWavFileDelDlg.h"
#include "voice/CAudioExport.h"
#include "voice/CVoiceCommands.h"
#include "voice/CWavFileDelLogic.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>

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
    t.add(C::CmdExportAudio, &R::voiceSelected, [this] { exportAudio(); });
    t.add(C::CmdMailAudio, &R::voiceSelected, [this] { mailAudio(); });
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
    const std::vector<FILESTS_INFO> rows = m_frame.selectedRecords();
    if (m_frame.ui().messageBox(CVoiceCommands::ConvertQuestion(int(rows.size())), QStringLiteral("変換の確認"),
                                MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes) {
        return;
    }
    CVoiceCommands::Convert(m_frame.ui(), rows);
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
    CWavFileDelLogic logic(m_frame.ui(), m_frame.doc().currentFolderPath(), &CBoxOpenLogic::boxFolders);
    CWavFileDelDlg dlg(logic, &m_frame);
    dlg.run();
}

void CVoiceUiCommands::exportAudio() {
    if (!m_frame.activeList()) {
        return;
    }
    const std::vector<FILESTS_INFO> rows = m_frame.selectedRecords();
    const QString start = m_exportFolder.isEmpty() ? QDir::homePath() : m_exportFolder;
    const QString folder = m_frame.ui().chooseFolder(QStringLiteral("書き出し先のフォルダを選択してください。"), start);
    if (folder.isEmpty()) {
        return;
    }
    m_exportFolder = folder;
    CAudioExport::Options options;
    options.folder = folder;
    CAudioExport::Run(m_frame.ui(), rows, options);
}

void CVoiceUiCommands::mailAudio() {
    if (!m_frame.activeList()) {
        return;
    }
    std::vector<FILESTS_INFO> rows;
    for (const FILESTS_INFO& r : m_frame.selectedRecords()) {
        if (r.importStatus != 0) {
            rows.push_back(r);
        }
    }
    // Each mail gets a folder of its own, left in place: the mail program reads the files when it sends.
    const QString root = mailFolderRoot.isEmpty() ? QDir::tempPath() : mailFolderRoot;
    QDir().mkpath(root);
    QTemporaryDir made(root + QStringLiteral("/kelda-mail-XXXXXX"));
    if (!made.isValid()) {
        m_frame.ui().messageBox(QStringLiteral("メールに付けるファイルの置き場所を作れませんでした。\n%1").arg(root),
                                CCommonTexts::ErrorCaption(), MsgIcon::Exclamation);
        return;
    }
    made.setAutoRemove(false);
    CAudioExport::Options options;
    options.folder = made.path();
    const CAudioExport::Outcome out = CAudioExport::Run(m_frame.ui(), m_frame.selectedRecords(), options);
    if (out.written.isEmpty() || out.result == CAudioExport::Result::Cancelled) {
        QDir(made.path()).removeRecursively();
        return;
    }
    CMailAttach::Send(m_frame.ui(), out.written, rows, made.path(), mailSetup);
}
