#pragma once

#include <QStringView>

struct CSelectCriteria;
struct FILESTS_INFO;

// Whether a record meets the selection criteria: every criterion in use must hold.
class CSelectMatcher {
public:
    static bool matches(const CSelectCriteria& criteria, const FILESTS_INFO& rec);

    // Box and caller numbers: the field begins with the pattern (case-sensitive); an empty pattern takes only an
    // empty field.
    static bool prefixMatch(QStringView pattern, QStringView field);
    // Titles, names and memos: "_" stands for one character, "%" for a run of them. A pattern without "%" matches
    // every text that begins like it. After a "%" the first occurrence of the next character is taken and never
    // given up again, so a pattern of two "%" matches nothing. An empty pattern takes only an empty field.
    static bool wildcardMatch(QStringView pattern, QStringView field);
    // The date part (first 10 characters) of a recording date-time within from .. to, compared as text.
    static bool dateMatch(QStringView from, QStringView to, QStringView recDateTime);
};
