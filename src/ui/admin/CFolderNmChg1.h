#pragma once

#include "ui/admin/CFolderNmChg.h"

// The name dialog as the folder change dialog opens it; it behaves exactly like the folder list's.
class CFolderNmChg1 : public CFolderNmChg {
    Q_OBJECT
public:
    CFolderNmChg1(CUserInterface& ui, const QString& oldPath, QWidget* parent) : CFolderNmChg(ui, oldPath, parent) {}
};
