#pragma once

class CLinkController;
class CMainFrame;

// The message operations of the command bar: "一括ﾀﾞｳﾝﾛｰﾄﾞ", "選択ﾀﾞｳﾝﾛｰﾄﾞ" and "音声ﾃﾞｰﾀﾀﾞｳﾝﾛｰﾄﾞ" over the
// link's connection, and "消去" and "移動・コピー", whose features are not built yet.
class COperationCommands {
public:
    COperationCommands(CMainFrame& frame, CLinkController& link);

private:
    void boxDownload(bool bulk);
    void voiceDownload();
    // The current folder name comes from the folder field; the client converts as the setting says.
    void prepareDownload();

    CMainFrame& m_frame;
    CLinkController& m_link;
};
