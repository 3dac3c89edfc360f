#include "admin/CFolderTree.h"

#include "link/CFtpListing.h"
#include "link/CListingReader.h"
#include "platform/CCancelFlag.h"
#include "platform/CProgressDlg.h"
#include "store/BoxKind.h"
#include "store/CDurableFile.h"
#include "store/CFileMng.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

void report(CProgressDlg* progress, int position) {
    if (progress) {
        progress->setStepDone(position);
    }
}

} // namespace

QStringList CFolderTree::BoxNames(const QString& listing) {
    return CFtpListing::boxNumbers(listing);
}

bool CFolderTree::DownloadFolder(const QString& folder, const UnitTreeSource& unitTree, CProgressDlg* progress) {
    report(progress, 20);
    QString root, rusuroku, naisen;
    if (!unitTree(root, rusuroku, naisen)) {
        if (progress) {
            progress->close();
        }
        return false;
    }

    const QString* listings[2] = {&rusuroku, &naisen};
    bool cancelled = false;
    // A cancel undoes only what this run made: a pending box folder left by an earlier, interrupted run may hold
    // messages downloaded since.
    QStringList made;
    for (int k = 0; k < 2 && !cancelled; ++k) {
        report(progress, k == 0 ? 40 : 60);
        const QString kindDir = CFileMng::Join(folder, boxKindDir(kBoxKinds[k]));
        QDir().mkpath(kindDir);
        cancelled = CCancelFlag::value() == 1 || !makeBoxFolders(kindDir, *listings[k], made);
    }
    if (!cancelled) {
        report(progress, 100);
    }
    if (progress) {
        progress->close();
    }
    settleBoxFolders(folder, made, cancelled);
    if (cancelled) {
        return false;
    }
    // The box folders made are named in their kind folders, which are named in the download folder: each is on
    // the disk before the run says it is done (each box folder's "inf.ini" has synced the box folder itself).
    bool synced = true;
    for (const BoxKind kind : kBoxKinds) {
        synced = CDurableFile::SyncFolder(QFile::encodeName(CFileMng::Join(folder, boxKindDir(kind)))) && synced;
    }
    return CDurableFile::SyncFolder(QFile::encodeName(folder)) && synced;
}

bool CFolderTree::makeBoxFolders(const QString& kindDir, const QString& listing, QStringList& made) {
    CListingReader reader(listing, [](QChar) { return CCancelFlag::value() != 1; });
    QString name;
    while (reader.next(name)) {
        if (!CFtpListing::isBoxNumber(name)) {
            continue;
        }
        const QString box = CFileMng::Join(kindDir, name);
        if (!QFileInfo(box).isDir() && QDir().mkpath(box)) {
            CFileMng::SetBoxName(box, QString());
            CFileMng::SetMake(box, QStringLiteral("2"));
            made << box;
        }
    }
    return !reader.stopped();
}

void CFolderTree::settleBoxFolders(const QString& folder, const QStringList& made, bool cancelled) {
    for (const BoxKind kind : kBoxKinds) {
        const QString kindDir = CFileMng::Join(folder, boxKindDir(kind));
        QStringList boxes;
        CFileMng::ListSubfolders(kindDir, boxes);
        for (const QString& box : boxes) {
            if (!CFileMng::IsMakePending(box)) {
                continue;
            }
            if (cancelled) {
                if (made.contains(box)) {
                    DeleteFolderTree(box, nullptr);
                }
            } else {
                CFileMng::SetMake(box, QStringLiteral("0"));
            }
        }
        if (cancelled) {
            CFileMng::ListSubfolders(kindDir, boxes);
            if (boxes.isEmpty()) {
                QDir().rmdir(kindDir);
            }
        }
    }
}

int CFolderTree::DeleteFolderTree(const QString& path, CProgressDlg* progress) {
    return deleteTree(path, progress, true);
}

int CFolderTree::deleteTree(const QString& path, CProgressDlg* progress, bool top) {
    // A link that stands where a folder is expected goes, its target stays: never empty a folder outside the tree.
    if (QFileInfo(path).isSymLink()) {
        return QFile::remove(path) ? 1 : 0;
    }
    QDir dir(path);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    if (progress && top) {
        // The count includes "." and "..", as the bar always had two steps to spare.
        progress->setRange(0, static_cast<int>(entries.size()) + 2);
    }
    int handled = 0;
    for (const QFileInfo& e : entries) {
        if (e.isDir() && !e.isSymLink()) {
            deleteTree(e.absoluteFilePath(), progress, false);
        } else {
            QFile f(e.absoluteFilePath());
            if (!e.isSymLink()) {
                // Changing a link's permissions would change its target's.
                f.setPermissions(f.permissions() | QFileDevice::WriteOwner);
            }
            f.remove();
        }
        ++handled;
        if (progress && top) {
            progress->setStepDone(handled);
        }
    }
    return QDir().rmdir(path) ? 1 : 0;
}
