#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class CKeldaSettings;
class CUserInterface;

// The decisions of the box-opening dialog: which boxes the download folder offers, which are already shown by
// an open list of the same folder (greyed, not tickable), and whether "開く" fills the next list slot.
class CBoxOpenLogic {
public:
    // Check states as the dialog's check column holds them.
    enum Check { Unchecked = 0, Checked = 1, Greyed = 2 };
    struct Row {
        QString boxNo;
        int check = Unchecked;
    };

    CBoxOpenLogic(CKeldaSettings& doc, CUserInterface& ui);

    // The box folders of one kind folder (full paths), in the order every box list offers them: by box number.
    static QStringList boxFolders(const QString& kindFolder);

    // Download folder shown in the dialog: root + current folder name.
    const QString& downloadFolder() const { return m_folder; }
    std::vector<Row>& rusuroku() { return m_rusuroku; }
    std::vector<Row>& naisen() { return m_naisen; }

    // False (after the message) when the folder offers no box at all: the dialog closes at once.
    bool checkHasBoxes();
    // Clicking a check cell: toggles 0/1; greyed rows stay as they are.
    static void toggle(std::vector<Row>& rows, int index);
    static void setAll(std::vector<Row>& rows, bool checked);
    // "開く": fills slot (open-list count + 1) and returns its number; 0 after the limit or empty-choice message.
    int accept();

private:
    CKeldaSettings& m_doc;
    CUserInterface& m_ui;
    QString m_folder;
    std::vector<Row> m_rusuroku;
    std::vector<Row> m_naisen;
};
