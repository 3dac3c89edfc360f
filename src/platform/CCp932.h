#pragma once

#include <QByteArray>
#include <QString>

// The multibyte code page of the unit, its FTP dialogue, "inf.ini", "KELDA.ini" and the CSV files: CP932.
// Conversions never fail: a character CP932 cannot hold becomes "?", a byte sequence that is not CP932 becomes
// "?" for each offending byte, and the rest of the text is converted as usual. What a character becomes, what it
// costs and whether it is held are all decided by one encoder, so a length check and the stored bytes agree.
class CCp932 {
public:
    static QByteArray fromUnicode(const QString& text);
    static QString toUnicode(const QByteArray& bytes);
    // exact (when given): false when some byte was not CP932 and became "?".
    static QString toUnicode(const char* bytes, int length, bool* exact = nullptr);
    // Length of the text's CP932 form in bytes; the length limits of user entries count these.
    static int byteLength(const QString& text);
    // Whether every character of the text has a CP932 form, so that it can be stored as given (a "?" in the
    // stored form stands for a "?" of the text, never for a character CP932 lacks).
    static bool holds(const QString& text);
    // The first character (one or two UTF-16 units) CP932 lacks; empty when the text is held whole.
    static QString firstUnheld(const QString& text);

private:
    // The CP932 form of the text into out; the index of the first character without one, or -1.
    static qsizetype encode(const QString& text, QByteArray& out);
};
