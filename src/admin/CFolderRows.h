#pragma once

#include <QList>
#include <QString>

// Rows of the folder lists: the folder's name and, behind a one-character marker, its full path.
class CFolderRows {
public:
    struct Row {
        QString name;
        QString path;   // full path, without marker
        QString marker; // "*" or " ", empty where the list shows none
        QString pathCell() const { return marker + path; }
    };

    // Subdirectories of the download root, in directory order.
    static QList<Row> subfolders(const QString& root);
    // Sorted by name, case-insensitively; marker "*" when the folder holds box folders.
    static QList<Row> forFolderList(const QString& root);
    // Only folders holding box folders, in directory order; marker "*" for box folders without any message.
    static QList<Row> forFolderChange(const QString& root);
};
