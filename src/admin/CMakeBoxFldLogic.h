#pragma once

#include <QString>

class CKeldaSession;
class CUserInterface;

// "ボックスフォルダ作成": a box folder made by hand in the current folder, marked MAKE 1 and without a name.
class CMakeBoxFldLogic {
public:
    CMakeBoxFldLogic(CUserInterface& ui, CKeldaSession& doc) : m_ui(ui), m_doc(doc) {}

    // The option selected when the dialog opens: the kind chosen last during this run ("留守録BOX" at first).
    bool answeringMachineSelected() const;
    // OK with the chosen kind and the typed name. True: the box folder was made and the dialog closes with OK;
    // false: a message was shown and the dialog stays open.
    bool ok(bool answeringMachine, const QString& name);
    // The folder made by the last successful ok().
    const QString& madeFolder() const { return m_made; }

private:
    CUserInterface& m_ui;
    CKeldaSession& m_doc;
    QString m_made;
};
