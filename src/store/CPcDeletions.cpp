#include "store/CPcDeletions.h"

#include "store/CDurableFile.h"
#include "store/CFileMng.h"

#include <QFile>

#include <algorithm>

const QString CPcDeletions::kFileName = QStringLiteral(".kelda-deleted-on-pc.txt");

namespace {

const QByteArray kHeading = QByteArrayLiteral(
    "# Messages deleted on the PC alone. A download leaves them on the unit until the unit no longer has them.\n");

} // namespace

QSet<QString> CPcDeletions::Read(const QString& downloadFolder, bool* ok) {
    QSet<QString> out;
    QFile file(CFileMng::Join(downloadFolder, kFileName));
    if (ok) {
        *ok = true;
    }
    if (!file.exists()) {
        return out;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (ok) {
            *ok = false;
        }
        return out;
    }
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#'))) {
            out.insert(line);
        }
    }
    return out;
}

bool CPcDeletions::Write(const QString& downloadFolder, const QSet<QString>& stems) {
    const QString path = CFileMng::Join(downloadFolder, kFileName);
    if (stems.isEmpty()) {
        if (!QFile::exists(path)) {
            return true;
        }
        return QFile::remove(path) && CDurableFile::SyncFolder(QFile::encodeName(downloadFolder));
    }
    QStringList sorted(stems.cbegin(), stems.cend());
    std::sort(sorted.begin(), sorted.end());
    QByteArray content = kHeading;
    for (const QString& stem : sorted) {
        content += stem.toUtf8() + '\n';
    }
    return CDurableFile::WriteWhole(path, content);
}

bool CPcDeletions::Add(const QString& downloadFolder, const QStringList& stems) {
    if (stems.isEmpty()) {
        return true;
    }
    bool ok = true;
    QSet<QString> all = Read(downloadFolder, &ok);
    if (!ok) {
        return false;
    }
    const qsizetype before = all.size();
    for (const QString& stem : stems) {
        all.insert(stem);
    }
    return all.size() == before || Write(downloadFolder, all);
}
