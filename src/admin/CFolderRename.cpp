#include "admin/CFolderRename.h"

#include "admin/CAdminTexts.h"
#include "platform/CCommonTexts.h"
#include "platform/CUserInterface.h"
#include "store/CDurableFile.h"
#include "store/CFileMng.h"

#include <QDir>
#include <QFileInfo>

bool CFolderRename::Rename(CUserInterface& ui, const QString& oldPath, const QString& newName) {
    const auto refuse = [&ui](const QString& text) {
        ui.messageBox(text, CCommonTexts::ErrorCaption(), MsgIcon::Exclamation);
        return false;
    };
    if (newName.isEmpty()) {
        return refuse(CCommonTexts::InputError());
    }
    // A name that would leave the download root is as invalid as a character the file system refuses.
    if (newName.contains('/') || newName == QLatin1String(".") || newName == QLatin1String("..") ||
        newName.size() > MAX_CHARS) {
        return refuse(CCommonTexts::InputError());
    }
    const QString parent = QFileInfo(oldPath).path();
    const QString newPath = CFileMng::Join(parent, newName);
    if (QFileInfo(newPath).isDir()) {
        return refuse(CAdminTexts::DuplicateName());
    }
    if (QFileInfo::exists(newPath) || !QDir().rename(oldPath, newPath)) {
        return refuse(CCommonTexts::InputError());
    }
    // The folder's new name lasts once its parent is on the disk; the rename has happened either way.
    CDurableFile::SyncFolder(QFile::encodeName(parent));
    return true;
}
