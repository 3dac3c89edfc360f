#pragma once

#include "list/CListColumns.h"

#include <QByteArray>
#include <QString>

#include <vector>

class CListModel;

// The lines of the list export: a header line with the column titles, then one line per row with the texts the
// list shows, in the list's column and row order. Fields are joined by "," without quoting; every line ends with a
// single LF; the file is CP932.
class CCsvExport {
public:
    // Which cells of a column are written as words: the column table says, for the column a title names.
    using Words = CListColumns::CsvWords;
    static Words WordsOf(const QString& columnTitle);
    // The words of every column of the list, in column order; an export decides them once.
    static std::vector<Words> ColumnWords(const CListModel& model);

    // A cell as the export writes it: the flag and import columns, found by their titles, are written as words.
    static QString ExportCell(const QString& columnTitle, const QString& cell);
    static QString ExportCell(Words words, const QString& cell);
    // A text made fit to stand as one field of one line, since fields are not quoted: CR and LF become a space
    // and "," the full-width "，". Caller names come from the unit and may hold any of them.
    static QString OneField(const QString& text);
    // The line of row i as the list makes it, each field followed by ","; row 0 has the header line (its last
    // comma dropped) and an LF in front.
    static QString MakeExportLine(const CListModel& model, int row);
    static QString MakeExportLine(const CListModel& model, int row, const std::vector<Words>& words);
    // What the export writes for row i: the line without its last comma, an LF appended, leading white space
    // removed.
    static QString ExportChunk(const CListModel& model, int row);
    static QString ExportChunk(const CListModel& model, int row, const std::vector<Words>& words);
    // The whole file in CP932. A list without rows gives the header line alone.
    static QByteArray ExportBytes(const CListModel& model);

private:
    static QString headerLine(const CListModel& model);
    static QString finish(QString line);
};
