#pragma once

#include "platform/DlgOutcome.h"

#include <QDialog>

#include <memory>

class CFolderDwnLogic;
class CFolderListCtrl;
class CUserInterface;
class QPushButton;
class QTimer;

// "フォルダのダウンロード": the download folders with their buttons; every decision is the logic's.
class CFolderDwnDlg : public QDialog {
    Q_OBJECT
public:
    CFolderDwnDlg(CFolderDwnLogic& logic, const QString& programDirectory, QWidget* parent);
    ~CFolderDwnDlg() override;
    // The user interface the name dialog reports its refusals through; without one, plain message boxes over
    // this dialog.
    void setUserInterface(CUserInterface* ui) { m_ui = ui; }

    CFolderListCtrl* list() const { return m_list; }
    QPushButton* downloadButton() const { return m_download; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* renameButton() const { return m_rename; }

    void pressDownload();
    void pressAdd();
    void pressDelete();
    void pressRename();
    void pressCancel();

protected:
    void reject() override;

private:
    void refill();
    void updateButtons();
    void finish(DlgOutcome outcome);

    CFolderDwnLogic& m_logic;
    QString m_programDirectory;
    CUserInterface* m_ui = nullptr;
    std::unique_ptr<CUserInterface> m_ownUi;
    CFolderListCtrl* m_list;
    QPushButton* m_download;
    QPushButton* m_add;
    QPushButton* m_delete;
    QPushButton* m_rename;
    QPushButton* m_cancel;
    QTimer* m_timer;
    bool m_finishing = false;
    bool m_running = false;
};
