#include "operations/CDelKindSetLogic.h"

#include "operations/CMsgDelete.h"
#include "platform/CUserInterface.h"
#include "settings/CKeldaSettings.h"

void CDelKindSetLogic::tick() {
    if (m_doc.loggedIn != 1) {
        m_unitEnabled = false;
    }
}

CDelKindSetLogic::Outcome CDelKindSetLogic::choose(CMsgDelete::Kind kind) {
    if (kind != CMsgDelete::Kind::PcOnly && !m_unitEnabled) {
        return Stay;
    }
    if (m_ui.messageBox(QStringLiteral("消去します。よろしいですか？"), QStringLiteral("消去の確認"), MsgIcon::Question,
                        MsgButtons::YesNo) != MsgResult::Yes) {
        return Stay;
    }
    m_kind = kind;
    return EndOk;
}
