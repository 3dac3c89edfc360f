#include "ui/admin/CBoxNameChgDlg.h"

#include "admin/CBoxNameChgLogic.h"

CBoxNameChgDlg::CBoxNameChgDlg(CBoxNameChgLogic& logic, QWidget* parent)
    : CBoxNameListDlg(QStringLiteral("BOX名称編集"), logic.targetFolder(), logic.list(true), logic.list(false), parent),
      m_logic(logic) {}

CBoxNameListDlg::Close CBoxNameChgDlg::ok() {
    return closeAfter(m_logic.ok(), CBoxNameChgLogic::Ok::Registered);
}
