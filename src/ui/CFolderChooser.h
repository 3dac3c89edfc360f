#pragma once

#include <QFileDialog>

// The folder chooser of the windows: a folder the user types a new name for is made and chosen, since its
// callers ask the user to create the download folder there.
class CFolderChooser : public QFileDialog {
    Q_OBJECT

public:
    CFolderChooser(QWidget* parent, const QString& title, const QString& startFolder);

    // The title on one line: a window title shows a line break as a box glyph.
    static QString oneLineTitle(const QString& title);

    // Whether a name typed in the folder `dir` names a folder the chooser would make: nothing of that name is
    // there yet.
    static bool isNewFolderName(const QString& dir, const QString& typed);
    // The type column's word for a folder.
    static QString folderTypeName();

    // Runs the chooser; the chosen (possibly just made) folder, empty when cancelled.
    static QString choose(QWidget* parent, const QString& title, const QString& startFolder);

public Q_SLOTS:
    void accept() override;

private:
    // The dialog greys its choose button for a name that is not there; this chooser makes such a folder, so
    // the button stays usable for it.
    void allowNewName();
};
