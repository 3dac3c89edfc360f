#pragma once

#include "link/CLinkSettings.h"
#include "settings/CPasswordStore.h"

#include <QString>
#include <QStringList>

#include <array>

// Every value of "KELDA.ini": the login values (the link's part), the download folders, the list slots, the
// column setting, the conversion, player, export and import values. Fields are plain so that every subsystem can
// read and change them; text fields keep the widths of the fixed buffers they have always had (characters
// including the terminator), and values read from the file are cut to fit.
class CKeldaSettings : public CLinkSettings {
public:
    static constexpr int SLOTS = 4;
    static constexpr int COLUMNS = 14;

    // Widths including the terminator; a stored value holds at most width - 1 characters.
    static constexpr int W_IP = 16;
    static constexpr int W_USER = 17;
    static constexpr int W_PASS = 17;
    static constexpr int W_PATH = 260;
    static constexpr int W_DISP = 4096;
    static constexpr int W_COLUMN = 7;

    CKeldaSettings();

    // [LOGIN] values live in the link's part of the block: remembered.address, .user, .password, rememberFlag.
    // The desktop's keyring, when one is handed in: the password is read from it when the file keeps none, and a
    // save puts it there (a PASS still in the file moves over) and leaves PASS empty; where it does not answer,
    // the password stays in the file.
    CPasswordStore* passwordStore = nullptr;
    // FOLDER
    QString folder; // download root, the parent of all download folders
    int init = 0;
    QString nextFolder;
    QString nextFolderName;
    int change = 0;
    // DISP
    QString folderName; // current folder name
    int num = 0;        // open list windows
    std::array<QString, SLOTS> slotFolderName;
    std::array<QString, SLOTS> slotDisp; // box selection texts
    std::array<QString, COLUMNS> colum;
    std::array<QString, COLUMNS> delColum;
    // CONVERT
    int downConv = 0;
    int convDel = 0;
    // PLAYER: the player bar under each list
    int playerBar = 0;
    // The key is written once the bar was shown, so the files of those who never use it stay as they were.
    bool playerBarStored = false;
    // EXPORT / IMPORT
    QString exportPath;
    QString exportName;
    QString importPath;
    QString importName;

    // Reads every key but the window sections; a missing file gives the defaults. When the file names no shown
    // column, the columns take their reset values: a list without columns shows nothing.
    void load(const QString& iniFile);
    // Writes every key but the column and window keys, applying the start-up folder rules. False when the file
    // could not be written.
    bool save(const QString& iniFile);
    // Writes the 26 column keys: all empty first, then the shown and removed titles from position 1 on.
    bool saveColumns(const QString& iniFile) const;

    void resetColumns();
    static QStringList resetShownColumns();
    static QStringList resetRemovedColumns();
    // Titles up to the first empty entry.
    QStringList shownColumns() const;
    QStringList removedColumns() const;
    void setColumns(const QStringList& shown, const QStringList& removed);

    // Download root with its trailing "/" (none added to an empty root).
    QString rootWithSlash() const;
    // Download root + current folder name.
    QString currentFolderPath() const;
    // Download root + the folder name of slot n (1-4).
    QString slotFolderPath(int n) const;

    void clearSlot(int n);

    // What PASS gets: empty once the keyring holds the password, the password where none takes it.
    QString passwordForFile();
    // A text cut to a buffer width (width - 1 characters).
    static QString fit(const QString& value, int width);
};
