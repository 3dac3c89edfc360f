#include "admin/CInfBackup.h"

#include "platform/CPrivateProfile.h"
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
    QFile::remove(tmp);
    const bool made = QFile::exists(ini)
                          ? QFile::copy(ini, tmp)
                          : CPrivateProfile::writeString(tmp, QStringLiteral("INF"), QStringLiteral("NAME"), QString());
    if (!made) {
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
