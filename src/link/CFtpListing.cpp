#include "link/CFtpListing.h"

namespace {

bool isStemCharacter(QChar c) {
    // Anything that could leave the folder or break a path is refused; the stem's own alphabet is the unit's.
    return c.unicode() > 0x20 && c.unicode() < 0x7f && c != QLatin1Char('/') && c != QLatin1Char('\\') &&
           c != QLatin1Char('.') && c != QLatin1Char(':') && c != QLatin1Char('*') && c != QLatin1Char('?');
}

bool isStem(QStringView stem) {
    if (stem.size() != CFtpListing::kStemLength) {
        return false;
    }
    for (QChar c : stem) {
        if (!isStemCharacter(c)) {
            return false;
        }
    }
    return true;
}

} // namespace

QStringList CFtpListing::normalisedLines(const QString& text) {
    QStringList lines;
    CListingReader reader(text);
    QString line;
    while (reader.next(line)) {
        lines << line;
    }
    return lines;
}

qint64 CFtpListing::longSize(const QString& line) {
    const QString field = line.mid(24, 9);
    int i = 0;
    while (i < field.size() && field[i].isSpace()) {
        ++i;
    }
    qint64 value = 0;
    while (i < field.size() && field[i] >= QLatin1Char('0') && field[i] <= QLatin1Char('9')) {
        value = value * 10 + (field[i].unicode() - '0');
        ++i;
    }
    return value;
}

QString CFtpListing::longName(const QString& line) {
    // The normalised line ends with the stem and the extension without its dot: 31 characters.
    const int bare = kStemLength + 5;
    if (line.size() < bare) {
        return QString();
    }
    const QString ext = line.right(5);
    if (ext != QLatin1String("vmdat") && ext != QLatin1String("vminf")) {
        return QString();
    }
    const QStringView stem = QStringView(line).mid(line.size() - bare, kStemLength);
    // The stem must stand on its own: the character before it (if any) separates it from the other columns.
    if (line.size() > bare && !line[line.size() - bare - 1].isSpace()) {
        return QString();
    }
    if (!isStem(stem)) {
        return QString();
    }
    return stem.toString() + QLatin1Char('.') + ext;
}

bool CFtpListing::isMessageName(const QString& name) {
    if (name.size() != kNameLength) {
        return false;
    }
    const QString ext = name.right(6);
    if (ext != QLatin1String(".vmdat") && ext != QLatin1String(".vminf")) {
        return false;
    }
    return isStem(QStringView(name).left(kStemLength));
}

bool CFtpListing::isBoxNumber(const QString& name) {
    if (name.isEmpty() || name.size() > 4 || name == QLatin1String(".") || name == QLatin1String("..")) {
        return false;
    }
    for (QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c == QLatin1Char(',') ||
            c.isSpace()) {
            return false;
        }
    }
    return true;
}

QStringList CFtpListing::boxNumbers(const QString& text) {
    QStringList out;
    CListingReader reader(text);
    QString line;
    while (reader.next(line)) {
        if (isBoxNumber(line)) {
            out << line;
        }
    }
    return out;
}
