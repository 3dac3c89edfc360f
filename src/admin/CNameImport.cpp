#include "admin/CNameImport.h"

#include "admin/CBoxNameRules.h"
#include "admin/CImportLineReader.h"
#include "admin/CInfBackup.h"
#include "platform/CRegularFile.h"
#include "store/BoxKind.h"
#include "store/CFileMng.h"
#include "store/CPrivateProfile.h"

#include <QFileInfo>

CNameImport::CNameImport(const QString& downloadFolder)
    : m_naisen(CFileMng::Join(downloadFolder, boxKindDir(BoxKind::Extension))) {}

CNameImport::Outcome CNameImport::run(const QString& csvFile) {
    // Only a regular file: a named pipe under the chosen name would hold the import until a writer came.
    QByteArray data;
    if (!CRegularFile::readAll(csvFile, data)) {
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
    const auto skip = [&out](int& reason) {
        ++reason;
        ++out.linesSkipped;
    };
    qsizetype pos = CImportLineReader::SkipHeader(data);
    int lines = 0;
    while (pos < data.size()) {
        if (isCancelled()) {
            return takeBack(Result::Cancelled);
        }
        const CImportLineReader::Line line = CImportLineReader::ParseLine(CImportLineReader::NextLine(data, pos));
        // The last name of a line is the one that stays; the earlier ones would only be overwritten.
        const QString name = line.names.isEmpty() ? QString() : line.names.last();
        const QString box = CFileMng::Join(m_naisen, line.boxNo);
        if (line.names.isEmpty()) {
            if (!line.blank) {
                skip(out.skippedNoName);
            }
        } else if (!CBoxNameRules::IsPlainBoxNumber(line.boxNo) || !QFileInfo(box).isDir()) {
            skip(out.skippedNoBox);
        } else if (const auto problem = CBoxNameRules::CheckBoxName(name);
                   !line.namesExact.last() || problem == CBoxNameRules::BoxNameProblem::NotCp932) {
            // Bytes that are not CP932 would be stored as "?".
            skip(out.skippedNotCp932);
        } else if (problem != CBoxNameRules::BoxNameProblem::None) {
            // Longer than the rule: refused like a typed name, never cut. (A "," cannot be part of a field.)
            skip(out.skippedTooLong);
        } else {
            if (!backup.backUp(box) || !CPrivateProfile::writeString(CFileMng::InfIniPath(box), QStringLiteral("INF"),
                                                                     QStringLiteral("NAME"), name)) {
                out.failed << box;
                return takeBack(Result::WriteFailed);
            }
            ++out.namesWritten;
            ++out.linesTaken;
        }
        ++lines;
        if (progress) {
            progress(lines);
        }
    }
    // An interrupt after the last line still takes everything back: only a run that was not stopped is final.
    if (isCancelled()) {
        return takeBack(Result::Cancelled);
    }
    CInfBackup::RemoveBackups(m_naisen);
    out.result = Result::Completed;
    return out;
}
