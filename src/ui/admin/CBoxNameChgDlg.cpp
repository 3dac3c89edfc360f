#include "ui/admin/CBoxNameChgDlg.h"

#include "admin/CBoxNameChgLogic.h"

CBoxNameChgDlg::CBoxNameChgDlg(CBoxNameChgLogic& logic, QWidget* parent)
    : CBoxNameListDlg(QStringLiteral("BOX名称編集"), logic.targetFolder(), logic.list(true), logic.list(false), parent),
      m_logic(logic) {}

CBoxNameListDlg::Close CBoxNameChgDlg::ok() {
    switch (m_logic.ok()) {
    case CBoxNameChgLogic::Ok::StayOpen:
        return Close::StayOpen;
    case CBoxNameChgLogic::Ok::Declined:
        return Close::Cancelled;
    case CBoxNameChgLogic::Ok::Registered:
        return Close::Done;
    }
    return Close::StayOpen;
}
