#pragma once

#include "ui/admin/CPathFileDlg.h"

class CExportSetLogic;

// "エクスポート設定": the target folder and file of the list export, "設定", the progress of a running export.
class CExportSetDlg : public CPathFileDlg {
    Q_OBJECT
public:
    CExportSetDlg(CExportSetLogic& logic, QWidget* parent);

    void pressChoose() override;
    void pressOk() override;
    // "キャンセル" and the Esc key: during an export only a request to stop.
    void reject() override;

private:
    CExportSetLogic& m_logic;
};
