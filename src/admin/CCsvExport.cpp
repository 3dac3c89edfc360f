#include "admin/CCsvExport.h"

#include "list/CListModel.h"
#include "platform/CCp932.h"

namespace {

void dropLastComma(QString& line) {
    if (line.endsWith(QLatin1Char(','))) {
        line.chop(1);
    }
}

} // namespace

QString CCsvExport::ExportCell(const QString& columnTitle, const QString& cell) {
    if (columnTitle.contains(QStringLiteral("ﾌﾗｸﾞ"))) {
        return cell == QLatin1String("0") ? QString() : QStringLiteral("ﾌﾗｸﾞ");
    }
    if (columnTitle.contains(QStringLiteral("取込"))) {
        if (cell == QLatin1String("0")) {
            return QStringLiteral("情報+音声(未再生)");
        }
        if (cell == QLatin1String("1")) {
            return QStringLiteral("情報+音声(再生済)");
        }
        if (cell == QLatin1String("2")) {
            return QStringLiteral("情報のみ");
        }
        return QStringLiteral("ZUNOﾃﾞｰﾀ消去済");
    }
    return OneField(cell);
}

QString CCsvExport::OneField(const QString& text) {
    QString out = text;
    out.replace(QLatin1Char('\r'), QLatin1Char(' '));
    out.replace(QLatin1Char('\n'), QLatin1Char(' '));
    out.replace(QLatin1Char(','), QChar(0xFF0C));
    return out;
}

QString CCsvExport::headerLine(const CListModel& model) {
    QString line;
    for (int c = 0; c < model.columnCount(); ++c) {
        line += model.columnTitle(c) + QLatin1Char(',');
    }
    dropLastComma(line);
    return line + QLatin1Char('\n');
}

QString CCsvExport::MakeExportLine(const CListModel& model, int row) {
    QString line = row == 0 ? headerLine(model) : QString();
    for (int c = 0; c < model.columnCount(); ++c) {
        line += ExportCell(model.columnTitle(c), model.cellText(row, c)) + QLatin1Char(',');
    }
    return line;
}

QString CCsvExport::finish(QString line) {
    // Blanks in front of the first field go, but never the line's own LF: a row whose fields are all empty
    // must still take its line, or every later row would move up into its place.
    qsizetype k = 0;
    while (k + 1 < line.size() && line[k].isSpace()) {
        ++k;
    }
    return line.mid(k);
}

QString CCsvExport::ExportChunk(const CListModel& model, int row) {
    QString line = MakeExportLine(model, row);
    dropLastComma(line);
    return finish(line + QLatin1Char('\n'));
}

QByteArray CCsvExport::ExportBytes(const CListModel& model) {
    if (model.rowCount() == 0) {
        return CCp932::fromUnicode(finish(headerLine(model)));
    }
    QByteArray out;
    for (int row = 0; row < model.rowCount(); ++row) {
        out += CCp932::fromUnicode(ExportChunk(model, row));
    }
    return out;
}
