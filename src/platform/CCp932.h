#pragma once

#include <QByteArray>
#include <QString>

// The multibyte code page of the unit, its FTP dialogue, "inf.ini", "KELDA.ini" and the CSV files: CP932.
// Conversions never fail: a character CP932 cannot hold becomes "?", a byte sequence that is not CP932 becomes
// "?" for each offending byte, and the rest of the text is converted as usual.
class CCp932 {
public:
    static QByteArray fromUnicode(const QString& text);
    static QString toUnicode(const QByteArray& bytes);
    static QString toUnicode(const char* bytes, int length);
    // Length of the text's CP932 form in bytes; the length limits of user entries count these.
    static int byteLength(const QString& text);
};
