#include "shell/CWindowPlacement.h"

#include "store/CPrivateProfile.h"

#include <algorithm>
#include <cmath>

CWindowPlacement::WinRect CWindowPlacement::correctMainRect(WinRect r, int screenWidth, int screenHeight) {
    if (r.right > screenWidth) {
        const int d = r.right - screenWidth - 1;
        r.left -= d;
        r.right -= d;
    }
    if (r.left < 0) {
        const int d = 1 - r.left;
        r.left += d;
        r.right += d;
    }
    if (r.bottom > screenHeight) {
        const int d = r.bottom - screenHeight - 1;
        r.top -= d;
        r.bottom -= d;
    }
    if (r.top < 0) {
        const int d = 1 - r.top;
        r.top += d;
        r.bottom += d;
    }
    return r;
}

CWindowPlacement::WinRect CWindowPlacement::readMainRect(const QString& iniFile) {
    const QString s = QStringLiteral("Window");
    return {CPrivateProfile::getInt(iniFile, s, "Left", ABSENT), CPrivateProfile::getInt(iniFile, s, "Top", ABSENT),
            CPrivateProfile::getInt(iniFile, s, "Right", ABSENT),
            CPrivateProfile::getInt(iniFile, s, "Bottom", ABSENT)};
}

CWindowPlacement::RestorePlan CWindowPlacement::readListPlacements(const QString& iniFile, int listCount) {
    RestorePlan plan;
    for (int i = 1; i <= std::min(listCount, 4); ++i) {
        const QString s = QStringLiteral("Window%1").arg(i);
        ListPlacement p;
        p.slot = i;
        p.rect = {CPrivateProfile::getInt(iniFile, s, "Left", ABSENT),
                  CPrivateProfile::getInt(iniFile, s, "Top", ABSENT),
                  CPrivateProfile::getInt(iniFile, s, "Right", ABSENT),
                  CPrivateProfile::getInt(iniFile, s, "Bottom", ABSENT)};
        p.showCmd = CPrivateProfile::getInt(iniFile, s, "showCmd", ABSENT);
        const int z = CPrivateProfile::getInt(iniFile, s, "ZOrder", ABSENT);
        if (z >= 1 && z <= 4) {
            plan.stacking[z - 1] = i;
        }
        if (p.showCmd == SHOW_MAXIMIZED) {
            plan.maximize = true;
        }
        plan.windows.push_back(p);
    }
    return plan;
}

std::vector<int> CWindowPlacement::RestorePlan::activationOrder() const {
    std::vector<int> order;
    for (int p = 4; p >= 1; --p) {
        const int s = stacking[p - 1];
        if (s >= 1 && s <= 4) {
            order.push_back(s);
        }
    }
    return order;
}

bool CWindowPlacement::savePlacements(const QString& iniFile, const WinRect& mainRect,
                                      const std::vector<ListPlacement>& fromActive) {
    bool ok = true;
    auto putInt = [&](const QString& section, const char* key, int value) {
        ok = CPrivateProfile::writeString(iniFile, section, QString::fromLatin1(key), QString::number(value)) && ok;
    };
    putInt("Window", "Left", mainRect.left);
    putInt("Window", "Top", mainRect.top);
    putInt("Window", "Right", mainRect.right);
    putInt("Window", "Bottom", mainRect.bottom);

    const size_t count = std::min<size_t>(fromActive.size(), 4);
    const ListPlacement* maximized = nullptr;
    for (size_t k = 0; k < count; ++k) {
        if (fromActive[k].showCmd == SHOW_MAXIMIZED) {
            maximized = &fromActive[k];
            break;
        }
    }
    for (int j = 1; j <= 4; ++j) {
        const bool present = static_cast<size_t>(j) <= count;
        const QString s = QStringLiteral("Window%1").arg(present ? fromActive[j - 1].slot : j);
        WinRect r;
        int show = 0;
        if (maximized) {
            r = maximized->rect;
            show = SHOW_MAXIMIZED;
        } else if (present) {
            r = fromActive[j - 1].rect;
            show = fromActive[j - 1].showCmd;
        }
        putInt(s, "Left", r.left);
        putInt(s, "Top", r.top);
        putInt(s, "Right", r.right);
        putInt(s, "Bottom", r.bottom);
        putInt(s, "showCmd", show);
        putInt(s, "ZOrder", j);
    }
    return ok;
}

