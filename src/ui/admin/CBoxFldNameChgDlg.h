#pragma once

#include "ui/admin/CBoxNameListDlg.h"

class CBoxFldNameChgLogic;

// "ボックスフォルダ名称変更": the new names of the box folders the user made, in two lists with a "選択" column. The
// logic must have been opened.
class CBoxFldNameChgDlg : public CBoxNameListDlg {
    Q_OBJECT
public:
    CBoxFldNameChgDlg(CBoxFldNameChgLogic& logic, QWidget* parent);

private:
    Close ok() override;

    CBoxFldNameChgLogic& m_logic;
};
