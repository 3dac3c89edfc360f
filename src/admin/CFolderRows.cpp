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
        const CFileMng::FolderMessages has = CFileMng::FolderHasMessages(r.path);
        r.marker = has != CFileMng::FolderMessages::NoBoxFolders ? QStringLiteral("*") : QStringLiteral(" ");
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return a.name.compare(b.name, Qt::CaseInsensitive) < 0; });
    return rows;
}

QList<CFolderRows::Row> CFolderRows::forFolderChange(const QString& root) {
    QList<Row> rows;
    for (Row r : subfolders(root)) {
        const CFileMng::FolderMessages has = CFileMng::FolderHasMessages(r.path);
        if (has != CFileMng::FolderMessages::NoBoxFolders) {
            r.marker = has == CFileMng::FolderMessages::NoMessages ? QStringLiteral("*") : QStringLiteral(" ");
            rows.append(r);
        }
    }
    return rows;
}
