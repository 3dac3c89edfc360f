#pragma once

#include "store/FILESTS_INFO.h"

#include <QString>

// The name an exported message takes: recording date and time, box kind and number, caller number, as in
// "2026-11-17_0304_naisen201_03-9721-2867". Only ASCII letters, digits, "-" and "_" go into it, so it is a valid
// name on every file system a folder may lie on (a memory stick's included) and reads the same in every mail.
class CAudioExportName {
public:
    // The stem for a message file and its record; the box kind is read from the box folder the file lies in.
    static QString stem(const FILESTS_INFO& rec, const QString& messageFile);
    // The n-th candidate for a stem: n 1 is the stem itself, then "stem-2", "stem-3" ...
    static QString candidate(const QString& stem, int n, const QString& suffix);

private:
    // Keeps letters, digits and "-"; any other run of characters becomes one "_"; none at either end.
    static QString safePart(const QString& text, int maxLength);
};
