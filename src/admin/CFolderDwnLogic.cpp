#include "admin/CFolderDwnLogic.h"

#include "admin/CFolderDelPrgDlg.h"
#include "admin/CPrgFDwnDlg.h"
#include "operations/COperationTexts.h"
#include "platform/CCancelFlag.h"
#include "platform/CCp932.h"
#include "platform/CUserInterface.h"
#include "settings/CKeldaSession.h"
#include "store/CFileMng.h"
#include "store/CFolderLock.h"
#include "store/FILESTS_INFO.h"

#include <QDir>
#include <QFileInfo>

#include <iterator>

CFolderDwnLogic::CFolderDwnLogic(CUserInterface& ui, CKeldaSession& doc, CFolderTree::UnitTreeSource unitTree)
    : m_ui(ui), m_doc(doc), m_unitTree(std::move(unitTree)) {}

void CFolderDwnLogic::fill() {
    m_rows = CFolderRows::forFolderList(m_doc.folder);
    m_selected = -1;
}

void CFolderDwnLogic::disableRowButtons() {
    m_download = m_delete = m_rename = false;
}

void CFolderDwnLogic::open() {
    fill();
    disableRowButtons();
    m_changed = false;
}

void CFolderDwnLogic::select(int row) {
    m_selected = (row >= 0 && row < m_rows.size()) ? row : -1;
    if (m_selected < 0) {
        disableRowButtons();
        return;
    }
    QStringList subs;
    CFileMng::ListSubfolders(m_rows[m_selected].path, subs);
    m_delete = subs.isEmpty();
    m_download = m_doc.loggedIn == 1;
    m_rename = true;
}

void CFolderDwnLogic::tick() {
    if (m_doc.loggedIn != 1) {
        m_download = false;
    }
}

DlgOutcome CFolderDwnLogic::download() {
    if (m_selected < 0) {
        return DlgOutcome::Stay;
    }
    const CFolderRows::Row row = m_rows[m_selected];
    const QString chosen = row.path + '/';
    if (m_ui.messageBox(COperationTexts::DownloadConfirm(row.name), COperationTexts::DownloadConfirmCaption(),
                        MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes) {
        return DlgOutcome::Stay;
    }
    CFolderLock lock;
    if (!lock.acquireOrTell(m_ui, row.path)) {
        return DlgOutcome::Stay;
    }
    CCancelFlag::clear();
    m_completed = false;
    bool made = false;
    {
        CPrgFDwnDlg progress(m_ui);
        for (int i = 0; i < 5; ++i) {
            m_ui.dispatchPendingEvents(1);
            m_ui.sleepMs(1);
        }
        made = CFolderTree::DownloadFolder(row.path, m_unitTree, &progress);
    }
    // The folder is free before the last word: a person who leaves the message open holds up no other run.
    lock.release();
    // A cancelled or failed download still ends as "キャンセル" would: a folder added before it is the one the
    // settings now name, and the main window must follow it.
    if (CCancelFlag::isSet()) {
        return cancel();
    }
    if (made) {
        m_ui.messageBox(COperationTexts::FolderDownloadDone(), COperationTexts::DownloadDoneCaption(),
                        MsgIcon::Information);
        m_doc.downloadFolderText = chosen;
        m_completed = true;
        return DlgOutcome::EndOk;
    }
    m_ui.messageBox(COperationTexts::CommError(), COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
    return cancel();
}

QString CFolderDwnLogic::chooserStart(const QString& programDirectory) const {
    if (!m_doc.folder.isEmpty()) {
        return m_doc.rootWithSlash() + m_doc.folderName;
    }
    return CFileMng::Join(programDirectory, QStringLiteral("save/ZUNO"));
}

QString CFolderDwnLogic::refusalOf(const QString& downloadFolder) {
    // The settings file holds the path in the Japanese code page: a character it lacks would come back as "?" and
    // the folder would be lost at the next start.
    if (CCp932::toUnicode(CCp932::fromUnicode(downloadFolder)) != downloadFolder) {
        return QStringLiteral("フォルダのパスに使用できない文字が含まれています。\n別のフォルダを選択してください。");
    }
    // Every message record holds its file's full path, "/naisen/NNNN/" and a 32-character file name below the
    // folder; a longer path would be cut there and the message could no longer be updated.
    constexpr qsizetype kBelowFolder = 47;
    if (downloadFolder.size() + kBelowFolder > qsizetype(std::size(FILESTS_INFO{}.filePath)) - 1) {
        return QStringLiteral("フォルダのパスが長すぎます。\n別のフォルダを選択してください。");
    }
    return QString();
}

bool CFolderDwnLogic::addFolder(const QString& programDirectory) {
    QString chosen = m_ui.chooseFolder(QStringLiteral("\nダウンロード先のフォルダを作成してください。"),
                                       chooserStart(programDirectory));
    if (chosen.isEmpty()) {
        return false;
    }
    while (chosen.size() > 1 && chosen.endsWith('/')) {
        chosen.chop(1);
    }
    const QFileInfo info(chosen);
    const QString directory = info.path().endsWith('/') ? info.path() : info.path() + '/';
    // The name part stops at its extension, as a path split into name and extension gives it.
    QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf('.');
    if (dot > 0) {
        name = name.left(dot);
    }
    if (const QString refusal = refusalOf(directory + name); !refusal.isEmpty()) {
        m_ui.messageBox(refusal, COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
        return false;
    }
    m_doc.folder = directory;
    m_doc.folderName = name;
    m_doc.downloadFolderText = directory + name;
    fill();
    disableRowButtons();
    m_changed = true;
    return true;
}

void CFolderDwnLogic::deleteFolder() {
    if (m_selected < 0) {
        return;
    }
    if (m_ui.messageBox(QStringLiteral("削除します。よろしいですか？"), QStringLiteral("削除の確認"), MsgIcon::Question,
                        MsgButtons::YesNo) != MsgResult::Yes) {
        return;
    }
    int result = 0;
    {
        CFolderDelPrgDlg progress(m_ui);
        progress.setPosition(0);
        result = CFolderTree::DeleteFolderTree(m_rows[m_selected].path, &progress);
    }
    if (result == 1) {
        m_rows.removeAt(m_selected);
        m_selected = -1;
        disableRowButtons();
    } else {
        m_ui.messageBox(QStringLiteral("一部のファイルが削除できませんでした。"), COperationTexts::ErrorCaption(),
                        MsgIcon::Exclamation);
    }
}

void CFolderDwnLogic::renamed() {
    fill();
    disableRowButtons();
}
