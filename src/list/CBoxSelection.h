#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The box selection text of a list slot, "留守録BOX：01,02,  内線BOX：100,101": made from the ticked boxes of the
// box-opening dialog, shown as the list window's caption and parsed again to find the box folders to load.
class CBoxSelection {
public:
    struct Box {
        bool naisen; // extension box; otherwise answering-machine box
        QString boxNo;
    };

    static QString build(const QStringList& rusurokuBoxes, const QStringList& naisenBoxes);
    // Groups are read up to the next ":" or "："; a kind containing "内線" names extension boxes. Blank pieces
    // name no box and are left out.
    static std::vector<Box> parse(const QString& text);
    // The box folders below a download folder, in the order of the text.
    static QStringList boxFolders(const QString& downloadFolder, const QString& text);
    static QString kindDirectory(bool naisen);
};
