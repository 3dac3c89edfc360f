#pragma once

class CLinkController;
class CMainFrame;

// The download folders' commands: "ﾌｫﾙﾀﾞのﾀﾞｳﾝﾛｰﾄﾞ" (the unit's folder tree made on the PC), "フォルダ名" (choose
// or rename the current folder), "起動時のフォルダを指定する...", the box name and box folder items of the settings
// popup, the list export, the extension box name import and the check of the current download folder.
class CAdminCommands {
public:
    CAdminCommands(CMainFrame& frame, CLinkController& link);

private:
    void folderDownload();
    void folderChange();
    void startFolder();
    void boxNames();
    void makeBoxFolder();
    void renameBoxFolders();
    void exportList();
    void importNames();
    void checkFolder();

    CMainFrame& m_frame;
    CLinkController& m_link;
};
