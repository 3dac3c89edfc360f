#pragma once

class CLinkController;
class CMainFrame;

// The download folders' commands: "ﾌｫﾙﾀﾞのﾀﾞｳﾝﾛｰﾄﾞ" (the unit's folder tree made on the PC), "フォルダ名" (choose
// or rename the current folder) and "起動時のフォルダを指定する...". The box name and box folder items and the
// name import are registered with their rules; their features are not built yet.
class CAdminCommands {
public:
    CAdminCommands(CMainFrame& frame, CLinkController& link);

private:
    void folderDownload();
    void folderChange();
    void startFolder();

    CMainFrame& m_frame;
    CLinkController& m_link;
};
