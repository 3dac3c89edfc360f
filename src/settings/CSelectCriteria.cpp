#include "settings/CSelectCriteria.h"

#include <cstring>

void CSelectCriteria::reset() {
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
    flag = ANY;
    played = ANY;
    import = IMPORT_ANY;
    protect = ANY;
}

CSelectCriteria CSelectCriteria::initial() {
    CSelectCriteria c;
    c.reset();
    return c;
}

bool CSelectCriteria::anyUsed() const {
    return flag != ANY || played != ANY || import != IMPORT_ANY || protect != ANY || dateOn || titleOn || boxNoOn ||
           boxNameOn || callerNoOn || callerNameOn || memoOn || emptyCalls;
}

namespace {
// Per code: which import states it takes (bit n = importStatus n).
constexpr unsigned kStates[8] = {
    0b1110, // 0: played, unplayed, erased
    0b0110, // 1: played, unplayed
    0b1010, // 2: played, erased
    0b1100, // 3: unplayed, erased
    0b0010, // 4: played
    0b0100, // 5: unplayed
    0b1000, // 6: erased
    0b0001, // 7: information only
};
} // namespace

int CSelectCriteria::importCode(bool played, bool unplayed, bool erased, bool infoOnly) {
    if (infoOnly) {
        return IMPORT_INFO_ONLY;
    }
    const unsigned states = (played ? 0b0010u : 0u) | (unplayed ? 0b0100u : 0u) | (erased ? 0b1000u : 0u);
    for (int code = 0; code < 7; ++code) {
        if (kStates[code] == states) {
            return code;
        }
    }
    return IMPORT_INFO_ONLY;
}

std::array<bool, 4> CSelectCriteria::importTicks(int code) {
    if (code < 0 || code > 7) {
        return {false, false, false, false};
    }
    const unsigned s = kStates[code];
    return {(s & 0b0010u) != 0, (s & 0b0100u) != 0, (s & 0b1000u) != 0, (s & 0b0001u) != 0};
}

bool CSelectCriteria::importMatches(int code, int importStatus) {
    if (code < 0 || code > 7) {
        return true;
    }
    return importStatus >= 0 && importStatus <= 3 && (kStates[code] >> importStatus & 1u) != 0;
}
