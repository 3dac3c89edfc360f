#pragma once

#include "ui/admin/CBoxNameListDlg.h"

class CBoxNameChgLogic;

// "BOX名称編集": the box names of the current folder in two editable lists. The logic must have been opened.
class CBoxNameChgDlg : public CBoxNameListDlg {
    Q_OBJECT
public:
    CBoxNameChgDlg(CBoxNameChgLogic& logic, QWidget* parent);

private:
    Close ok() override;

    CBoxNameChgLogic& m_logic;
};
