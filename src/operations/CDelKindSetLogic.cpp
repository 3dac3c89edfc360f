#include "operations/CDelKindSetLogic.h"

#include "operations/CMsgDelete.h"
#include "operations/COperationTexts.h"
#include "platform/CUserInterface.h"
#include "settings/CKeldaSettings.h"

QString CDelKindSetLogic::KindLabel(CMsgDelete::Kind kind) {
    switch (kind) {
    case CMsgDelete::Kind::UnitOnly:
        return QStringLiteral("ＺＵＮＯのみ");
    case CMsgDelete::Kind::UnitAndPc:
        return QStringLiteral("ＺＵＮＯとＰＣ");
    case CMsgDelete::Kind::PcOnly:
        break;
    }
    return QStringLiteral("ＰＣのみ");
}

void CDelKindSetLogic::tick() {
    if (m_doc.loggedIn != 1) {
        m_unitEnabled = false;
    }
}

DlgOutcome CDelKindSetLogic::choose(CMsgDelete::Kind kind) {
    if (kind != CMsgDelete::Kind::PcOnly && !m_unitEnabled) {
        return DlgOutcome::Stay;
    }
    QString question = QStringLiteral("消去します。よろしいですか？");
    if (m_count > 0) {
        question += QLatin1Char('\n') + COperationTexts::ChosenLine(m_count, KindLabel(kind));
    }
    if (m_ui.messageBox(question, QStringLiteral("消去の確認"), MsgIcon::Question, MsgButtons::YesNo) !=
        MsgResult::Yes) {
        return DlgOutcome::Stay;
    }
    m_kind = kind;
    return DlgOutcome::EndOk;
}
