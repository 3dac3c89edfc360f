#pragma once

#include "admin/CEditListState.h"
#include "admin/CRegisterGate.h"

#include <QString>
#include <QStringList>

#include <optional>

class CFolderLock;
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
    // The confirmation and the folder's lock before anything is written (the failures of an earlier run dropped);
    // nothing when writing may begin, else how ok() ends: Declined when the user said no, StayOpen when the folder
    // stayed busy.
    template <class Ok> std::optional<Ok> beginWriting(CFolderLock& lock) {
        const CRegisterGate::Start start = CRegisterGate::Begin(m_ui, lock, m_folder);
        if (start == CRegisterGate::Start::Go) {
            m_failures.clear();
            return std::nullopt;
        }
        return start == CRegisterGate::Start::Declined ? Ok::Declined : Ok::StayOpen;
    }

    CUserInterface& m_ui;
    QString m_folder;
    CEditListState m_rusuroku;
    CEditListState m_naisen;
    QStringList m_failures;
};
