#include "admin/CNameImport.h"

#include "admin/CBoxNameRules.h"
#include "admin/CImportLineReader.h"
#include "admin/CInfBackup.h"
#include "platform/CPrivateProfile.h"
#include "store/CFileMng.h"

#include <QFile>
#include <QFileInfo>

CNameImport::CNameImport(const QString& downloadFolder)
    : m_naisen(CFileMng::Join(downloadFolder, QStringLiteral("naisen"))) {}

CNameImport::Outcome CNameImport::run(const QString& csvFile) {
    QFile f(csvFile);
    if (!QFileInfo(csvFile).isFile() || !f.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        return {};
    }
    return runBytes(data);
}

CNameImport::Outcome CNameImport::runBytes(QByteArrayView data) {
    Outcome out;
    CInfBackup backup;
    const auto isCancelled = [this] { return cancelled && cancelled(); };
    const auto takeBack = [&](Result why) {
        out.failed += backup.restore();
        out.result = why;
        return out;
    };
    qsizetype pos = CImportLineReader::SkipHeader(data);
    int lines = 0;
    while (pos < data.size()) {
        if (isCancelled()) {
            return takeBack(Result::Cancelled);
        }
        const CImportLineReader::Line line = CImportLineReader::ParseLine(CImportLineReader::NextLine(data, pos));
        if (!line.names.isEmpty()) {
            const QString box = CFileMng::Join(m_naisen, line.boxNo);
            if (!CBoxNameRules::IsPlainBoxNumber(line.boxNo) || !QFileInfo(box).isDir()) {
                ++out.linesSkipped;
            } else {
                for (const QString& name : line.names) {
                    if (isCancelled()) {
                        return takeBack(Result::Cancelled);
                    }
                    if (!backup.backUp(box) ||
                        !CPrivateProfile::writeString(CFileMng::InfIniPath(box), QStringLiteral("INF"),
                                                      QStringLiteral("NAME"), name)) {
                        out.failed << box;
                        return takeBack(Result::WriteFailed);
                    }
                    ++out.namesWritten;
                }
            }
        }
        ++lines;
        if (progress) {
            progress(lines);
        }
    }
    CInfBackup::RemoveBackups(m_naisen);
    out.result = Result::Completed;
    return out;
}
