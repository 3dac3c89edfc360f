#pragma once

#include "list/CFindSetLogic.h"
#include "settings/CSelectCriteria.h"
#include "store/FILESTS_INFO.h"

#include <QString>
#include <QStringView>

#include <cstddef>
#include <span>

// The columns a list can show, one row each: how its title is known, its width, the record field it shows, the
// text a cell shows and is sorted by, how the export writes it and how the selection display tests it. The list,
// its sort and filters, the export and the command line all read this one table.
class CListColumns {
public:
    enum Kind {
        ColFlag,
        ColPlayed,
        ColImport,
        ColProtect,
        ColBoxNo,
        ColCallerNo,
        ColCallerName,
        ColDateTime,
        ColRecTime,
        ColFileName,
        ColBoxName,
        ColTitle,
        ColMemo,
        ColSpeech,
        ColUnknown
    };

    // Where a cell's text comes from: a status byte shown as a word or digit, a text field as it is, the file
    // path without the download root, or a measurement of the voice data that the list keeps beside the record.
    enum class Source { None, Status, Text, Path, Measure };
    // Which cells the export writes as words instead of the shown text.
    enum class CsvWords { None, Flag, Import };
    // How the selection display tests the column: a status byte against the chosen value, the import states, the
    // date range, the beginning of the text, or a pattern with "_" and "%".
    enum class Criterion { None, Status, Import, Date, Prefix, Wildcard };

    struct Column {
        Kind kind = ColUnknown;
        // The word a title of the display-column setting holds to name this column.
        const char16_t* title = u"";
        // The column's name on the command line; for a criterion also the option that sets it (the date range
        // has "from" and "to" instead).
        const char* key = "";
        int width = 60;
        Source source = Source::None;
        // Where the field lies in the record, and for a text its width in code units.
        std::size_t offset = 0;
        std::size_t units = 0;
        QString (*statusText)(int) = nullptr;
        CsvWords csv = CsvWords::None;
        Criterion criterion = Criterion::None;
        // Where the criterion lies in the selection criteria: the status byte, or a text's "on" word and its
        // pattern with the pattern's width.
        std::size_t criterionOn = 0;
        std::size_t criterionText = 0;
        std::size_t criterionUnits = 0;
        // The criterion's entries in the selection display dialog.
        bool CFindSetLogic::Form::*formOn = nullptr;
        QString CFindSetLogic::Form::*formText = nullptr;
        bool CFindSetLogic::Form::*formFirst = nullptr;
    };

    // Every column that can be shown, in the order of Kind.
    static std::span<const Column> all();
    // The row of a kind; ColUnknown has a row of its own that shows nothing.
    static const Column& of(Kind kind);
    // The kind a title names: the first column whose word it holds.
    static Kind kindOfTitle(QStringView title);

    // The text a cell shows and is sorted by: a view of the record's own field, or of a text made once for every
    // value of a status byte. rootPrefix is taken off the front of a file path, then the blanks after it.
    static QStringView text(const Column& column, const FILESTS_INFO& rec, QStringView rootPrefix) {
        switch (column.source) {
        case Source::Status:
            return statusView(column.kind, reinterpret_cast<const uint8_t*>(&rec)[column.offset]);
        case Source::Text:
            return field(&rec, column.offset, column.units);
        case Source::Path: {
            QStringView path = field(&rec, column.offset, column.units);
            if (!rootPrefix.isEmpty() && path.startsWith(rootPrefix)) {
                path = path.mid(rootPrefix.size());
            }
            while (!path.isEmpty() && path.front() == u' ') {
                path = path.mid(1);
            }
            return path;
        }
        case Source::None:
        case Source::Measure:
            break;
        }
        return QStringView();
    }
    // The same text as a string; a status text is shared, not made again.
    static QString cellText(const Column& column, const FILESTS_INFO& rec, QStringView rootPrefix);

    // Whether a record meets the column's criterion; true when the criterion is not in use.
    static bool meets(const Column& column, const CSelectCriteria& criteria, const FILESTS_INFO& rec);

    // A text field that lies at offset in base, up to its first NUL or its width.
    static QStringView field(const void* base, std::size_t offset, std::size_t units) {
        const char16_t* f = reinterpret_cast<const char16_t*>(static_cast<const char*>(base) + offset);
        std::size_t n = 0;
        while (n < units && f[n] != 0) {
            ++n;
        }
        return QStringView(f, static_cast<qsizetype>(n));
    }

private:
    static QStringView statusView(Kind kind, uint8_t value);
    static const QString& statusString(Kind kind, uint8_t value);
};
