#pragma once

#include "link/CLinkController.h"

#include <QDialog>

// The link to the unit was lost: "再接続" or "終了". The result is the link controller's choice.
class CRecomDlg : public QDialog {
    Q_OBJECT

public:
    explicit CRecomDlg(QWidget* parent = nullptr);
    // Shows the dialog modally and tells which button ended it.
    static CLinkController::RecomChoice ask(QWidget* parent);
};
