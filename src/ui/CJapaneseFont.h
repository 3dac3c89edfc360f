#pragma once

#include <QFont>
#include <QString>

// The list and dialog font of the program, "ＭＳ Ｐゴシック" at height 13, mapped to a Japanese font that is
// installed here so that no text shows as empty boxes.
class CJapaneseFont {
public:
    // The installed family standing in for the given one (IPAex Gothic first, then any Japanese font).
    static QString family();
    // A font of the given pixel height in that family.
    static QFont font(int pixelHeight = 13);
    // Registers the substitution and makes the font the application's default.
    static void install();
};
