#include "admin/CFolderChgLogic.h"

#include "settings/CKeldaSettings.h"

void CFolderChgLogic::open() {
    m_rows = CFolderRows::forFolderChange(m_doc.folder);
    m_selected = -1;
}

bool CFolderChgLogic::change() {
    if (m_selected < 0) {
        return false;
    }
    const QString name = m_rows[m_selected].name;
    m_doc.folderName = name;
    if (m_doc.num >= 0 && m_doc.num < CKeldaSettings::SLOTS) {
        m_doc.slotFolderName[static_cast<size_t>(m_doc.num)] = name;
    }
    return true;
}
