#include "admin/CInfBackup.h"

#include "platform/CRegularFile.h"
#include "store/CFileMng.h"

#include <QFile>

#include <cstdio>

QString CInfBackup::TmpPath(const QString& boxFolder) {
    return CFileMng::Join(boxFolder, QStringLiteral("inf.tmp"));
}

bool CInfBackup::backUp(const QString& boxFolder) {
    if (m_folders.contains(boxFolder)) {
        return true;
    }
    const QString ini = CFileMng::InfIniPath(boxFolder);
    const QString tmp = TmpPath(boxFolder);
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
    return true;
}

QStringList CInfBackup::restore() {
    QStringList failed;
    for (const QString& box : m_folders) {
        // One rename replaces "inf.ini": there is no moment without either version.
        if (std::rename(QFile::encodeName(TmpPath(box)).constData(),
                        QFile::encodeName(CFileMng::InfIniPath(box)).constData()) != 0) {
            failed << box;
        }
    }
    m_folders.clear();
    return failed;
}

void CInfBackup::RemoveBackups(const QString& kindDir) {
    QStringList boxes;
    CFileMng::ListSubfolders(kindDir, boxes);
    for (const QString& box : boxes) {
        const QString tmp = TmpPath(box);
        if (QFile::exists(tmp)) {
            QFile::remove(tmp);
        }
    }
}
