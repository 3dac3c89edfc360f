#pragma once

#include <functional>

class CBoxOpenLogic;
class CMainFrame;

// The list windows' commands: "ボックス" opens a list of the chosen boxes, "全表示" shows every row again.
// "選択表示", "未ﾀﾞｳﾝﾛｰﾄﾞ表示" and the list items of the settings popup (columns, record editing, export) are
// registered with their rules; their features are not built yet.
class CListCommands {
public:
    explicit CListCommands(CMainFrame& frame);

    // Runs the box-opening choice and returns the slot filled (0 none); tests replace the dialog.
    std::function<int(CBoxOpenLogic&)> boxChooser;

private:
    void openBoxes();
    void showAll();
    void editRecord();

    CMainFrame& m_frame;
};
