#include "ui/admin/CExportSetDlg.h"

#include "admin/CExportSetLogic.h"

CExportSetDlg::CExportSetDlg(CExportSetLogic& logic, QWidget* parent)
    : CPathFileDlg(QStringLiteral("エクスポート先"), parent), m_logic(logic) {
    follow(m_logic);
}

void CExportSetDlg::pressChoose() {
    m_logic.choose();
}

void CExportSetDlg::pressOk() {
    if (m_logic.ok() == CExportSetLogic::Ok::Exported) {
        accept();
    }
}

void CExportSetDlg::reject() {
    if (m_logic.cancel()) {
        QDialog::reject();
    }
}
