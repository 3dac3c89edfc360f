#pragma once

#include "shell/CKELDADoc.h"

#include <QString>
#include <QStringList>

#include <array>
#include <utility>
#include <vector>

// The main frame's decisions, free of widgets: which commands are enabled, the texts of the command bar's two
// fields and of the status line, what happens to the list slots when a window closes, where windows go when
// placed, saved, restored and arranged, and the start-up folder rules. The frame owns it; it owns the settings
// block.
class CMainFrameLogic {
public:
    // Commands of the command bar, the settings popup and the window popup.
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
        CmdColumns,
        CmdEditInfo,
        CmdBoxName,
        CmdMakeBoxFolder,
        CmdRenameBoxFolder,
        CmdExport,
        CmdImport,
        // window popup
        CmdTile,
        CmdTileHorz,
        CmdTileVert,
        CmdCascade,
        CmdCount
    };
    static constexpr int BUTTON_COUNT = 16;
    static QString label(Command cmd);

    // A rectangle by its edges, right and bottom exclusive, as window placements store it.
    struct WinRect {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        int width() const { return right - left; }
        int height() const { return bottom - top; }
        bool operator==(const WinRect&) const = default;
    };
    static constexpr int ABSENT = -9999;
    static constexpr int SHOW_NORMAL = 1;
    static constexpr int SHOW_MAXIMIZED = 3;

    struct ListPlacement {
        int slot = 0;
        WinRect rect;
        int showCmd = SHOW_NORMAL;
    };
    struct RestorePlan {
        std::vector<ListPlacement> windows;         // slot 1 .. NUM
        std::array<int, 4> stacking = {0, 0, 0, 0}; // slot at stacking position 1..4 (0 none)
        bool maximize = false;
        // Slots in the order to activate them: the one saved with ZOrder 1 comes last and ends on top.
        std::vector<int> activationOrder() const;
    };

    struct MenuItemState {
        bool enabled = true;
        bool checked = false;
    };

    CMainFrameLogic();

    CKELDADoc& doc() { return m_doc; }
    const CKELDADoc& doc() const { return m_doc; }
    const QString& iniFile() const { return m_iniFile; }

    // Frame creation, steps 4-8: load the settings, apply the start-up folder rules, set the field texts.
    void create(const QString& iniFile);
    bool restoreFlag() const { return m_restoreFlag; }
    // Start-up step 9: true when the current folder exists (list windows may be restored); otherwise the
    // folder-related settings are cleared.
    bool decideFolder();
    // Whether start-up reopens the saved list windows (step 10).
    bool shouldRestoreLists() const { return m_restoreFlag && m_doc.change != 1 && m_doc.num > 0; }
    // Start-up found the folder but reopens no list window: the saved slots name windows that do not exist, and
    // left in place they would make the next list take a slot past them (or find all four taken).
    void forgetUnrestoredSlots();
    // End of start-up (step 11).
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
    bool maximizeFlag = false;
    void setSelectionFacts(bool voiceSelected, bool singleVoiceSelected, bool infoOnlyPresent);

    struct EnableInputs {
        bool listActive = false;
        bool isDownloadFolder = false; // root + current folder name is a download folder
    };
    bool isEnabled(Command cmd, const EnableInputs& in) const;
    EnableInputs enableInputs(bool listActive) const;

    // Settings popup states; hasBoxFolders / hasMadeBoxFolder as the folder tells.
    MenuItemState settingsItemState(Command cmd, bool listActive) const;
    // Window popup: 並べて表示 is greyed below one window.
    MenuItemState windowItemState(Command cmd) const;
    static QString windowMenuLabel(const QString& boxSelection);

    // Status line.
    struct ListCounts {
        int boxTotal = 0;
        int listTotal = 0;
        int unplayed = 0;
        int played = 0;
        int unreadable = 0; // message files the list could not read
    };
    static QString statusText(int folderTotal, const ListCounts& counts);
    static QString countText(int value);
    // Recounts the messages of every box folder of slot n's download folder.
    int recountFolderTotal(int slot);
    int folderTotal() const { return m_folderTotal; }

    // A list window of slot n closed: the slots above move down. Returns (old slot, new slot) of every moved
    // window. When none remains, every slot is cleared and the box field and enable flags are reset.
    std::vector<std::pair<int, int>> closeSlot(int slot);
    // A new list window took the next slot (box command or restoration).
    void slotOpened(int slot);

    // Placement of windows.
    static WinRect correctMainRect(WinRect r, int screenWidth, int screenHeight);
    static WinRect readMainRect(const QString& iniFile);
    RestorePlan readListPlacements() const;
    // Main window rectangle, then the list windows from the active one through its next siblings.
    bool savePlacements(const WinRect& mainRect, const std::vector<ListPlacement>& fromActive) const;
    // Restored rectangle of a list window created while others are open.
    static WinRect newListRect(const WinRect& client);

    // Custom arrangements; client is the area that holds the list windows.
    static std::vector<WinRect> tileThree(const WinRect& client);
    static std::vector<WinRect> tileRowsFour(const WinRect& client);
    static std::vector<WinRect> tileColumnsFour(const WinRect& client);
    // The standard tilings the custom ones fall back to: n windows side by side, or one above the other.
    static std::vector<WinRect> tileSideBySide(const WinRect& client, int n);
    static std::vector<WinRect> tileStacked(const WinRect& client, int n);
    static int mulDiv(int number, int numerator, int denominator);
    static constexpr int FREE_BAND = 150;

    // Exit step 3: settings, then window placements.
    bool saveAll(const WinRect& mainRect, const std::vector<ListPlacement>& fromActive);

private:
    CKELDADoc m_doc;
    QString m_iniFile;
    QString m_folderField;
    QString m_boxField;
    bool m_restoreFlag = true;
    int m_folderTotal = 0;
};
