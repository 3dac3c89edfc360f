#include "admin/CBoxNameChgLogic.h"

#include "admin/CAdminTexts.h"
#include "admin/CBoxNameRules.h"
#include "admin/CPrgBoxNameChgDlg.h"
#include "list/CBoxOpenLogic.h"
#include "platform/CUserInterface.h"
#include "settings/CKeldaSettings.h"
#include "store/CFileMng.h"
#include "store/CFolderLock.h"
#include "store/CPrivateProfile.h"

#include <QFileInfo>

CBoxNameChgLogic::CBoxNameChgLogic(CUserInterface& ui, const CKeldaSettings& doc)
    : CBoxListsLogic(ui, doc, Titles(), CBoxNameRules::BOX_NAME_EDIT_LIMIT) {
    // The cells take what the rule takes, counted in CP932 bytes; a name longer than the rule (one that came in by
    // the phone book import) can only be shortened.
    const auto charsOk = [](const QString& name) {
        const CBoxNameRules::BoxNameProblem p = CBoxNameRules::CheckBoxName(name);
        return p == CBoxNameRules::BoxNameProblem::None || p == CBoxNameRules::BoxNameProblem::TooLong;
    };
    const auto why = [](const QString& name) {
        return CBoxNameRules::BoxNameProblemText(name, CBoxNameRules::CheckBoxName(name));
    };
    m_rusuroku.setByteRule(CBoxNameRules::BOX_NAME_MAX_BYTES, charsOk, why);
    m_naisen.setByteRule(CBoxNameRules::BOX_NAME_MAX_BYTES, charsOk, why);
}

QStringList CBoxNameChgLogic::Titles() {
    return {QString(), QStringLiteral("BOX番号"), QStringLiteral("  BOX名称  ")};
}

CBoxNameChgLogic::Open CBoxNameChgLogic::open() {
    for (const bool am : {true, false}) {
        CEditListState& l = list(am);
        l.clear();
        const QStringList boxes = CBoxOpenLogic::boxFolders(kindDir(am));
        for (const QString& box : boxes) {
            // The whole stored name: a row the user leaves alone is written back as it was.
            l.addRow(
                QFileInfo(box).fileName(),
                CPrivateProfile::getString(CFileMng::InfIniPath(box), QStringLiteral("INF"), QStringLiteral("NAME")));
        }
    }
    if (m_rusuroku.rowCount() == 0 && m_naisen.rowCount() == 0) {
        m_ui.messageBox(CAdminTexts::NoBoxFolders(), CAdminTexts::ErrorCaption(), MsgIcon::Exclamation);
        return Open::NoBoxes;
    }
    return Open::Ready;
}

CBoxNameChgLogic::Ok CBoxNameChgLogic::ok() {
    for (const bool am : {true, false}) {
        const CEditListState& l = list(am);
        for (int r = 0; r < l.rowCount(); ++r) {
            // A name the user did not edit is kept as it is, even one longer than the rule allows.
            const QString name = l.text(r, CEditListState::EDIT_COLUMN);
            const CBoxNameRules::BoxNameProblem problem = CBoxNameRules::CheckBoxName(name);
            if (l.edited(r) && problem != CBoxNameRules::BoxNameProblem::None) {
                m_ui.messageBox(
                    CAdminTexts::InputErrorAt(CAdminTexts::KindLabel(am) + QStringLiteral("：") + l.text(r, 1),
                                              CBoxNameRules::BoxNameProblemText(name, problem)),
                    CAdminTexts::ErrorCaption(), MsgIcon::Exclamation);
                return Ok::StayOpen;
            }
        }
    }
    CFolderLock lock;
    if (const std::optional<Ok> refused = beginWriting<Ok>(lock)) {
        return *refused;
    }
    const int total = m_rusuroku.rowCount() + m_naisen.rowCount();
    CPrgBoxNameChgDlg progress(m_ui, total);
    int done = 0;
    for (const bool am : {true, false}) {
        const CEditListState& l = list(am);
        for (int r = 0; r < l.rowCount(); ++r) {
            const QString boxNo = l.text(r, 1);
            if (!CFileMng::SetBoxName(CFileMng::Join(kindDir(am), boxNo), l.text(r, CEditListState::EDIT_COLUMN))) {
                m_failures << CAdminTexts::KindLabel(am) + QStringLiteral("：") + boxNo;
            }
            progress.setStepDone(++done);
        }
    }
    progress.setStepDone(total);
    m_ui.dispatchPendingEvents(-1);
    progress.close();
    return Ok::Registered;
}
