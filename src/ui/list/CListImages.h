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
    // The header's arrows: image 0 ascending (pointing up), image 1 descending.
    static const QPixmap& sortArrow(int image);
    // The editor's pictures: played (a speaker with sound waves) or unplayed (a silent speaker); the recording
    // information (a document), voice data (a speaker) and the "+" that joins them.
    enum EditorPicture { Played, Unplayed, InfoPicture, VoicePicture, PlusPicture };
    static const QPixmap& editorPicture(EditorPicture which);
    // The column dialog's picture buttons: back to the removed list, one place up, one place down.
    enum ButtonPicture { RemoveArrow, UpArrow, DownArrow };
    static const QPixmap& buttonPicture(ButtonPicture which);
    static constexpr int CHECK_SIZE = 13;
    static constexpr int ARROW_SIZE = 9;
    static constexpr int ICON_W = 40;
    static constexpr int ICON_H = 14;
};
