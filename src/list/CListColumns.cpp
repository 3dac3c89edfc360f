#include "list/CListColumns.h"

#include "list/CSelectMatcher.h"
#include "store/CRecordTexts.h"

#include <array>

namespace {
using Column = CListColumns::Column;
using Form = CFindSetLogic::Form;
using Source = CListColumns::Source;
using Criterion = CListColumns::Criterion;
using CsvWords = CListColumns::CsvWords;

#define KELDA_TEXT_FIELD(name) .offset = offsetof(FILESTS_INFO, name), .units = std::size(FILESTS_INFO{}.name)
#define KELDA_TEXT_CRITERION(name)                                                                                     \
    .criterionOn = offsetof(CSelectCriteria, name##On), .criterionText = offsetof(CSelectCriteria, name),              \
    .criterionUnits = std::size(CSelectCriteria{}.name), .formOn = &Form::name##On, .formText = &Form::name

// In the order of Kind; the last row stands for a title no column has.
constexpr Column kColumns[] = {
    {.kind = CListColumns::ColFlag,
     .title = u"ﾌﾗｸﾞ",
     .key = "flag",
     .width = 70,
     .source = Source::Status,
     .offset = offsetof(FILESTS_INFO, flag),
     .statusText = &CRecordTexts::flagText,
     .csv = CsvWords::Flag,
     .criterion = Criterion::Status,
     .criterionOn = offsetof(CSelectCriteria, flag),
     .formOn = &Form::flagOn,
     .formFirst = &Form::flagFirst},
    {.kind = CListColumns::ColPlayed,
     .title = u"再生/未再生",
     .key = "played",
     .width = 150,
     .source = Source::Status,
     .offset = offsetof(FILESTS_INFO, played),
     .statusText = &CRecordTexts::playedText,
     .criterion = Criterion::Status,
     .criterionOn = offsetof(CSelectCriteria, played),
     .formOn = &Form::playedOn,
     .formFirst = &Form::playedFirst},
    {.kind = CListColumns::ColImport,
     .title = u"取込",
     .key = "import",
     .width = 70,
     .source = Source::Status,
     .offset = offsetof(FILESTS_INFO, importStatus),
     .statusText = &CRecordTexts::importStatusDigit,
     .csv = CsvWords::Import,
     .criterion = Criterion::Import,
     .formOn = &Form::importOn},
    {.kind = CListColumns::ColProtect,
     .title = u"保護/非保護",
     .key = "protect",
     .width = 150,
     .source = Source::Status,
     .offset = offsetof(FILESTS_INFO, protect),
     .statusText = &CRecordTexts::protectText,
     .criterion = Criterion::Status,
     .criterionOn = offsetof(CSelectCriteria, protect),
     .formOn = &Form::protectOn,
     .formFirst = &Form::protectFirst},
    {.kind = CListColumns::ColBoxNo,
     .title = u"BOX番号",
     .key = "box-no",
     .width = 70,
     .source = Source::Text,
     KELDA_TEXT_FIELD(boxNo),
     .criterion = Criterion::Prefix,
     KELDA_TEXT_CRITERION(boxNo)},
    {.kind = CListColumns::ColCallerNo,
     .title = u"相手番号",
     .key = "caller-no",
     .source = Source::Text,
     KELDA_TEXT_FIELD(callerNo),
     .criterion = Criterion::Prefix,
     KELDA_TEXT_CRITERION(callerNo)},
    {.kind = CListColumns::ColCallerName,
     .title = u"相手名称",
     .key = "caller-name",
     .source = Source::Text,
     KELDA_TEXT_FIELD(callerName),
     .criterion = Criterion::Wildcard,
     KELDA_TEXT_CRITERION(callerName)},
    {.kind = CListColumns::ColDateTime,
     .title = u"日時",
     .key = "date-time",
     .source = Source::Text,
     KELDA_TEXT_FIELD(recDateTime),
     .criterion = Criterion::Date,
     .criterionOn = offsetof(CSelectCriteria, dateOn),
     .formOn = &Form::dateOn},
    {.kind = CListColumns::ColRecTime,
     .title = u"録音時間",
     .key = "rec-time",
     .source = Source::Text,
     KELDA_TEXT_FIELD(recTime)},
    {.kind = CListColumns::ColFileName,
     .title = u"ファイル名",
     .key = "file-name",
     .source = Source::Path,
     KELDA_TEXT_FIELD(filePath)},
    {.kind = CListColumns::ColBoxName,
     .title = u"BOX名称",
     .key = "box-name",
     .source = Source::Text,
     KELDA_TEXT_FIELD(boxName),
     .criterion = Criterion::Wildcard,
     KELDA_TEXT_CRITERION(boxName)},
    {.kind = CListColumns::ColTitle,
     .title = u"タイトル",
     .key = "title",
     .source = Source::Text,
     KELDA_TEXT_FIELD(title),
     .criterion = Criterion::Wildcard,
     KELDA_TEXT_CRITERION(title)},
    {.kind = CListColumns::ColMemo,
     .title = u"メモ",
     .key = "memo",
     .source = Source::Text,
     KELDA_TEXT_FIELD(memo),
     .criterion = Criterion::Wildcard,
     KELDA_TEXT_CRITERION(memo)},
    // Seconds of speech the voice data holds: measured by the list, never stored in the record.
    {.kind = CListColumns::ColSpeech, .title = u"発話秒", .key = "speech", .width = 70, .source = Source::Measure},
    {.kind = CListColumns::ColUnknown},
};
#undef KELDA_TEXT_FIELD
#undef KELDA_TEXT_CRITERION

static_assert(std::size(kColumns) == CListColumns::ColUnknown + 1);
constexpr bool inKindOrder() {
    for (std::size_t k = 0; k < std::size(kColumns); ++k) {
        if (kColumns[k].kind != static_cast<CListColumns::Kind>(k)) {
            return false;
        }
    }
    return true;
}
static_assert(inKindOrder(), "a column's row is found by its kind");

// The shown texts of every value of every status byte, made once when the program starts: a cell's text is then
// a look-up.
using TextTable = std::array<QString, 256>;
const std::array<TextTable, CListColumns::ColUnknown + 1> kStatusTexts = [] {
    std::array<TextTable, CListColumns::ColUnknown + 1> t;
    for (const Column& c : kColumns) {
        if (c.statusText) {
            for (int v = 0; v < 256; ++v) {
                t[static_cast<std::size_t>(c.kind)][static_cast<std::size_t>(v)] = c.statusText(v);
            }
        }
    }
    return t;
}();

uint8_t byteAt(const void* base, std::size_t offset) {
    return static_cast<const uint8_t*>(base)[offset];
}
} // namespace

std::span<const CListColumns::Column> CListColumns::all() {
    return std::span<const Column>(kColumns, ColUnknown);
}

const CListColumns::Column& CListColumns::of(Kind kind) {
    return kColumns[kind >= ColFlag && kind <= ColUnknown ? kind : ColUnknown];
}

CListColumns::Kind CListColumns::kindOfTitle(QStringView title) {
    for (const Column& c : all()) {
        if (title.contains(QStringView(c.title))) {
            return c.kind;
        }
    }
    return ColUnknown;
}

const QString& CListColumns::statusString(Kind kind, uint8_t value) {
    return kStatusTexts[static_cast<std::size_t>(kind)][value];
}

QStringView CListColumns::statusView(Kind kind, uint8_t value) {
    return statusString(kind, value);
}

QString CListColumns::cellText(const Column& column, const FILESTS_INFO& rec, QStringView rootPrefix) {
    if (column.source == Source::Status) {
        return statusString(column.kind, byteAt(&rec, column.offset));
    }
    return text(column, rec, rootPrefix).toString();
}

bool CListColumns::meets(const Column& column, const CSelectCriteria& c, const FILESTS_INFO& rec) {
    switch (column.criterion) {
    case Criterion::None:
        break;
    case Criterion::Status: {
        const uint8_t wanted = byteAt(&c, column.criterionOn);
        return wanted == CSelectCriteria::ANY || wanted == byteAt(&rec, column.offset);
    }
    case Criterion::Import:
        return c.import == CSelectCriteria::IMPORT_ANY || CSelectCriteria::importMatches(c.import, rec.importStatus);
    case Criterion::Date:
        return c.dateOn == 0 ||
               CSelectMatcher::dateMatch(field(&c, offsetof(CSelectCriteria, dateFrom), std::size(c.dateFrom)),
                                         field(&c, offsetof(CSelectCriteria, dateTo), std::size(c.dateTo)),
                                         field(&rec, column.offset, column.units));
    case Criterion::Prefix:
    case Criterion::Wildcard: {
        int32_t on = 0;
        std::memcpy(&on, reinterpret_cast<const char*>(&c) + column.criterionOn, sizeof(on));
        if (on == 0) {
            return true;
        }
        const QStringView pattern = field(&c, column.criterionText, column.criterionUnits);
        const QStringView text = field(&rec, column.offset, column.units);
        return column.criterion == Criterion::Prefix ? CSelectMatcher::prefixMatch(pattern, text)
                                                     : CSelectMatcher::wildcardMatch(pattern, text);
    }
    }
    return true;
}
