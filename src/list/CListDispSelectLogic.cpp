#include "list/CListDispSelectLogic.h"

#include "platform/CCommonTexts.h"
#include "platform/CUserInterface.h"
#include "settings/CKeldaSettings.h"

CListDispSelectLogic::CListDispSelectLogic(CKeldaSettings& doc, CUserInterface& ui, const QString& iniFile)
    : m_doc(doc), m_ui(ui), m_iniFile(iniFile), m_removed(doc.removedColumns()), m_shown(doc.shownColumns()) {}

int CListDispSelectLogic::add(int removedIndex) {
    if (removedIndex < 0 || removedIndex >= m_removed.size()) {
        return -1;
    }
    m_shown << m_removed.takeAt(removedIndex);
    m_changed = true;
    return static_cast<int>(m_shown.size()) - 1;
}

int CListDispSelectLogic::remove(int shownIndex) {
    if (shownIndex < 0 || shownIndex >= m_shown.size()) {
        return -1;
    }
    m_removed << m_shown.takeAt(shownIndex);
    m_changed = true;
    return static_cast<int>(m_removed.size()) - 1;
}

int CListDispSelectLogic::moveUp(int shownIndex) {
    if (shownIndex <= 0 || shownIndex >= m_shown.size()) {
        return -1;
    }
    m_shown.swapItemsAt(shownIndex, shownIndex - 1);
    m_changed = true;
    return shownIndex - 1;
}

int CListDispSelectLogic::moveDown(int shownIndex) {
    if (shownIndex < 0 || shownIndex + 1 >= m_shown.size()) {
        return -1;
    }
    m_shown.swapItemsAt(shownIndex, shownIndex + 1);
    m_changed = true;
    return shownIndex + 1;
}

bool CListDispSelectLogic::accept() {
    if (m_ui.messageBox(QStringLiteral("設定します。よろしいですか？"), QStringLiteral("設定の確認"), MsgIcon::Question,
                        MsgButtons::YesNo) != MsgResult::Yes) {
        return false;
    }
    if (m_shown.isEmpty()) {
        m_ui.messageBox(QStringLiteral("表示項目が選択されていません。"), CCommonTexts::ErrorCaption(),
                        MsgIcon::Exclamation);
        return false;
    }
    return save();
}

bool CListDispSelectLogic::reset() {
    if (m_ui.messageBox(QStringLiteral("リセットします。よろしいですか？"), QStringLiteral("リセットの確認"),
                        MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes) {
        return false;
    }
    m_shown = CKeldaSettings::resetShownColumns();
    m_removed = CKeldaSettings::resetRemovedColumns();
    return save();
}

bool CListDispSelectLogic::save() {
    m_doc.setColumns(m_shown, m_removed);
    if (!m_doc.saveColumns(m_iniFile)) {
        // The lists already show the new columns; only the file could not keep them for the next start.
        m_ui.messageBox(CCommonTexts::SettingsNotSaved(), CCommonTexts::ErrorCaption(), MsgIcon::Exclamation);
    }
    return true;
}
