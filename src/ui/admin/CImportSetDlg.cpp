#include "ui/admin/CImportSetDlg.h"

#include "admin/CImportSetLogic.h"

CImportSetDlg::CImportSetDlg(CImportSetLogic& logic, QWidget* parent)
    : CPathFileDlg(QStringLiteral("インポート元"), parent), m_logic(logic) {
    follow(m_logic);
}

void CImportSetDlg::pressChoose() {
    if (m_logic.choose() == CImportSetLogic::Choose::Cancelled) {
        QDialog::reject();
    }
}

void CImportSetDlg::pressOk() {
    if (m_logic.ok() == CImportSetLogic::Ok::Imported) {
        accept();
    }
}

void CImportSetDlg::reject() {
    if (m_logic.cancel()) {
        QDialog::reject();
    }
}
