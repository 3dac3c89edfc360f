#pragma once

#include "admin/CEditListState.h"

#include <QString>
#include <QStringList>

class CKeldaSettings;
class CUserInterface;

// "BOX名称編集": the box names of the current folder's box folders, answering-machine boxes first, edited in two
// lists and written into every box folder's "inf.ini".
class CBoxNameChgLogic {
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
    QString targetFolder() const { return m_folder; }
    // answeringMachine: the "留守録BOX" list, else the "内線BOX" list.
    CEditListState& list(bool answeringMachine) { return answeringMachine ? m_rusuroku : m_naisen; }
    const CEditListState& list(bool answeringMachine) const { return answeringMachine ? m_rusuroku : m_naisen; }

    Ok ok();
    // Boxes whose name could not be written ("留守録BOX：0001"), after Registered.
    const QStringList& failures() const { return m_failures; }

    static QStringList Titles();

private:
    QString kindDir(bool answeringMachine) const;

    CUserInterface& m_ui;
    QString m_folder;
    CEditListState m_rusuroku;
    CEditListState m_naisen;
    QStringList m_failures;
};
