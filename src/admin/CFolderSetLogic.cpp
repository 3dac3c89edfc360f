#include "admin/CFolderSetLogic.h"

#include "platform/CCommonTexts.h"
#include "platform/CUserInterface.h"
#include "settings/CKeldaSettings.h"
#include "store/CFileMng.h"

void CFolderSetLogic::open() {
    if (m_doc.init != 0) {
        m_specified = true;
        m_field = m_doc.nextFolder + m_doc.nextFolderName;
        m_chooser = true;
    } else {
        m_specified = false;
        m_chooser = false;
    }
}

void CFolderSetLogic::selectPrevious() {
    m_specified = false;
    m_chooser = false;
}

void CFolderSetLogic::selectSpecified() {
    m_specified = true;
    QStringList subs;
    if (!m_doc.folder.isEmpty()) {
        CFileMng::ListSubfolders(m_doc.folder, subs);
    }
    m_chooser = !subs.isEmpty();
}

bool CFolderSetLogic::ok() {
    m_doc.change = 0;
    if (!m_specified) {
        m_doc.init = 0;
        m_doc.nextFolder.clear();
        m_doc.nextFolderName.clear();
        return true;
    }
    if (m_field.isEmpty()) {
        m_ui.messageBox(CCommonTexts::InputError(), CCommonTexts::ErrorCaption(), MsgIcon::Exclamation);
        return false;
    }
    const qsizetype slash = m_field.lastIndexOf('/');
    const QString parent = m_field.left(std::max<qsizetype>(slash, 0));
    const QString name = m_field.mid(slash + 1);
    if (m_doc.init == 0) {
        m_doc.change = 1;
    }
    m_doc.init = 1;
    if (name != m_doc.nextFolderName) {
        m_doc.change = 1;
    }
    m_doc.nextFolder = parent + '/';
    m_doc.nextFolderName = name;
    return true;
}
