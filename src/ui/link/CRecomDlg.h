#pragma once

#include <QDialog>

// The link to the unit was lost: "再接続" or "終了". The result is the link controller's choice.
class CRecomDlg : public QDialog {
    Q_OBJECT

public:
    explicit CRecomDlg(QWidget* parent = nullptr);
    // Shows the dialog modally; CLinkController::RECOM_RECONNECT or RECOM_EXIT.
    static int ask(QWidget* parent);
};
