#include "cli/CCliMessageFiles.h"

#include "cli/CCliCommands.h"
#include "store/BoxKind.h"
#include "store/CFileMng.h"

#include <QDir>
#include <QFileInfo>

bool CCliMessageFiles::Read(CCliCommands& c, QString& dir, std::vector<FILESTS_INFO>& rows) {
    dir = c.downloadFolder();
    if (dir.isEmpty()) {
        return false;
    }
    const QStringList files = c.m_args.operands.mid(1);
    if (files.isEmpty()) {
        c.usage(QStringLiteral("%1 needs the message files after DIR").arg(c.m_args.command));
        return false;
    }
    for (const QString& f : files) {
        const QString path = QDir::cleanPath(QFileInfo(f).absoluteFilePath());
        // A message file lies in a box folder: DIR/rusuroku/NNNN/NAME or DIR/naisen/NNNN/NAME.
        const QString rel = path.startsWith(dir + QLatin1Char('/')) ? path.mid(dir.size() + 1) : QString();
        const QStringList parts = rel.split(QLatin1Char('/'));
        if (parts.size() != 3 || !boxKindOfDir(parts[0])) {
            c.usage(QStringLiteral("%1 is not a message file of a box folder of %2").arg(f, dir));
            return false;
        }
        FILESTS_INFO rec;
        rec.clear();
        if (!QFileInfo(path).isFile() || CFileMng::ReadRecord(path, rec).bytes < FILESTS_INFO::SIZE) {
            c.usage(QStringLiteral("%1 holds no recording record").arg(f));
            return false;
        }
        FILESTS_INFO::setText(rec.filePath, path);
        rows.push_back(rec);
    }
    return true;
}
