#include "admin/CImportLineReader.h"

#include "platform/CCp932.h"

#include <algorithm>

namespace {

// The length of the line that starts at the front of window, its end included: an LF, a CR LF, or a CR alone
// ends it. Without an end in the window, the whole window.
qsizetype lineLength(QByteArrayView window) {
    for (qsizetype i = 0; i < window.size(); ++i) {
        if (window[i] == '\n') {
            return i + 1;
        }
        if (window[i] == '\r') {
            return i + 1 < window.size() && window[i + 1] == '\n' ? i + 2 : i + 1;
        }
    }
    return window.size();
}

} // namespace

qsizetype CImportLineReader::SkipHeader(QByteArrayView data) {
    qsizetype pos = 0;
    for (int k = 0; k < 2; ++k) {
        const QByteArrayView rest = data.sliced(pos);
        const qsizetype length = lineLength(rest);
        const char last = length > 0 ? rest[length - 1] : 0;
        if (last != '\n' && last != '\r') {
            return data.size();
        }
        pos += length;
    }
    return pos;
}

QByteArrayView CImportLineReader::NextLine(QByteArrayView data, qsizetype& pos) {
    if (pos < 0 || pos >= data.size()) {
        pos = data.size();
        return {};
    }
    const qsizetype limit = std::min<qsizetype>(data.size() - pos, LINE_BYTES);
    const QByteArrayView line = data.sliced(pos, lineLength(data.sliced(pos, limit)));
    pos += line.size();
    return line;
}

CImportLineReader::Line CImportLineReader::ParseLine(QByteArrayView line) {
    const qsizetype nul = line.indexOf('\0');
    if (nul >= 0) {
        line = line.first(nul);
    }
    Line out;
    // Fields are split on the bytes: "," is never the second byte of a CP932 character, so this is the split of
    // the decoded text, and each field can tell whether all of its bytes were CP932.
    int t = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\r' || c == '\n') {
            break;
        }
        if (c != ' ' && c != '\t') {
            out.blank = false;
        }
        if (c != ',') {
            continue;
        }
        const QByteArrayView field = line.sliced(start, i - start);
        start = i + 1;
        bool exact = true;
        const QString text = CCp932::toUnicode(field.data(), static_cast<int>(field.size()), &exact).left(FIELD_CHARS);
        if (t == 0) {
            t = 1;
        } else if (t == 1) {
            out.boxNo = text;
            t = 2;
        } else {
            out.names << text;
            out.namesExact << exact;
        }
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
