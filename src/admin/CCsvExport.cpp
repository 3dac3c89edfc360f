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

CCsvExport::Words CCsvExport::WordsOf(const QString& columnTitle) {
    return CListColumns::of(CListColumns::kindOfTitle(columnTitle)).csv;
}

std::vector<CCsvExport::Words> CCsvExport::ColumnWords(const CListModel& model) {
    std::vector<Words> words;
    words.reserve(static_cast<size_t>(model.columnCount()));
    for (int c = 0; c < model.columnCount(); ++c) {
        words.push_back(CListColumns::of(model.columnKind(c)).csv);
    }
    return words;
}

QString CCsvExport::ExportCell(const QString& columnTitle, const QString& cell) {
    return ExportCell(WordsOf(columnTitle), cell);
}

QString CCsvExport::ExportCell(Words words, const QString& cell) {
    switch (words) {
    case Words::Flag:
        return cell == QLatin1String("0") ? QString() : QStringLiteral("ﾌﾗｸﾞ");
    case Words::Import:
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
    case Words::None:
        break;
    }
    return OneField(cell);
}

QString CCsvExport::OneField(const QString& text) {
    bool plain = true;
    for (const QChar c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char(',')) {
            plain = false;
            break;
        }
    }
    if (plain) {
        return text;
    }
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
    return MakeExportLine(model, row, ColumnWords(model));
}

QString CCsvExport::MakeExportLine(const CListModel& model, int row, const std::vector<Words>& words) {
    QString line = row == 0 ? headerLine(model) : QString();
    line.reserve(line.size() + 16 * model.columnCount());
    for (int c = 0; c < model.columnCount(); ++c) {
        line += ExportCell(words[static_cast<size_t>(c)], model.cellText(row, c));
        line += QLatin1Char(',');
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
    if (k > 0) {
        line.remove(0, k);
    }
    return line;
}

QString CCsvExport::ExportChunk(const CListModel& model, int row) {
    return ExportChunk(model, row, ColumnWords(model));
}

QString CCsvExport::ExportChunk(const CListModel& model, int row, const std::vector<Words>& words) {
    QString line = MakeExportLine(model, row, words);
    dropLastComma(line);
    line += QLatin1Char('\n');
    return finish(std::move(line));
}

QByteArray CCsvExport::ExportBytes(const CListModel& model) {
    if (model.rowCount() == 0) {
        return CCp932::fromUnicode(finish(headerLine(model)));
    }
    const std::vector<Words> words = ColumnWords(model);
    QByteArray out;
    for (int row = 0; row < model.rowCount(); ++row) {
        out += CCp932::fromUnicode(ExportChunk(model, row, words));
    }
    return out;
}
