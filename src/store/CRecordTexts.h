#pragma once

#include <QString>

// Display texts of the record's status bytes, as the list, its tooltips and the information editor show them.
class CRecordTexts {
public:
    // The list digit of "取込": stored 0 shows "2" and stored 2 shows "0"; anything past 2 shows "3".
    static QString importStatusDigit(int importStatus);
    static QString importStatusTooltip(int importStatus);
    static QString importStatusEditorText(int importStatus);
    static QString flagText(int flag);
    static QString playedText(int played);
    static QString protectText(int protect);
};
