#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>

// The selection criteria of the selection display: which record fields are tested and against what. One copy in
// the settings block preloads the dialog for the whole run (never saved); each list view keeps the copy it was
// last filtered with. Fixed-width fields as the record has them: NUL-terminated text, zero-padded.
struct CSelectCriteria {
    static constexpr int ANY = 2;        // flag, played and protect: not tested
    static constexpr int IMPORT_ANY = 8; // import: not tested
    static constexpr int IMPORT_INFO_ONLY = 7;

    uint8_t flag;   // 2 any, 1 set ("あり"), 0 not set ("なし")
    uint8_t played; // 2 any, 1 played on the PC ("再生済"), 0 not ("未再生")
    uint8_t import; // 8 any; 0-7 a set of import states (see importMatches)
    uint8_t protect;
    char16_t dateFrom[11]; // YYYY/MM/DD
    char16_t dateTo[11];
    int32_t dateOn;
    int32_t titleOn;
    int32_t boxNoOn;
    int32_t boxNameOn;
    int32_t callerNoOn;
    int32_t callerNameOn;
    int32_t memoOn;
    char16_t title[41];
    char16_t boxNo[11];
    char16_t boxName[11];
    char16_t callerNo[33];
    char16_t callerName[33];
    char16_t memo[81];
    // 1: only the empty calls (messages whose voice data holds less than half a second of speech); a message
    // not measured yet, or without voice data, is none.
    uint8_t emptyCalls;

    // Entry limits of the dialog, in characters, and the byte limits its checks apply to the CP932 form.
    static constexpr int TITLE_MAX = 40;
    static constexpr int BOXNO_MAX = 4;
    static constexpr int BOXNAME_MAX = 10;
    static constexpr int CALLERNO_MAX = 32;
    static constexpr int CALLERNAME_MAX = 32;
    static constexpr int MEMO_MAX = 40;

    // The values at start-up: nothing used.
    void reset();
    static CSelectCriteria initial();
    // Whether some criterion is used.
    bool anyUsed() const;

    // The four import check boxes ("再生済", "未再生", "消去済", "録音情報のみ") as the code that stands for them;
    // nothing ticked counts as "録音情報のみ".
    static int importCode(bool played, bool unplayed, bool erased, bool infoOnly);
    // The check boxes a code ticks: played, unplayed, erased, infoOnly. Code 8 ticks none.
    static std::array<bool, 4> importTicks(int code);
    // Whether an import state (the record's importStatus) satisfies a code.
    static bool importMatches(int code, int importStatus);
};

static_assert(sizeof(CSelectCriteria) == 500);
static_assert(offsetof(CSelectCriteria, dateOn) == 48);
static_assert(offsetof(CSelectCriteria, title) == 76);