CWindowPlacement::WinRect CWindowPlacement::newListRect(const WinRect& client) {
    return {client.left + 10, client.top + 10, client.right - 10, client.top + 500};
}

int CWindowPlacement::mulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) {
        return -1;
    }
    const long long p = static_cast<long long>(number) * numerator;
    return static_cast<int>(std::llround(static_cast<double>(p) / denominator));
}

std::vector<CWindowPlacement::WinRect> CWindowPlacement::tileThree(const WinRect& c) {
    const int half = c.left + c.width() / 2;
    const int lower = c.bottom - FREE_BAND;
    const int middle = c.top + (c.bottom - c.top - FREE_BAND) / 2;
    return {{c.left, c.top, half, lower}, {half, c.top, c.right, middle}, {half, middle, c.right, lower}};
}

std::vector<CWindowPlacement::WinRect> CWindowPlacement::tileRowsFour(const WinRect& c) {
    std::vector<WinRect> out;
    const int h = c.height() - FREE_BAND;
    for (int k = 0; k < 2; ++k) {
        const int top = c.top + mulDiv(h, k, 2);
        const int bottom = c.top + mulDiv(h, k + 1, 2);
        const int mid = top + (bottom - top) / 2;
        out.push_back({c.left, top, c.right, mid});
        out.push_back({c.left, mid, c.right, bottom});
    }
    return out;
}

std::vector<CWindowPlacement::WinRect> CWindowPlacement::tileColumnsFour(const WinRect& c) {
    std::vector<WinRect> out;
    const int bottom = c.bottom - FREE_BAND;
    for (int k = 0; k < 2; ++k) {
        const int left = c.left + mulDiv(c.width(), k, 2);
        const int right = c.left + mulDiv(c.width(), k + 1, 2);
        const int mid = left + (right - left) / 2;
        out.push_back({left, c.top, mid, bottom});
        out.push_back({mid, c.top, right, bottom});
    }
    return out;
}

std::vector<CWindowPlacement::WinRect> CWindowPlacement::tileSideBySide(const WinRect& c, int n) {
    std::vector<WinRect> out;
    for (int k = 0; k < n; ++k) {
        out.push_back({c.left + mulDiv(c.width(), k, n), c.top, c.left + mulDiv(c.width(), k + 1, n), c.bottom});
    }
    return out;
}

std::vector<CWindowPlacement::WinRect> CWindowPlacement::cascade(const WinRect& c, int n, int step) {
    std::vector<WinRect> out;
    if (n <= 0) {
        return out;
    }
    // In a client area too small for the steps, the windows keep at least half its size and overlap more.
    const int room = std::min(c.width(), c.height()) / 2;
    const int d = n > 1 ? std::max(0, std::min(step, room / (n - 1))) : 0;
    const int w = c.width() - (n - 1) * d;
    const int h = c.height() - (n - 1) * d;
    for (int k = 0; k < n; ++k) {
        out.push_back({c.left + k * d, c.top + k * d, c.left + k * d + w, c.top + k * d + h});
    }
    return out;
}

std::vector<CWindowPlacement::WinRect> CWindowPlacement::tileStacked(const WinRect& c, int n) {
    std::vector<WinRect> out;
    for (int k = 0; k < n; ++k) {
        out.push_back({c.left, c.top + mulDiv(c.height(), k, n), c.right, c.top + mulDiv(c.height(), k + 1, n)});
    }
    return out;
}
