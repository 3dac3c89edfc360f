#include "admin/CFolderRows.h"

#include "store/CFileMng.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>

QList<CFolderRows::Row> CFolderRows::subfolders(const QString& root) {
    QList<Row> rows;
    if (root.isEmpty()) {
        return rows;
    }
    QStringList paths;
    CFileMng::ListSubfolders(root, paths);
    for (const QString& p : paths) {
        rows.append({QFileInfo(p).fileName(), p, QString()});
    }
    return rows;
}

QList<CFolderRows::Row> CFolderRows::forFolderList(const QString& root) {
    QList<Row> rows = subfolders(root);
    for (Row& r : rows) {
        const int has = CFileMng::FolderHasMessages(r.path);
        r.marker = (has == 1 || has == 2) ? QStringLiteral("*") : QStringLiteral(" ");
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return a.name.compare(b.name, Qt::CaseInsensitive) < 0; });
    return rows;
}

QList<CFolderRows::Row> CFolderRows::forFolderChange(const QString& root) {
    QList<Row> rows;
    for (Row r : subfolders(root)) {
        const int has = CFileMng::FolderHasMessages(r.path);
        if (has == 1 || has == 2) {
            r.marker = has == 2 ? QStringLiteral("*") : QStringLiteral(" ");
            rows.append(r);
        }
    }
    return rows;
}
