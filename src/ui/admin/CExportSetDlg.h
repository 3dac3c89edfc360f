#pragma once

#include <QDialog>

class CExportSetLogic;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// "エクスポート設定": the target folder and file of the list export, "設定", the progress of a running export.
class CExportSetDlg : public QDialog {
    Q_OBJECT
public:
    CExportSetDlg(CExportSetLogic& logic, QWidget* parent);

    QLineEdit* folderField() const { return m_folder; }
    QLineEdit* fileField() const { return m_file; }
    QPushButton* okButton() const { return m_ok; }
    QProgressBar* progressBar() const { return m_progress; }
    QLabel* textLine() const { return m_text; }

    void pressChoose();
    void pressOk();
    // "キャンセル" and the Esc key: during an export only a request to stop.
    void reject() override;

private:
    void showState();

    CExportSetLogic& m_logic;
    QLabel* m_text;
    QLineEdit* m_folder;
    QLineEdit* m_file;
    QPushButton* m_choose;
    QPushButton* m_ok;
    QProgressBar* m_progress;
};
