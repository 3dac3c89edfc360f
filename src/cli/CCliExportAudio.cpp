#include "cli/CCliExportAudio.h"

#include "cli/CCliCommands.h"
#include "cli/CConsoleUi.h"
#include "store/CFileMng.h"
#include "voice/CAudioExport.h"

#include <QDir>
#include <QFileInfo>

#include <iterator>

QString CCliExportAudio::help() {
    return QStringLiteral(
        "Usage: kelda-cli export-audio FILE.vmdat... --out DIR [--format opus|wav] [--normalize]\n"
        "\n"
        "Writes the voice of each message file into the folder DIR as a file of its own, as the list window's\n"
        "音声を書き出す... does, and the path of each file written to stdout. A file is named from its record\n"
        "(date and time, box, caller number: 2026-11-17_0304_naisen201_03-9721-2867.opus); where that name\n"
        "is taken, a number is added, and no file is ever overwritten. DIR is made when it does not exist yet;\n"
        "its parent folder must exist.\n"
        "  --format opus  Opus at 16 kbit/s, mono, with the record's texts as tags (the default)\n"
        "  --format wav   8000 Hz, 16-bit, mono, the samples the conversion writes\n"
        "  --normalize    bring every message to -18 LUFS, as the player's 音量を揃える does (at most +20 dB,\n"
        "                 limited by the message's sample peak)\n"
        "Messages with recording information only are left out, with one line saying how many. A voice file\n"
        "cut short is written as far as it goes and named. Exit status 0 when every message with voice data\n"
        "was written whole, 1 when one was cut, could not be read or written, or none had voice data, 2 bad\n"
        "usage. An interrupt removes the file being written; those finished stay.\n");
}

int CCliExportAudio::run() {
    CCliCommands& c = m_commands;
    if (!c.onlyOptions()) {
        return CCliCommands::Usage;
    }
    if (c.m_args.operands.isEmpty()) {
        return c.usage(QStringLiteral("export-audio needs message files FILE.vmdat"));
    }
    const QString out = c.m_args.values.value(QStringLiteral("out"));
    if (out.isEmpty()) {
        return c.usage(QStringLiteral("export-audio needs --out DIR, the folder to write into"));
    }
    CAudioExport::Options options;
    const QString format = c.m_args.values.value(QStringLiteral("format"), QStringLiteral("opus"));
    if (format == QLatin1String("wav")) {
        options.format = CAudioExport::Format::Wav;
    } else if (format != QLatin1String("opus")) {
        return c.usage(QStringLiteral("--format takes opus or wav"));
    }
    options.normalize = c.m_args.given.contains(QStringLiteral("normalize"));
    const QFileInfo dir(out);
    if (!dir.isDir()) {
        if (dir.exists() || !QFileInfo(dir.absolutePath()).isDir() || !QDir().mkdir(dir.absoluteFilePath())) {
            return c.usage(QStringLiteral("--out %1 is not a folder that exists or can be made").arg(out));
        }
    }
    options.folder = QDir::cleanPath(dir.absoluteFilePath());
    int status = CCliCommands::Ok;
    std::vector<FILESTS_INFO> rows;
    for (const QString& file : c.m_args.operands) {
        const QFileInfo info(file);
        FILESTS_INFO rec;
        rec.clear();
        if (!info.isFile() || CFileMng::ReadRecord(file, rec).bytes < FILESTS_INFO::SIZE) {
            c.m_ui.note(QStringLiteral("kelda-cli: %1 is not a message file (no recording record)").arg(file));
            status = CCliCommands::Failed;
            continue;
        }
        const QString path = QDir::cleanPath(info.absoluteFilePath());
        if (path.size() >= static_cast<qsizetype>(std::size(rec.filePath))) {
            c.m_ui.note(QStringLiteral("kelda-cli: the path of %1 is too long to export").arg(file));
            status = CCliCommands::Failed;
            continue;
        }
        FILESTS_INFO::setText(rec.filePath, path);
        rows.push_back(rec);
    }
    if (rows.empty()) {
        return status;
    }
    const CAudioExport::Outcome outcome = CAudioExport::Run(c.m_ui, rows, options);
    QByteArray lines;
    for (const QString& written : outcome.written) {
        lines += QFile::encodeName(written) + '\n';
    }
    if ((!lines.isEmpty() && !c.writeStdout(lines)) || outcome.result != CAudioExport::Result::Completed) {
        status = CCliCommands::Failed;
    }
    return status;
}
