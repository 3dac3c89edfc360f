#include "ui/admin/CBoxFldNameChgDlg.h"

#include "admin/CBoxFldNameChgLogic.h"

CBoxFldNameChgDlg::CBoxFldNameChgDlg(CBoxFldNameChgLogic& logic, QWidget* parent)
    : CBoxNameListDlg(QStringLiteral("ボックスフォルダ名称変更"), logic.targetFolder(), logic.list(true),
                      logic.list(false), parent),
      m_logic(logic) {}

CBoxNameListDlg::Close CBoxFldNameChgDlg::ok() {
    switch (m_logic.ok()) {
    case CBoxFldNameChgLogic::Ok::StayOpen:
        return Close::StayOpen;
    case CBoxFldNameChgLogic::Ok::Declined:
        return Close::Cancelled;
    case CBoxFldNameChgLogic::Ok::Renamed:
        return Close::Done;
    }
    return Close::StayOpen;
}
