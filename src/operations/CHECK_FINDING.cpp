#include "operations/CHECK_FINDING.h"

#include <iterator>

QString CHECK_FINDING::kindName(Kind kind) {
    static const char* const names[] = {"record",       "cut",       "header",    "pair",   "wav-incomplete",
                                        "wav-mismatch", "inf-ini",   "box-name",  "stray",  "leftover",
                                        "unreadable",   "not-on-pc", "info-only", "shorter"};
    static_assert(std::size(names) == size_t(Kind::KindCount));
    return QString::fromLatin1(names[int(kind)]);
}

QString CHECK_FINDING::kindLabel(Kind kind) {
    static const char16_t* const labels[] = {
        u"録音情報", u"ファイル欠け",   u"ヘッダ不一致", u"組の不一致", u"WAV不完全", u"WAV不一致",    u"inf.ini",
        u"BOX名",    u"不明なファイル", u"一時ファイル", u"読めない",   u"PCにない",  u"録音情報のみ", u"ZUNOより短い"};
    static_assert(std::size(labels) == size_t(Kind::KindCount));
    return QString::fromUtf16(labels[int(kind)]);
}
