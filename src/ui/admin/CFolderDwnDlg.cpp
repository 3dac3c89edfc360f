#include "ui/admin/CFolderDwnDlg.h"

#include "admin/CFolderDwnLogic.h"
#include "ui/CWidgetUi.h"
#include "ui/admin/CFolderListCtrl.h"
#include "ui/admin/CFolderListDlgShape.h"
#include "ui/admin/CFolderNmChg.h"

#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

CFolderDwnDlg::CFolderDwnDlg(CFolderDwnLogic& logic, const QString& programDirectory, QWidget* parent)
    : QDialog(parent), m_logic(logic), m_programDirectory(programDirectory) {
    const CFolderListDlgShape shape(this, QStringLiteral("フォルダのダウンロード"));
    m_list = shape.list;
    QVBoxLayout* buttons = shape.buttons;
    m_download = new QPushButton(QStringLiteral("ダウンロード"), this);
    m_add = new QPushButton(QStringLiteral("フォルダ追加"), this);
    m_delete = new QPushButton(QStringLiteral("フォルダ削除"), this);
    m_rename = new QPushButton(QStringLiteral("名称変更"), this);
    m_cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    for (QPushButton* b : {m_download, m_add, m_delete, m_rename}) {
        buttons->addWidget(b);
    }
    buttons->addStretch();
    m_download->setDefault(true);
    buttons->addWidget(m_cancel);

    connect(m_download, &QPushButton::clicked, this, &CFolderDwnDlg::pressDownload);
    connect(m_add, &QPushButton::clicked, this, &CFolderDwnDlg::pressAdd);
    connect(m_delete, &QPushButton::clicked, this, &CFolderDwnDlg::pressDelete);
    connect(m_rename, &QPushButton::clicked, this, &CFolderDwnDlg::pressRename);
    connect(m_cancel, &QPushButton::clicked, this, &CFolderDwnDlg::pressCancel);
    connect(m_list, &QTableWidget::itemSelectionChanged, this, [this] {
        m_logic.select(m_list->selectedRow());
        updateButtons();
    });

    m_logic.open();
    refill();

    m_timer = new QTimer(this);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_logic.tick();
        updateButtons();
    });
    m_timer->start();
}

CFolderDwnDlg::~CFolderDwnDlg() = default;

void CFolderDwnDlg::refill() {
    {
        const QSignalBlocker block(m_list);
        m_list->fill(m_logic.rows());
    }
    // The new list has no selection; the logic has already dropped its own with the refill.
    updateButtons();
}

void CFolderDwnDlg::updateButtons() {
    // While a folder download runs, nothing here may start a second one on the same connection, delete the folder
    // being filled or end the dialog (the buttons are off, and the window's close box is refused in reject());
    // the progress window's "キャンセル" is the way out.
    m_list->setEnabled(!m_running);
    m_add->setEnabled(!m_running);
    m_cancel->setEnabled(!m_running);
    if (m_running) {
        for (QPushButton* b : {m_download, m_delete, m_rename}) {
            b->setEnabled(false);
        }
        return;
    }
    m_download->setEnabled(m_logic.downloadEnabled());
    m_delete->setEnabled(m_logic.deleteEnabled());
    m_rename->setEnabled(m_logic.renameEnabled());
}

void CFolderDwnDlg::finish(DlgOutcome outcome) {
    m_finishing = true;
    m_timer->stop();
    if (outcome == DlgOutcome::EndOk) {
        accept();
    } else {
        QDialog::reject();
    }
}

void CFolderDwnDlg::pressDownload() {
    if (m_running) {
        return;
    }
    m_running = true;
    updateButtons();
    const DlgOutcome outcome = m_logic.download();
    m_running = false;
    if (outcome == DlgOutcome::Stay) {
        updateButtons();
        return;
    }
    finish(outcome);
}

void CFolderDwnDlg::pressAdd() {
    if (m_logic.addFolder(m_programDirectory)) {
        refill();
    }
    updateButtons();
}

void CFolderDwnDlg::pressDelete() {
    m_logic.deleteFolder();
    // A deleted row is gone from the logic's rows; a failed deletion leaves the list as it was.
    refill();
    m_logic.select(-1);
    updateButtons();
}

void CFolderDwnDlg::pressRename() {
    const int row = m_logic.selected();
    if (row < 0 || row >= m_logic.rows().size()) {
        return;
    }
    if (!m_ui) {
        auto own = std::make_unique<CWidgetUi>();
        own->setMainWindow(this);
        m_ownUi = std::move(own);
        m_ui = m_ownUi.get();
    }
    CFolderNmChg dlg(*m_ui, m_logic.rows()[row].path, this);
    if (dlg.exec() == QDialog::Accepted) {
        m_logic.renamed();
        refill();
    }
}

void CFolderDwnDlg::pressCancel() {
    finish(m_logic.cancel());
}

void CFolderDwnDlg::reject() {
    // Escape and the window's close button end the dialog as "キャンセル" does: an added folder still counts.
    if (m_running) {
        return;
    }
    if (m_finishing) {
        QDialog::reject();
        return;
    }
    pressCancel();
}
