#include "admin/CImportLineReader.h"

#include "platform/CCp932.h"

#include <algorithm>

qsizetype CImportLineReader::SkipHeader(QByteArrayView data) {
    qsizetype pos = 0;
    for (int k = 0; k < 2; ++k) {
        const qsizetype lf = data.indexOf('\n', pos);
        if (lf < 0) {
            return data.size();
        }
        pos = lf + 1;
    }
    return pos;
}

QByteArrayView CImportLineReader::NextLine(QByteArrayView data, qsizetype& pos) {
    if (pos < 0 || pos >= data.size()) {
        pos = data.size();
        return {};
    }
    const qsizetype limit = std::min<qsizetype>(data.size() - pos, LINE_BYTES);
    const QByteArrayView window = data.sliced(pos, limit);
    const qsizetype lf = window.indexOf('\n');
    const qsizetype length = lf < 0 ? limit : lf + 1;
    const QByteArrayView line = data.sliced(pos, length);
    pos += length;
    return line;
}

CImportLineReader::Line CImportLineReader::ParseLine(QByteArrayView line) {
    const qsizetype nul = line.indexOf('\0');
    if (nul >= 0) {
        line = line.first(nul);
    }
    const QString text = CCp932::toUnicode(line.data(), static_cast<int>(line.size()));
    Line out;
    QString field;
    int t = 0;
    for (const QChar c : text) {
        if (c != QLatin1Char(',')) {
            if (field.size() < FIELD_CHARS) {
                field += c;
            }
            continue;
        }
        if (t == 0) {
            t = 1;
        } else if (t == 1) {
            out.boxNo = field;
            t = 2;
        } else {
            out.names << field;
        }
        field.clear();
    }
    return out;
}

std::vector<CImportLineReader::Line> CImportLineReader::Parse(QByteArrayView data) {
    std::vector<Line> lines;
    qsizetype pos = SkipHeader(data);
    while (pos < data.size()) {
        lines.push_back(ParseLine(NextLine(data, pos)));
    }
    return lines;
}
