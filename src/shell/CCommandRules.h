#pragma once

#include "shell/CMainFrameLogic.h"

// The rules that enable the main frame's commands (and tick the two setting items), each a plain function of
// the frame's state and of what the window knows at the moment. A subsystem registers the rule of each of its
// commands in the command table; the rules themselves live here, free of widgets.
class CCommandRules {
public:
    using Inputs = CMainFrameLogic::EnableInputs;
    using Rule = bool (*)(const CMainFrameLogic& frame, const Inputs& in);

    static bool always(const CMainFrameLogic& frame, const Inputs& in);
    // Logged in and the current folder is a download folder (一括/選択ﾀﾞｳﾝﾛｰﾄﾞ).
    static bool loggedInToDownloadFolder(const CMainFrameLogic& frame, const Inputs& in);
    // Logged in and the active list holds rows whose voice data is not on the PC (音声ﾃﾞｰﾀﾀﾞｳﾝﾛｰﾄﾞ).
    static bool loggedInWithInfoOnlyRows(const CMainFrameLogic& frame, const Inputs& in);
    // The active list holds rows whose voice data is not on the PC (未ﾀﾞｳﾝﾛｰﾄﾞ表示).
    static bool infoOnlyRowsPresent(const CMainFrameLogic& frame, const Inputs& in);
    // A selected row has its voice data on the PC (変換).
    static bool voiceSelected(const CMainFrameLogic& frame, const Inputs& in);
    // A selected row has its voice data on the PC (移動・コピー).
    static bool movableSelected(const CMainFrameLogic& frame, const Inputs& in);
    // Exactly one selected row, with its voice data on the PC (再生).
    static bool singleVoiceSelected(const CMainFrameLogic& frame, const Inputs& in);
    // The folder field names a folder (ボックス).
    static bool folderChosen(const CMainFrameLogic& frame, const Inputs& in);
    // A list window is active and rows of it are selected (消去).
    static bool rowsSelected(const CMainFrameLogic& frame, const Inputs& in);
    // A list window is active.
    static bool listActive(const CMainFrameLogic& frame, const Inputs& in);
    static bool loggedIn(const CMainFrameLogic& frame, const Inputs& in);
    static bool loggedOut(const CMainFrameLogic& frame, const Inputs& in);
    // The current folder holds box folders.
    static bool folderHasBoxFolders(const CMainFrameLogic& frame, const Inputs& in);
    // A box folder of the current folder was made by the user.
    static bool userMadeBoxFolderPresent(const CMainFrameLogic& frame, const Inputs& in);
    // At least one list window is open (並べて表示).
    static bool listWindowOpen(const CMainFrameLogic& frame, const Inputs& in);
    // Check marks of the two setting items.
    static bool convertOnDownload(const CMainFrameLogic& frame, const Inputs& in);
    static bool deleteWavAfterPlay(const CMainFrameLogic& frame, const Inputs& in);
    static bool playerBarShown(const CMainFrameLogic& frame, const Inputs& in);
};
