#include "shell/CCommandRules.h"

#include "store/BoxKind.h"
#include "store/CFileMng.h"

namespace {

// Logged in, and the link is not being checked or re-established just now.
bool linkReady(const CMainFrameLogic& frame) {
    return frame.doc().loggedIn == 1 && !frame.doc().linkChecking;
}

} // namespace

bool CCommandRules::always(const CMainFrameLogic&, const Inputs&) {
    return true;
}

bool CCommandRules::loggedInToDownloadFolder(const CMainFrameLogic& frame, const Inputs& in) {
    return linkReady(frame) && in.isDownloadFolder;
}

bool CCommandRules::loggedInWithInfoOnlyRows(const CMainFrameLogic& frame, const Inputs&) {
    return frame.notDownloadedFlag && linkReady(frame);
}

bool CCommandRules::infoOnlyRowsPresent(const CMainFrameLogic& frame, const Inputs&) {
    return frame.notDownloadedFlag;
}

bool CCommandRules::voiceSelected(const CMainFrameLogic& frame, const Inputs&) {
    return frame.convertFlag;
}

bool CCommandRules::movableSelected(const CMainFrameLogic& frame, const Inputs&) {
    return frame.moveCopyFlag;
}

bool CCommandRules::singleVoiceSelected(const CMainFrameLogic& frame, const Inputs&) {
    return frame.playFlag;
}

bool CCommandRules::folderChosen(const CMainFrameLogic& frame, const Inputs&) {
    return frame.folderField().size() >= 2;
}

bool CCommandRules::rowsSelected(const CMainFrameLogic& frame, const Inputs& in) {
    return in.listActive && frame.deleteFlag;
}

bool CCommandRules::listActive(const CMainFrameLogic&, const Inputs& in) {
    return in.listActive;
}

bool CCommandRules::loggedIn(const CMainFrameLogic& frame, const Inputs&) {
    return linkReady(frame);
}

bool CCommandRules::loggedOut(const CMainFrameLogic& frame, const Inputs&) {
    return frame.doc().loggedIn != 1;
}

bool CCommandRules::folderHasBoxFolders(const CMainFrameLogic& frame, const Inputs&) {
    const CKELDADoc& doc = frame.doc();
    return !doc.folderName.isEmpty() &&
           CFileMng::FolderHasMessages(doc.currentFolderPath()) != CFileMng::FolderMessages::NoBoxFolders;
}

bool CCommandRules::userMadeBoxFolderPresent(const CMainFrameLogic& frame, const Inputs&) {
    const CKELDADoc& doc = frame.doc();
    if (doc.folderName.isEmpty()) {
        return false;
    }
    for (const BoxKind kind : kBoxKinds) {
        QStringList boxes;
        CFileMng::ListSubfolders(CFileMng::Join(doc.currentFolderPath(), boxKindDir(kind)), boxes);
        for (const auto& b : boxes) {
            if (CFileMng::GetMake(b) == CFileMng::Make::ByUser) {
                return true;
            }
        }
    }
    return false;
}

bool CCommandRules::listWindowOpen(const CMainFrameLogic& frame, const Inputs&) {
    return frame.doc().num >= 1;
}

bool CCommandRules::convertOnDownload(const CMainFrameLogic& frame, const Inputs&) {
    return frame.doc().downConv == 1;
}

bool CCommandRules::deleteWavAfterPlay(const CMainFrameLogic& frame, const Inputs&) {
    return frame.doc().convDel == 1;
}

bool CCommandRules::playerBarShown(const CMainFrameLogic& frame, const Inputs&) {
    return frame.doc().playerBar == 1;
}
