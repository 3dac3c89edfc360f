#pragma once

#include <QString>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "the record is stored as UTF-16LE");

// The 990-byte recording record: in memory and at offset 0 of every local ".vminf" and ".vmdat" file, byte for
// byte. Text fields are UTF-16LE, NUL-terminated and zero-padded to their width.
struct FILESTS_INFO {
    uint8_t flag;   // user flag: 0 not set, 1 set
    uint8_t played; // played on the PC
    uint8_t
        importStatus; // 0 information only; 1, 2 voice data taken (played / not played on the unit); 3 deleted there
    uint8_t protect;  // protected
    char16_t boxNo[5];
    char16_t boxName[11];
    char16_t callerNo[33];
    char16_t callerName[33];
    char16_t recDateTime[20];
    char16_t recTime[9];
    char16_t title[41];
    char16_t memo[81];
    char16_t filePath[260];

    static constexpr int SIZE = 990;
    // Where the voice data starts in a local ".vmdat" file: the record, then the unit's 256-byte header.
    static constexpr int UNIT_HEADER_SIZE = 256;
    static constexpr int VOICE_OFFSET = SIZE + UNIT_HEADER_SIZE;

    FILESTS_INFO() = default;
    // Storage that a read is about to fill whole: a folder of thousands of records is not zeroed first.
    struct Unfilled {};
    explicit FILESTS_INFO(Unfilled) {}

    void clear() { std::memset(this, 0, sizeof(*this)); }

    // Reads a text field up to its first NUL.
    template <std::size_t N> static QString text(const char16_t (&field)[N]) {
        std::size_t n = 0;
        while (n < N && field[n] != 0) {
            ++n;
        }
        return QString::fromUtf16(field, static_cast<qsizetype>(n));
    }

    // Writes a text field, cut to fit with its NUL, the rest zero. Never writes past the field, and never keeps
    // half of a character: a pair of surrogates that does not fit whole is left out whole.
    template <std::size_t N> static void setText(char16_t (&field)[N], const QString& value) {
        std::memset(field, 0, sizeof(field));
        std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(value.size()), N - 1);
        if (n > 0 && n < static_cast<std::size_t>(value.size()) && value[n - 1].isHighSurrogate()) {
            --n;
        }
        std::memcpy(field, value.utf16(), n * sizeof(char16_t));
    }
};

static_assert(sizeof(FILESTS_INFO) == 990);
static_assert(offsetof(FILESTS_INFO, flag) == 0);
static_assert(offsetof(FILESTS_INFO, played) == 1);
static_assert(offsetof(FILESTS_INFO, importStatus) == 2);
static_assert(offsetof(FILESTS_INFO, protect) == 3);
static_assert(offsetof(FILESTS_INFO, boxNo) == 4);
static_assert(offsetof(FILESTS_INFO, boxName) == 14);
static_assert(offsetof(FILESTS_INFO, callerNo) == 36);
static_assert(offsetof(FILESTS_INFO, callerName) == 102);
static_assert(offsetof(FILESTS_INFO, recDateTime) == 168);
static_assert(offsetof(FILESTS_INFO, recTime) == 208);
static_assert(offsetof(FILESTS_INFO, title) == 226);
static_assert(offsetof(FILESTS_INFO, memo) == 308);
static_assert(offsetof(FILESTS_INFO, filePath) == 470);
