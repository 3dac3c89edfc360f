#pragma once

#include "admin/CEditListState.h"

#include <QString>
#include <QStringList>

class CKeldaSettings;
class CUserInterface;

// What the two box list editors share: the current download folder, one editable list per kind of box
// ("留守録BOX" and "内線BOX") and the boxes that could not be written.
class CBoxListsLogic {
public:
    QString targetFolder() const { return m_folder; }
    // answeringMachine: the "留守録BOX" list, else the "内線BOX" list.
    CEditListState& list(bool answeringMachine) { return answeringMachine ? m_rusuroku : m_naisen; }
    const CEditListState& list(bool answeringMachine) const { return answeringMachine ? m_rusuroku : m_naisen; }
    const QStringList& failures() const { return m_failures; }

protected:
    CBoxListsLogic(CUserInterface& ui, const CKeldaSettings& doc, const QStringList& titles, int editLimit);
    ~CBoxListsLogic() = default;

    // The folder holding the box folders of one kind.
    QString kindDir(bool answeringMachine) const;

    CUserInterface& m_ui;
    QString m_folder;
    CEditListState m_rusuroku;
    CEditListState m_naisen;
    QStringList m_failures;
};
