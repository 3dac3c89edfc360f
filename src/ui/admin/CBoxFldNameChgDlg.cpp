#include "ui/admin/CBoxFldNameChgDlg.h"

#include "admin/CBoxFldNameChgLogic.h"

CBoxFldNameChgDlg::CBoxFldNameChgDlg(CBoxFldNameChgLogic& logic, QWidget* parent)
    : CBoxNameListDlg(QStringLiteral("ボックスフォルダ名称変更"), logic.targetFolder(), logic.list(true),
                      logic.list(false), parent),
      m_logic(logic) {}

CBoxNameListDlg::Close CBoxFldNameChgDlg::ok() {
    return closeAfter(m_logic.ok(), CBoxFldNameChgLogic::Ok::Renamed);
}
