#pragma once

#include "admin/CBoxListsLogic.h"

#include <QString>
#include <QStringList>

class CKeldaSettings;
class CUserInterface;

// "BOX名称編集": the box names of the current folder's box folders, answering-machine boxes first, edited in two
// lists and written into every box folder's "inf.ini".
class CBoxNameChgLogic : public CBoxListsLogic {
public:
    enum class Open { Ready, NoBoxes };
    enum class Ok {
        StayOpen,   // a name breaks the rule; the message was shown
        Declined,   // the confirmation was answered no: nothing written
        Registered, // every row written (failures() names the boxes that could not be)
    };

    CBoxNameChgLogic(CUserInterface& ui, const CKeldaSettings& doc);

    // Fills both lists; with no box folder at all shows the message and the dialog closes as cancelled.
    Open open();
    Ok ok();
    // failures(): boxes whose name could not be written ("留守録BOX：0001"), after Registered.

    static QStringList Titles();
};
