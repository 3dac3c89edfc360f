#pragma once

#include <QStringList>

class CCliArgs;
class CConsoleUi;
class CListModel;

// What "kelda-cli list" does beyond loading: the selection display with the criteria given as options (checked as
// the dialog checks them), the not-downloaded display and a header sort.
class CCliListFilter {
public:
    // The options it takes.
    static QStringList options();
    // Applies the options to a loaded list: 0 the list is ready to be written; 1 nothing matched the criteria;
    // 2 an option or entry was refused (after its message).
    static int apply(const CCliArgs& args, CListModel& model, CConsoleUi& ui);
    // "yes" or "no" as true or false; false in ok for anything else.
    static bool yesNo(const QString& value, bool& ok);
};
