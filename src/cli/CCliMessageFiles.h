#pragma once

#include "store/FILESTS_INFO.h"

#include <vector>

class CCliCommands;
class QString;

// The FILE operands after DIR as the selected rows of a list window: each file's record, its path the file's
// clean absolute path, in the order given.
class CCliMessageFiles {
public:
    // dir becomes the download folder DIR. False after a usage message: no usable DIR, no file given, a file
    // outside DIR's box folders, or one without a record.
    static bool Read(CCliCommands& commands, QString& dir, std::vector<FILESTS_INFO>& rows);
};
