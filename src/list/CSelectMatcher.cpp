#include "list/CSelectMatcher.h"

#include "list/CListColumns.h"

namespace {
// The field's character at i; past the end of its text, the terminator.
inline char16_t at(QStringView f, qsizetype i) {
    return i < f.size() ? f[i].unicode() : char16_t(0);
}
} // namespace

bool CSelectMatcher::prefixMatch(QStringView pattern, QStringView field) {
    if (pattern.isEmpty()) {
        return field.isEmpty();
    }
    return field.startsWith(pattern, Qt::CaseSensitive);
}

bool CSelectMatcher::wildcardMatch(QStringView p, QStringView f) {
    const qsizetype n = p.size();
    if (n == 0) {
        return f.isEmpty();
    }
    if (!p.contains(u'%')) {
        bool result = false;
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = p[i].unicode();
            if (c == u'_') {
                if (i == n - 1) {
                    result = at(f, i) != 0;
                }
            } else if (c == at(f, i)) {
                result = true;
            } else {
                return false;
            }
        }
        return result;
    }
    if (n == 1) {
        return true;
    }
    bool result = false;
    bool inRun = false;
    qsizetype j = 0;
    for (qsizetype k = 0; k < n; ++k) {
        const char16_t c = p[k].unicode();
        if (c == u'%') {
            inRun = true;
            continue;
        }
        if (c == u'_') {
            if (k == n - 1) {
                result = at(f, j) != 0;
            }
            ++j;
            continue;
        }
        for (;;) {
            const char16_t fc = at(f, j);
            if (c == fc) {
                result = true;
                inRun = false;
                ++j;
                break;
            }
            if (!inRun || fc == 0) {
                return false;
            }
            ++j;
        }
    }
    return result;
}

bool CSelectMatcher::dateMatch(QStringView from, QStringView to, QStringView recDateTime) {
    const QStringView d = recDateTime.left(10);
    if (from == to) {
        return d == from;
    }
    return from.compare(d) <= 0 && d.compare(to) <= 0;
}

bool CSelectMatcher::matches(const CSelectCriteria& c, const FILESTS_INFO& r) {
    for (const CListColumns::Column& column : CListColumns::all()) {
        if (!CListColumns::meets(column, c, r)) {
            return false;
        }
    }
    return true;
}
