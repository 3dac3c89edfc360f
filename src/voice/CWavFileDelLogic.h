#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class CUserInterface;

// What the "ＷＡＶファイル消去" dialog decides: which box folders of the current download folder hold WAV files,
// which of them the user checked, and the deletion behind "消去". The widget layer shows the two check lists
// and forwards the buttons here.
class CWavFileDelLogic {
public:
    enum BoxList { Rusuroku = 0, Naisen = 1 };
    struct Row {
        QString boxNo;
        bool checked = false;
    };

    // The box folders of a kind folder (full paths), in the order the box lists offer them.
    using BoxFolders = std::function<QStringList(const QString& kindFolder)>;

    CWavFileDelLogic(CUserInterface& ui, const QString& downloadFolder, BoxFolders boxFolders);

    // Fills both lists. false after "フォルダにＷＡＶファイルがありません。": the dialog closes at once.
    bool open();

    static QString title() { return QStringLiteral("ＷＡＶファイル消去"); }
    // The label: the current download folder's full path.
    const QString& folderLabel() const { return m_folder; }
    const std::vector<Row>& rows(BoxList list) const { return m_rows[list]; }

    void setAll(BoxList list, bool checked); // "全選択" / "全未選択"
    void toggle(BoxList list, int row);      // click on a row's check cell

    // "消去". true when the dialog closes (a message was shown); false when the user answered "いいえ".
    bool erase();

private:
    static QString kindFolder(BoxList list);
    CUserInterface& m_ui;
    QString m_folder;
    BoxFolders m_boxFolders;
    std::vector<Row> m_rows[2];
};
