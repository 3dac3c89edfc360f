#include "admin/CInfBackup.h"

#include "platform/CRegularFile.h"
#include "store/CDurableFile.h"
#include "store/CFileMng.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

QString CInfBackup::TmpPath(const QString& boxFolder) {
    return CFileMng::Join(boxFolder, QStringLiteral("inf.tmp"));
}

namespace {

// Keeps a regular "inf.ini" under the backup's name as a second link to the same file. Every write of "inf.ini"
// puts a new file in its place by a rename and never writes into the old one, so the old content stays whole
// under the backup's name, and no copy has to be written. False when that cannot be done here (no such file, a
// link or anything else under the name, or a file system without hard links); nothing is changed then.
bool linkBackup(const QByteArray& ini, const QByteArray& tmp) {
    struct stat st;
    if (::lstat(ini.constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;
    }
    if (::link(ini.constData(), tmp.constData()) == 0) {
        return true;
    }
    // An "inf.tmp" left from an earlier run is replaced, never written through.
    return errno == EEXIST && ::unlink(tmp.constData()) == 0 && ::link(ini.constData(), tmp.constData()) == 0;
}

} // namespace

bool CInfBackup::backUp(const QString& boxFolder) {
    if (m_known.contains(boxFolder)) {
        return true;
    }
    const QString ini = CFileMng::InfIniPath(boxFolder);
    const QString tmp = TmpPath(boxFolder);
    if (linkBackup(QFile::encodeName(ini), QFile::encodeName(tmp))) {
        m_folders << boxFolder;
        m_known.insert(boxFolder);
        return true;
    }
    // A box without "inf.ini" is backed up as one with an empty name, which reads the same.
    QByteArray bytes = QByteArrayLiteral("[INF]\r\nNAME=\r\n");
    // Only a regular file is read, without waiting: a named pipe (or anything else) under the name cannot be
    // backed up, so the box is not changed.
    if (CFileMng::FileExists(ini) && !CRegularFile::readAll(ini, bytes)) {
        return false;
    }
    // A plain write of a small file: the backup only has to outlive this run, and an "inf.tmp" left from an
    // earlier run is replaced, never written through.
    QFile::remove(tmp);
    QFile dst(tmp);
    if (!dst.open(QIODevice::WriteOnly | QIODevice::NewOnly) || dst.write(bytes) != bytes.size() || !dst.flush()) {
        dst.close();
        QFile::remove(tmp);
        return false;
    }
    m_folders << boxFolder;
    m_known.insert(boxFolder);
    return true;
}

QStringList CInfBackup::restore() {
    QStringList failed;
    for (const QString& box : m_folders) {
        // One rename replaces "inf.ini": there is no moment without either version.
        const QByteArray tmp = QFile::encodeName(TmpPath(box));
        // A backup written by this run is on the disk before it takes the name back; a link to the old file
        // finds its data there already.
        if (!CDurableFile::SyncFile(tmp) ||
            !CDurableFile::Rename(tmp, QFile::encodeName(CFileMng::InfIniPath(box)), CDurableFile::Name::Replace)) {
            failed << box;
            continue;
        }
        // A box whose write failed before it replaced "inf.ini" still has the file the backup links to: the
        // rename of a file onto itself leaves both names, and only the backup's has to go.
        if (::unlink(tmp.constData()) != 0 && errno != ENOENT) {
            failed << box;
        }
    }
    m_folders.clear();
    m_known.clear();
    return failed;
}

void CInfBackup::RemoveBackups(const QString& kindDir) {
    QStringList boxes;
    CFileMng::ListSubfolders(kindDir, boxes);
    for (const QString& box : boxes) {
        // A box without one answers the removal with "no such file": no need to look first.
        ::unlink(QFile::encodeName(TmpPath(box)).constData());
    }
}
