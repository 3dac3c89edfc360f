#pragma once

#include "settings/CKeldaSettings.h"
#include "settings/CSelectCriteria.h"

#include <QString>

// The state the whole program shares for one run: the values of "KELDA.ini" (with the logged-in flag of the
// link's part) and what is never stored. The list, the operations and the administration work on it; the main
// frame's document is one.
class CKeldaSession : public CKeldaSettings {
public:
    // The download folder the folder dialog chose last (its path), for the main window to follow.
    QString downloadFolderText;
    // The box kind the box-folder dialog chose last: 1 answering-machine boxes, 0 extension boxes.
    int boxKind = 1;
    // The selection criteria of the selection display: they preload its dialog for the whole run.
    CSelectCriteria criteria = CSelectCriteria::initial();
};
