#pragma once

#include <QPixmap>

// The small pictures of the lists, drawn here: check boxes (clear, ticked, greyed) and the four import-status
// icons in a normal and a highlighted set.
class CListImages {
public:
    enum CheckState { Clear, Ticked, GreyedOut };
    static const QPixmap& checkBox(CheckState state);
    // digit "0", "1", "2" or other, as the list shows the import status.
    static const QPixmap& importIcon(QChar digit, bool selected);
    static constexpr int CHECK_SIZE = 13;
    static constexpr int ICON_W = 40;
    static constexpr int ICON_H = 14;
};
