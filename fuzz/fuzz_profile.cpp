// The private-profile reader and writer over any file: reading never fails, and a key written is read back as
// written while a key of another section keeps its value.
#include "store/CPrivateProfile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

QString scratchFile() {
    static const QString path =
        QDir::temp().filePath(QStringLiteral("kelda-fuzz-profile-%1.ini").arg(static_cast<qint64>(::getpid())));
    return path;
}

// A value as a settings dialog stores it: one line of characters the code page holds (printable ASCII here), no
// blanks or double quotes at its ends.
QString storableValue(const QByteArray& bytes) {
    QString value;
    for (const char c : bytes) {
        if (c >= 0x20 && c < 0x7f) {
            value += QLatin1Char(c);
        }
    }
    for (;;) {
        const QString before = value;
        value = value.trimmed();
        if (value.startsWith(QLatin1Char('"'))) {
            value.remove(0, 1);
        }
        if (value.endsWith(QLatin1Char('"'))) {
            value.chop(1);
        }
        if (value == before) {
            return value;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // The input's last line (after the last LF) is the value to write; the rest is the file.
    const qsizetype cut = input.lastIndexOf('\n');
    const QByteArray file = cut < 0 ? input : input.left(cut + 1);
    const QString value = storableValue(cut < 0 ? QByteArray() : input.mid(cut + 1));

    const QString path = scratchFile();
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return 0;
        }
        f.write(file);
    }
    const QString other =
        CPrivateProfile::getString(path, QStringLiteral("OTHER"), QStringLiteral("KEEP"), QStringLiteral("<none>"));
    CPrivateProfile::getInt(path, QStringLiteral("FOLDER"), QStringLiteral("NUM"), 7);
    if (!CPrivateProfile::writeString(path, QStringLiteral("LOGIN"), QStringLiteral("PASS"), value)) {
        return 0;
    }
    if (CPrivateProfile::getString(path, QStringLiteral("LOGIN"), QStringLiteral("PASS")) != value ||
        CPrivateProfile::getString(path, QStringLiteral("OTHER"), QStringLiteral("KEEP"), QStringLiteral("<none>")) !=
            other) {
        std::abort();
    }
    QFile::remove(path);
    return 0;
}
