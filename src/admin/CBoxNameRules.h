#pragma once

#include <QString>

// The rules for the names a user gives boxes and box folders. Lengths count bytes of the CP932 form, and a name
// with a character CP932 lacks has no such form: it is refused, never stored with "?" in its place.
class CBoxNameRules {
public:
    static constexpr int BOX_NAME_MAX_BYTES = 10;
    static constexpr int FOLDER_NAME_MAX_BYTES = 14;
    // The edit boxes' limits in characters.
    static constexpr int BOX_NAME_EDIT_LIMIT = 10;
    static constexpr int FOLDER_NAME_EDIT_LIMIT = 14;

    // Why a box name breaks the rule.
    enum class BoxNameProblem {
        None,
        TooLong,  // more than BOX_NAME_MAX_BYTES bytes
        Comma,    // holds ","
        NotCp932, // holds a character CP932 lacks
    };

    // A box name: 0 to 10 bytes (it may be empty), no ",": the name stands as a field of the CSV files.
    static bool IsValidBoxName(const QString& name);
    static BoxNameProblem CheckBoxName(const QString& name);
    // A few words on the problem for a message ("「😀」はCP932にない文字です。"), empty for None.
    static QString BoxNameProblemText(const QString& name, BoxNameProblem problem);
    // A new box folder's name or an existing one's new name: 1 to 14 bytes, none of \ / : * ? " < > |.
    static bool IsValidFolderName(const QString& name);
    // A box number taken from outside (a CSV file, a command line) names a folder directly below its kind
    // directory: not empty, not "." or "..", no "/" (nor NUL).
    static bool IsPlainBoxNumber(const QString& boxNo);
};
