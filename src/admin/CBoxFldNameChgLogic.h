#pragma once

#include "admin/CEditListState.h"

#include <QString>
#include <QStringList>

class CKeldaSettings;
class CUserInterface;

// "ボックスフォルダ名称変更": new names for the box folders the user made (MAKE 1). A row is renamed when its
// "選択" cell is ticked; the old names are kept per list in row order.
class CBoxFldNameChgLogic {
public:
    enum class Open { Ready, NoBoxes };
    enum class Ok { StayOpen, Declined, Renamed };

    CBoxFldNameChgLogic(CUserInterface& ui, const CKeldaSettings& doc);

    Open open();
    QString targetFolder() const { return m_folder; }
    CEditListState& list(bool answeringMachine) { return answeringMachine ? m_rusuroku : m_naisen; }
    const CEditListState& list(bool answeringMachine) const { return answeringMachine ? m_rusuroku : m_naisen; }

    Ok ok();
    // Renames that failed ("留守録BOX：old → new"), after Renamed.
    const QStringList& failures() const { return m_failures; }

    static QStringList Titles();

private:
    QString kindDir(bool answeringMachine) const;
    bool validate(bool answeringMachine);

    CUserInterface& m_ui;
    QString m_folder;
    CEditListState m_rusuroku;
    CEditListState m_naisen;
    QStringList m_failures;
};
