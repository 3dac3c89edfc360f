#pragma once

#include "ui/admin/CPathFileDlg.h"

class CImportSetLogic;

// "インポート設定": the phone book's folder and file, "設定" (whose cancel ends the dialog), the progress of a running
// import.
class CImportSetDlg : public CPathFileDlg {
    Q_OBJECT
public:
    CImportSetDlg(CImportSetLogic& logic, QWidget* parent);

    void pressChoose() override;
    void pressOk() override;
    // "キャンセル" and the Esc key: during an import only a request to stop.
    void reject() override;

private:
    CImportSetLogic& m_logic;
};
