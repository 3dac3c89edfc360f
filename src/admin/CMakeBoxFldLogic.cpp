#include "admin/CMakeBoxFldLogic.h"

#include "admin/CAdminTexts.h"
#include "admin/CBoxNameRules.h"
#include "platform/CUserInterface.h"
#include "settings/CKeldaSession.h"
#include "store/BoxKind.h"
#include "store/CDurableFile.h"
#include "store/CFileMng.h"
#include "store/CFolderLock.h"
#include "store/CPrivateProfile.h"

#include <QDir>
#include <QFileInfo>

bool CMakeBoxFldLogic::answeringMachineSelected() const {
    return m_doc.boxKind != 0;
}

bool CMakeBoxFldLogic::ok(bool answeringMachine, const QString& name) {
    const auto fail = [this](const QString& text) {
        m_ui.messageBox(text, CAdminTexts::ErrorCaption(), MsgIcon::Exclamation);
        return false;
    };
    if (!CBoxNameRules::IsValidFolderName(name)) {
        return fail(CAdminTexts::InputError());
    }
    CFolderLock lock;
    if (!lock.acquireOrTell(m_ui, m_doc.currentFolderPath())) {
        return false;
    }
    m_doc.boxKind = answeringMachine ? 1 : 0;
    const QString kindDir = CFileMng::Join(m_doc.currentFolderPath(), boxKindDir(boxKindOf(!answeringMachine)));
    const QString path = CFileMng::Join(kindDir, name);
    if (QFileInfo(path).isDir()) {
        return fail(CAdminTexts::DuplicateName());
    }
    // Not recursive: without its kind directory the folder is no box folder of a download folder.
    if (!QFileInfo(kindDir).isDir() || !QDir().mkdir(path)) {
        return fail(CAdminTexts::InputError());
    }
    const QString ini = CFileMng::InfIniPath(path);
    // A box folder that cannot carry its MAKE mark could never be renamed here: it is taken back.
    if (!CPrivateProfile::writeString(ini, QStringLiteral("INF"), QStringLiteral("MAKE"), QStringLiteral("1")) ||
        !CPrivateProfile::removeKey(ini, QStringLiteral("INF"), QStringLiteral("NAME"))) {
        QFile::remove(ini);
        QDir().rmdir(path);
        return fail(CAdminTexts::InputError());
    }
    // The new folder's name lasts only once its kind folder is on the disk.
    if (!CDurableFile::SyncFolder(QFile::encodeName(kindDir))) {
        QFile::remove(ini);
        QDir().rmdir(path);
        return fail(CAdminTexts::InputError());
    }
    m_made = path;
    return true;
}
