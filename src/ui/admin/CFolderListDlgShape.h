#pragma once

#include <QString>

class CFolderListCtrl;
class QDialog;
class QVBoxLayout;

// The shape both folder list dialogs have: their title and font, the folder list on the left and, on the right, a
// column the dialog fills with its buttons.
class CFolderListDlgShape {
public:
    CFolderListDlgShape(QDialog* dialog, const QString& title);

    CFolderListCtrl* list;
    QVBoxLayout* buttons;
};
