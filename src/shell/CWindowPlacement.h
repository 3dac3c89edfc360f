#pragma once

#include <QString>

#include <array>
#include <vector>

// Where the main window and the list windows go: the stored placements in the settings file (read at start-up,
// written at exit), the correction that keeps the main window on the screen, the rectangle of a new list window
// and the geometry of the arrangements of the window popup. Everything here is arithmetic and file access, free
// of widgets.
class CWindowPlacement {
public:
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
    static constexpr int SHOW_MINIMIZED = 2;
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

    // Moves a stored main window rectangle back onto a screen of the given size.
    static WinRect correctMainRect(WinRect r, int screenWidth, int screenHeight);
    static WinRect readMainRect(const QString& iniFile);
    // The stored placements of the first listCount list windows.
    static RestorePlan readListPlacements(const QString& iniFile, int listCount);
    // Main window rectangle, then the list windows from the active one through its next siblings.
    static bool savePlacements(const QString& iniFile, const WinRect& mainRect,
                               const std::vector<ListPlacement>& fromActive);
    // Restored rectangle of a list window created while others are open.
    static WinRect newListRect(const WinRect& client);

    // Custom arrangements; client is the area that holds the list windows.
    static std::vector<WinRect> tileThree(const WinRect& client);
    static std::vector<WinRect> tileRowsFour(const WinRect& client);
    static std::vector<WinRect> tileColumnsFour(const WinRect& client);
    // The standard tilings the custom ones fall back to: n windows side by side, or one above the other.
    static std::vector<WinRect> tileSideBySide(const WinRect& client, int n);
    static std::vector<WinRect> tileStacked(const WinRect& client, int n);
    // n windows cascaded from the top left corner, each one step right and down from the one before, each as
    // large as the client area leaves room for, so the last one reaches the bottom right corner; step is the
    // height of a window's caption, so every caption stays in view.
    static std::vector<WinRect> cascade(const WinRect& client, int n, int step);
    static int mulDiv(int number, int numerator, int denominator);
    // The band at the bottom of the client area the custom arrangements leave free.
    static constexpr int FREE_BAND = 150;
};
