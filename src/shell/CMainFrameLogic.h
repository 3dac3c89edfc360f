#pragma once

#include "shell/CKELDADoc.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// The main frame's state and decisions, free of widgets: the commands and their names, the facts their rules
// read (CCommandRules), the texts of the command bar's two fields and of the status line, what happens to the
// list slots when a window opens or closes, and the start-up folder rules. Where windows go is
// CWindowPlacement's, closing the program CExitSequence's. The frame owns it; it owns the settings block.
class CMainFrameLogic {
public:
    // Commands of the command bar, the settings popup and the window popup, in the order they are shown: the
    // first BUTTON_COUNT are buttons, CmdLogin .. CmdLastSetting the settings items, CmdTile .. CmdCascade the window
    // items. Each is served by the one handler its subsystem registers in the frame's CCommandTable.
    enum Command {
        CmdFolderDownload, // ﾌｫﾙﾀﾞのﾀﾞｳﾝﾛｰﾄﾞ
        CmdBulkDownload,
        CmdSelDownload,
        CmdVoiceDownload,
        CmdFolderName,
        CmdBox,
        CmdSelDisplay,
        CmdAllDisplay,
        CmdNotDownloaded,
        CmdConvert,
        CmdPlay,
        CmdDelete,
        CmdMoveCopy,
        CmdSettings,
        CmdWindow,
        CmdVersion,
        // settings popup
        CmdLogin,
        CmdLogout,
        CmdStartFolder,
        CmdDownConv,
        CmdWavDelete,
        CmdConvDel,
        CmdPlayerBar, // 試聴バーを表示する
        CmdColumns,
        CmdEditInfo,
        CmdBoxName,
        CmdMakeBoxFolder,
        CmdRenameBoxFolder,
        CmdExport,
        CmdImport,
        CmdCheckFolder, // ダウンロードフォルダを点検する...
        CmdExportAudio, // 音声を書き出す...
        CmdMailAudio,   // メールで送る
        // window popup
        CmdTile,
        CmdTileHorz,
        CmdTileVert,
        CmdCascade,
        CmdCount
    };
    static constexpr int BUTTON_COUNT = 16;
    static constexpr Command CmdLastSetting = CmdMailAudio;
    static QString label(Command cmd);
    // The key that presses a bar button from anywhere in the main window, in portable text ("Alt+D"). Empty for
    // the popup items.
    static QString shortcut(Command cmd);
    // A bar button's text: its label with the letter of its key marked, as "消去(&E)", so the button shows its
    // key underlined. The label alone for the popup items.
    static QString buttonText(Command cmd);
    // The keys that close the active list window.
    static QStringList closeListKeys() { return {QStringLiteral("Ctrl+W"), QStringLiteral("Ctrl+F4")}; }
    // The key that opens the settings popup, as a menu bar's key would.
    static QString settingsMenuKey() { return QStringLiteral("F10"); }

    CMainFrameLogic();

    CKELDADoc& doc() { return m_doc; }
    const CKELDADoc& doc() const { return m_doc; }
    const QString& iniFile() const { return m_iniFile; }

    // Frame creation: load the settings, pick the folder to open (the start-up folder when one is set and differs
    // from the last session's), set the field texts.
    void create(const QString& iniFile);
    bool restoreFlag() const { return m_restoreFlag; }
    // True when the current folder exists (list windows may be restored); otherwise the folder-related settings
    // are cleared.
    bool decideFolder();
    // Whether start-up reopens the saved list windows: not after a change of the start-up folder.
    bool shouldRestoreLists() const { return m_restoreFlag && m_doc.change != 1 && m_doc.num > 0; }
    // Start-up found the folder but reopens no list window: the saved slots name windows that do not exist, and
    // left in place they would make the next list take a slot past them (or find all four taken).
    void forgetUnrestoredSlots();
    // Start-up is over: a change of the start-up folder has been applied.
    void finishStartup() { m_doc.change = 0; }

    // Command bar fields.
    const QString& folderField() const { return m_folderField; }
    const QString& boxField() const { return m_boxField; }
    void setFolderField(const QString& text) { m_folderField = text; }
    void setBoxField(const QString& text) { m_boxField = text; }
    static QString folderFieldText(const QString& root, const QString& folderName);
    static QString folderFieldTextFromPath(const QString& fullPath);
    // The box field for slot text as a list window activation shows it: answering-machine and extension boxes
    // on two lines.
    static QString activationBoxFieldText(const QString& boxSelection);
    // The current folder name as the folder field names it (text after the last "/").
    static QString folderNameFromField(const QString& fieldText);
    // Stores the folder field's folder name as the current folder name.
    void takeFolderNameFromField();
    // A list window of slot n became active.
    void listActivated(int slot);

    // Enable flags pushed by the active list.
    bool convertFlag = false;
    bool moveCopyFlag = false;
    bool playFlag = false;
    bool notDownloadedFlag = false;
    bool deleteFlag = false;
    bool maximizeFlag = false;
    void setSelectionFacts(bool voiceSelected, bool singleVoiceSelected, bool infoOnlyPresent, bool rowsSelected);

    struct EnableInputs {
        bool listActive = false;
        bool isDownloadFolder = false; // root + current folder name is a download folder
    };
    // What the rules read besides this object: whether a list is active, and whether the current folder is a
    // download folder (looked at only while logged in).
    EnableInputs enableInputs(bool listActive) const;

    static QString windowMenuLabel(const QString& boxSelection);

    // Status line.
    struct ListCounts {
        int boxTotal = 0;
        int listTotal = 0;
        int unplayed = 0;
        int played = 0;
        int unreadable = 0;  // message files the list could not read
        int displayMode = 0; // 0 all messages, 1 "選択表示", 2 "未ﾀﾞｳﾝﾛｰﾄﾞ表示"
    };
    static QString statusText(int folderTotal, const ListCounts& counts);
    // The status line's other pane: whether KELDA is logged in, and to which unit.
    static QString linkStatusText(const CLinkSettings& link);
    QString linkStatusText() const { return linkStatusText(m_doc); }
    static QString countText(int value);
    // Recounts the messages of every box folder of slot n's download folder.
    int recountFolderTotal(int slot);
    int folderTotal() const { return m_folderTotal; }

    // A list window of slot n closed: the slots above move down. Returns (old slot, new slot) of every moved
    // window. When none remains, every slot is cleared and the box field and enable flags are reset.
    std::vector<std::pair<int, int>> closeSlot(int slot);
    // A new list window took the next slot (box command or restoration).
    void slotOpened(int slot);

private:
    CKELDADoc m_doc;
    QString m_iniFile;
    QString m_folderField;
    QString m_boxField;
    bool m_restoreFlag = true;
    int m_folderTotal = 0;
};
