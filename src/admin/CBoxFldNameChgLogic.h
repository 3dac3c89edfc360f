#pragma once

#include "admin/CBoxListsLogic.h"

#include <QString>
#include <QStringList>

class CKeldaSettings;
class CUserInterface;

// "ボックスフォルダ名称変更": new names for the box folders the user made (MAKE 1). A row is renamed when its
// "選択" cell is ticked; the old names are kept per list in row order.
class CBoxFldNameChgLogic : public CBoxListsLogic {
public:
    enum class Open { Ready, NoBoxes };
    enum class Ok { StayOpen, Declined, Renamed };

    CBoxFldNameChgLogic(CUserInterface& ui, const CKeldaSettings& doc);

    Open open();
    Ok ok();
    // failures(): renames that failed ("留守録BOX：old → new"), after Renamed.

    static QStringList Titles();

private:
    bool validate(bool answeringMachine);
};
