#include "store/CPrivateProfile.h"

#include "platform/CCp932.h"
#include "platform/CRegularFile.h"
#include "store/CDurableFile.h"

#include <QFile>

#include <optional>

namespace {

struct Lines {
    QList<QByteArray> lines;
    QByteArray eol = "\r\n";
    bool endsWithEol = true;
};

Lines readLines(const QString& file, bool* exists) {
    Lines out;
    // Only a regular file is read: a named pipe under the file's name would otherwise hold the program.
    QByteArray all;
    *exists = CRegularFile::readAll(file, all);
    if (!*exists) {
        return out;
    }
    if (all.isEmpty()) {
        return out;
    }
    const qsizetype firstLf = all.indexOf('\n');
    if (firstLf >= 0 && (firstLf == 0 || all[firstLf - 1] != '\r')) {
        out.eol = "\n";
    }
    out.endsWithEol = all.endsWith('\n');
    out.lines = all.split('\n');
    if (out.endsWithEol) {
        out.lines.removeLast();
    }
    for (auto& l : out.lines) {
        if (l.endsWith('\r')) {
            l.chop(1);
        }
    }
    return out;
}

// The section name of a "[name]" line, if it is one.
std::optional<QString> sectionOf(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    if (t.startsWith('[')) {
        const qsizetype close = t.indexOf(']');
        if (close > 0) {
            return CCp932::toUnicode(t.mid(1, close - 1)).trimmed();
        }
    }
    return std::nullopt;
}

// The key of a "key=value" line, if it is one.
std::optional<QString> keyOf(const QByteArray& line, QByteArray* value) {
    const QByteArray t = line.trimmed();
    if (t.isEmpty() || t.startsWith(';')) {
        return std::nullopt;
    }
    const qsizetype eq = line.indexOf('=');
    if (eq < 0) {
        return std::nullopt;
    }
    if (value) {
        *value = line.mid(eq + 1);
    }
    return CCp932::toUnicode(line.left(eq)).trimmed();
}

bool same(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool writeLines(const QString& file, const Lines& l) {
    QByteArray all;
    for (int i = 0; i < l.lines.size(); ++i) {
        all += l.lines[i];
        if (i + 1 < l.lines.size() || l.endsWithEol) {
            all += l.eol;
        }
    }
    // The settings and the box names are the user's own work: whole and on the disk, or the old file.
    return CDurableFile::WriteWhole(file, all);
}

} // namespace

QString CPrivateProfile::getString(const QString& file, const QString& section, const QString& key,
                                   const QString& defaultValue) {
    bool exists = false;
    const Lines l = readLines(file, &exists);
    bool inSection = false;
    for (const auto& line : l.lines) {
        if (auto s = sectionOf(line)) {
            inSection = same(*s, section);
            continue;
        }
        if (!inSection) {
            continue;
        }
        QByteArray raw;
        if (auto k = keyOf(line, &raw); k && same(*k, key)) {
            QString v = CCp932::toUnicode(raw.trimmed());
            if (v.size() >= 2 && v.startsWith('"') && v.endsWith('"')) {
                v = v.mid(1, v.size() - 2);
            }
            return v;
        }
    }
    return defaultValue;
}

int CPrivateProfile::parseInt(const QString& text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) {
        negative = t[i] == '-';
        ++i;
    }
    long long v = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
        v = v * 10 + (t[i].unicode() - '0');
        if (v > 0xFFFFFFFFLL) {
            v = 0xFFFFFFFFLL;
        }
    }
    return static_cast<int>(negative ? -v : v);
}

int CPrivateProfile::getInt(const QString& file, const QString& section, const QString& key, int defaultValue) {
    const QString marker = QStringLiteral("\x01missing");
    const QString v = getString(file, section, key, marker);
    if (v == marker) {
        return defaultValue;
    }
    return parseInt(v);
}

bool CPrivateProfile::writeString(const QString& file, const QString& section, const QString& key,
                                  const QString& value) {
    // A line break would end the value early and let the rest pose as further keys or sections.
    for (const QString* text : {&section, &key, &value}) {
        if (text->contains('\r') || text->contains('\n')) {
            return false;
        }
    }
    bool exists = false;
    Lines l = readLines(file, &exists);
    if (!exists && QFile::exists(file)) {
        // There but unreadable: writing now would replace every other line of it.
        return false;
    }
    const QByteArray newLine = CCp932::fromUnicode(key) + '=' + CCp932::fromUnicode(value);
    int sectionLine = -1;
    int lastInSection = -1;
    bool inSection = false;
    for (int i = 0; i < l.lines.size(); ++i) {
        if (auto s = sectionOf(l.lines[i])) {
            if (inSection) {
                break;
            }
            inSection = same(*s, section);
            if (inSection) {
                sectionLine = i;
                lastInSection = i;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (!l.lines[i].trimmed().isEmpty()) {
            lastInSection = i;
        }
        if (auto k = keyOf(l.lines[i], nullptr); k && same(*k, key)) {
            l.lines[i] = newLine;
            return writeLines(file, l);
        }
    }
    if (sectionLine < 0) {
        l.lines.append('[' + CCp932::fromUnicode(section) + ']');
        l.lines.append(newLine);
        l.endsWithEol = true;
    } else {
        l.lines.insert(lastInSection + 1, newLine);
        if (lastInSection + 1 == l.lines.size() - 1) {
            l.endsWithEol = true;
        }
    }
    return writeLines(file, l);
}

bool CPrivateProfile::removeKey(const QString& file, const QString& section, const QString& key) {
    bool exists = false;
    Lines l = readLines(file, &exists);
    if (!exists) {
        // Only a file that is not there holds no key; one that cannot be read may still hold it.
        return !QFile::exists(file);
    }
    bool inSection = false;
    bool changed = false;
    for (int i = 0; i < l.lines.size();) {
        if (auto s = sectionOf(l.lines[i])) {
            inSection = same(*s, section);
            ++i;
            continue;
        }
        if (inSection) {
            if (auto k = keyOf(l.lines[i], nullptr); k && same(*k, key)) {
                l.lines.removeAt(i);
                changed = true;
                continue;
            }
        }
        ++i;
    }
    return changed ? writeLines(file, l) : true;
}
