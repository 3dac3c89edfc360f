#include "admin/CBoxFldNameChgLogic.h"

#include "admin/CAdminTexts.h"
#include "admin/CBoxNameRules.h"
#include "list/CBoxOpenLogic.h"
#include "platform/CUserInterface.h"
#include "settings/CKeldaSettings.h"
#include "store/CDurableFile.h"
#include "store/CFileMng.h"
#include "store/CFolderLock.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

CBoxFldNameChgLogic::CBoxFldNameChgLogic(CUserInterface& ui, const CKeldaSettings& doc)
    : CBoxListsLogic(ui, doc, Titles(), CBoxNameRules::FOLDER_NAME_EDIT_LIMIT) {}

QStringList CBoxFldNameChgLogic::Titles() {
    return {QString(), QStringLiteral("選択"), QStringLiteral("   BOXフォルダ名   ")};
}

CBoxFldNameChgLogic::Open CBoxFldNameChgLogic::open() {
    bool anyBox = false;
    for (const bool am : {true, false}) {
        CEditListState& l = list(am);
        l.clear();
        const QStringList boxes = CBoxOpenLogic::boxFolders(kindDir(am));
        anyBox = anyBox || !boxes.isEmpty();
        for (const QString& box : boxes) {
            // Box folders of a folder download carry the unit's box numbers and are never renamed here.
            if (CFileMng::GetMake(box) != CFileMng::Make::ByUser) {
                continue;
            }
            const QString name = QFileInfo(box).fileName();
            l.addRow(QStringLiteral("0"), name);
            l.oldNames << name;
        }
    }
    if (!anyBox) {
        m_ui.messageBox(CAdminTexts::NoBoxFolders(), CAdminTexts::ErrorCaption(), MsgIcon::Exclamation);
        return Open::NoBoxes;
    }
    return Open::Ready;
}

bool CBoxFldNameChgLogic::validate(bool answeringMachine) {
    const CEditListState& l = list(answeringMachine);
    QSet<QString> seen;
    for (int r = 0; r < l.rowCount(); ++r) {
        if (!l.isTicked(r)) {
            continue;
        }
        const QString name = l.text(r, CEditListState::EDIT_COLUMN);
        QString problem;
        if (!CBoxNameRules::IsValidFolderName(name)) {
            problem = CAdminTexts::InputError();
        } else if (QFileInfo(CFileMng::Join(kindDir(answeringMachine), name)).isDir() || seen.contains(name)) {
            problem = CAdminTexts::DuplicateName();
        }
        if (!problem.isEmpty()) {
            m_ui.messageBox(problem, CAdminTexts::ErrorCaption(), MsgIcon::Exclamation);
            return false;
        }
        seen.insert(name);
    }
    return true;
}

CBoxFldNameChgLogic::Ok CBoxFldNameChgLogic::ok() {
    if (!validate(true) || !validate(false)) {
        return Ok::StayOpen;
    }
    CFolderLock lock;
    if (const std::optional<Ok> refused = beginWriting<Ok>(lock)) {
        return *refused;
    }
    for (const bool am : {true, false}) {
        const CEditListState& l = list(am);
        const QString dir = kindDir(am);
        bool renamed = false;
        for (int r = 0; r < l.rowCount() && r < l.oldNames.size(); ++r) {
            if (!l.isTicked(r)) {
                continue;
            }
            const QString from = l.oldNames[r];
            const QString to = l.text(r, CEditListState::EDIT_COLUMN);
            if (!QDir(dir).rename(from, to)) {
                m_failures << CAdminTexts::KindLabel(am) + QStringLiteral("：%1 → %2").arg(from, to);
            } else {
                renamed = true;
            }
        }
        // The new names are on the disk before the change is reported.
        if (renamed && !CDurableFile::SyncFolder(QFile::encodeName(dir))) {
            m_failures << CAdminTexts::KindLabel(am);
        }
    }
    return Ok::Renamed;
}
