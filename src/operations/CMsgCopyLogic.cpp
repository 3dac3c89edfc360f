#include "operations/CMsgCopyLogic.h"

#include "list/CBoxOpenLogic.h"
#include "operations/CMsgCopy.h"
#include "operations/COperationTexts.h"
#include "platform/CCommonTexts.h"
#include "platform/CUserInterface.h"
#include "store/BoxKind.h"
#include "store/CFileMng.h"

#include <QFileInfo>

namespace {

QList<CMsgCopyLogic::Row> rowsOf(const QString& kindFolder) {
    QList<CMsgCopyLogic::Row> rows;
    for (const QString& f : CBoxOpenLogic::boxFolders(kindFolder)) {
        rows.append({QFileInfo(f).fileName(), false});
    }
    return rows;
}

} // namespace

DlgOutcome CMsgCopyLogic::open() {
    m_answering = rowsOf(CFileMng::Join(m_folder, boxKindDir(BoxKind::AnsweringMachine)));
    m_extension = rowsOf(CFileMng::Join(m_folder, boxKindDir(BoxKind::Extension)));
    if (m_answering.isEmpty() && m_extension.isEmpty()) {
        m_ui.messageBox(COperationTexts::NoBoxFolders(), COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
        return DlgOutcome::EndCancel;
    }
    return DlgOutcome::Stay;
}

void CMsgCopyLogic::check(bool extensionList, int row) {
    for (Row& r : m_answering) {
        r.checked = false;
    }
    for (Row& r : m_extension) {
        r.checked = false;
    }
    QList<Row>& rows = extensionList ? m_extension : m_answering;
    if (row >= 0 && row < rows.size()) {
        rows[row].checked = true;
    }
}

bool CMsgCopyLogic::checkTarget(const QString& target) {
    const qsizetype slash = target.indexOf(QLatin1Char('/'));
    const QString kind = target.left(slash);
    const QString box = slash < 0 ? QString() : target.mid(slash + 1);
    const std::optional<BoxKind> kindOf = boxKindOfDir(kind);
    if (!kindOf) {
        return false;
    }
    const bool extensionList = kindOf == BoxKind::Extension;
    const QList<Row>& rows = extensionList ? m_extension : m_answering;
    for (int i = 0; i < rows.size(); ++i) {
        if (rows[i].boxNo == box) {
            check(extensionList, i);
            return true;
        }
    }
    return false;
}

DlgOutcome CMsgCopyLogic::choose(CMsgCopy::Kind kind) {
    const bool move = kind == CMsgCopy::Kind::Move;
    const QString chosen = checkedTarget();
    QString question =
        move ? QStringLiteral("移動します。よろしいですか？") : QStringLiteral("コピーします。よろしいですか？");
    if (m_count > 0 && !chosen.isEmpty()) {
        question += QLatin1Char('\n') + COperationTexts::ChosenLine(m_count, COperationTexts::TargetLabel(chosen));
    }
    if (m_ui.messageBox(question, move ? QStringLiteral("移動の確認") : QStringLiteral("コピーの確認"),
                        MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes) {
        return DlgOutcome::Stay;
    }
    const QString target = chosen;
    if (target.isEmpty()) {
        m_ui.messageBox(CCommonTexts::NoBoxSelected(), COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
        return DlgOutcome::Stay;
    }
    m_kind = move ? CMsgCopy::Kind::Move : CMsgCopy::Kind::Copy;
    m_target = target;
    return DlgOutcome::EndOk;
}

QString CMsgCopyLogic::checkedTarget() const {
    QString target;
    for (const Row& r : m_answering) {
        if (r.checked) {
            target = QStringLiteral("rusuroku/") + r.boxNo;
            break;
        }
    }
    for (int i = 0; target.isEmpty() && i < m_extension.size(); ++i) {
        if (m_extension[i].checked) {
            target = QStringLiteral("naisen/") + m_extension[i].boxNo;
        }
    }
    return target;
}
