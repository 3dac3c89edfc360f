#pragma once

#include <QString>

// Private-profile (INI) files in CP932, read and written the way the settings and "inf.ini" files have always
// been: section and key names compared without regard to case, values trimmed, one pair of surrounding double
// quotes dropped on read, defaults for whatever is missing. A write changes one line and keeps the rest of the
// file as it was (line endings included; a new file gets CRLF lines).
class CPrivateProfile {
public:
    static QString getString(const QString& file, const QString& section, const QString& key,
                             const QString& defaultValue = QString());
    // Like the classic integer reader: optional sign, then the leading decimal digits; anything else gives 0;
    // a missing key gives the default.
    static int getInt(const QString& file, const QString& section, const QString& key, int defaultValue);
    // Writes key=value, creating the file, section or key as needed. False when the file cannot be written.
    static bool writeString(const QString& file, const QString& section, const QString& key, const QString& value);
    // Removes the key (and nothing else). True when the file is as asked afterwards.
    static bool removeKey(const QString& file, const QString& section, const QString& key);
    // Parses an integer the way getInt does.
    static int parseInt(const QString& text);
};
