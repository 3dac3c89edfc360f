#include "store/CDownloadLeaveOut.h"

#include "store/BoxKind.h"
#include "store/CFileMng.h"
#include "store/CPcDeletions.h"

#include <QDir>

namespace {

// A message file's name less its extension: both files of a message share it.
QString stemOf(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

bool isMessageFile(const QString& name) {
    return name.endsWith(QLatin1String(".vmdat")) || name.endsWith(QLatin1String(".vminf"));
}

// The box folders of a download folder that hold a file of each message, by the message's stem.
QHash<QString, QStringList> messagesIn(const QString& downloadFolder) {
    QHash<QString, QStringList> out;
    for (const BoxKind kind : kBoxKinds) {
        QStringList boxes;
        CFileMng::ListSubfolders(CFileMng::Join(downloadFolder, boxKindDir(kind)), boxes);
        for (const QString& box : boxes) {
            for (const QString& name : QDir(box).entryList(QDir::Files | QDir::System)) {
                if (isMessageFile(name)) {
                    QStringList& folders = out[stemOf(name)];
                    const QString folder = QDir::cleanPath(box);
                    if (!folders.contains(folder)) {
                        folders << folder;
                    }
                }
            }
        }
    }
    return out;
}

} // namespace

CDownloadLeaveOut CDownloadLeaveOut::Of(const QString& downloadFolder, bool includeDeletedOnPc) {
    CDownloadLeaveOut out;
    out.m_folder = downloadFolder;
    out.m_boxesOf = messagesIn(downloadFolder);
    bool ok = true;
    out.m_deleted = CPcDeletions::Read(downloadFolder, &ok);
    out.m_unreadable = !ok;
    out.m_includeDeleted = includeDeletedOnPc;
    return out;
}

bool CDownloadLeaveOut::leavesOut(const QString& boxFolder, const QString& fileName) {
    const QString stem = stemOf(fileName);
    // A message kept here as well (recording information only, say) is this box's own.
    const auto kept = m_boxesOf.constFind(stem);
    if (kept != m_boxesOf.cend() && !kept->contains(QDir::cleanPath(boxFolder))) {
        m_leftElsewhere.insert(stem);
        return true;
    }
    if (!m_includeDeleted && m_deleted.contains(stem)) {
        m_leftDeleted.insert(stem);
        return true;
    }
    return false;
}

void CDownloadLeaveOut::listed(const QString& fileName) {
    m_listed.insert(stemOf(fileName));
}

bool CDownloadLeaveOut::settle(bool everyUnitBoxListed) const {
    if (m_deleted.isEmpty() || m_unreadable) {
        return true;
    }
    // What is on the PC again, whether brought back on purpose or put back by hand, is no PC deletion any more.
    const QHash<QString, QStringList> here = messagesIn(m_folder);
    QSet<QString> kept;
    for (const QString& stem : m_deleted) {
        const bool back = here.contains(stem);
        const bool goneOnUnit = everyUnitBoxListed && !m_listed.contains(stem);
        if (!back && !goneOnUnit) {
            kept.insert(stem);
        }
    }
    return kept.size() == m_deleted.size() || CPcDeletions::Write(m_folder, kept);
}
