#include "list/CSelectMatcher.h"

#include "settings/CSelectCriteria.h"
#include "store/FILESTS_INFO.h"

namespace {
template <std::size_t N> QStringView view(const char16_t (&field)[N]) {
    std::size_t n = 0;
    while (n < N && field[n] != 0) {
        ++n;
    }
    return QStringView(field, static_cast<qsizetype>(n));
}

// The field's character at i; past the end of its text, the terminator.
inline char16_t at(QStringView f, qsizetype i) {
    return i < f.size() ? f[i].unicode() : char16_t(0);
}

bool statusMatches(uint8_t criterion, uint8_t value) {
    return criterion == CSelectCriteria::ANY || criterion == value;
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
    if (!statusMatches(c.flag, r.flag) || !statusMatches(c.played, r.played) || !statusMatches(c.protect, r.protect)) {
        return false;
    }
    if (c.import != CSelectCriteria::IMPORT_ANY && !CSelectCriteria::importMatches(c.import, r.importStatus)) {
        return false;
    }
    if (c.dateOn && !dateMatch(view(c.dateFrom), view(c.dateTo), view(r.recDateTime))) {
        return false;
    }
    if (c.boxNoOn && !prefixMatch(view(c.boxNo), view(r.boxNo))) {
        return false;
    }
    if (c.callerNoOn && !prefixMatch(view(c.callerNo), view(r.callerNo))) {
        return false;
    }
    if (c.titleOn && !wildcardMatch(view(c.title), view(r.title))) {
        return false;
    }
    if (c.boxNameOn && !wildcardMatch(view(c.boxName), view(r.boxName))) {
        return false;
    }
    if (c.callerNameOn && !wildcardMatch(view(c.callerName), view(r.callerName))) {
        return false;
    }
    if (c.memoOn && !wildcardMatch(view(c.memo), view(r.memo))) {
        return false;
    }
    return true;
}
