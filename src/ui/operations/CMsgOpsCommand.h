#pragma once

class CFtpMng;
class CMainFrame;
class CUserInterface;

// The main frame's "消去" and "移動・コピー" commands: the kind or target dialog, the run over the active list
// window's selected rows, then the list reload and the status line.
class CMsgOpsCommand {
public:
    // "消去": needs an active list window; ftp may be null while logged out (then only "ＰＣのみ" can run).
    static void Delete(CMainFrame& frame, CUserInterface& ui, CFtpMng* ftp);
    // "移動・コピー": the current folder is taken from the command bar before this is called.
    static void MoveCopy(CMainFrame& frame, CUserInterface& ui);
};
