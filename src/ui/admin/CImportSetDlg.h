#pragma once

#include <QDialog>

class CImportSetLogic;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// "インポート設定": the phone book's folder and file, "設定" (whose cancel ends the dialog), the progress of a running
// import.
class CImportSetDlg : public QDialog {
    Q_OBJECT
public:
    CImportSetDlg(CImportSetLogic& logic, QWidget* parent);

    QLineEdit* folderField() const { return m_folder; }
    QLineEdit* fileField() const { return m_file; }
    QPushButton* okButton() const { return m_ok; }
    QProgressBar* progressBar() const { return m_progress; }
    QLabel* textLine() const { return m_text; }

    void pressChoose();
    void pressOk();
    // "キャンセル" and the Esc key: during an import only a request to stop.
    void reject() override;

private:
    void showState();

    CImportSetLogic& m_logic;
    QLabel* m_text;
    QLineEdit* m_folder;
    QLineEdit* m_file;
    QPushButton* m_choose;
    QPushButton* m_ok;
    QProgressBar* m_progress;
};
