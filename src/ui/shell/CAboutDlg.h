#pragma once

#include <QDialog>

// "バージョン": the product name, its version and OK.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent);
};
