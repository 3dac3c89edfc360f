#pragma once

#include "admin/CFolderRows.h"
#include "admin/CFolderTree.h"
#include "platform/DlgOutcome.h"

#include <QList>
#include <QString>

class CKeldaSession;
class CUserInterface;

// "フォルダのダウンロード": the download folders under the download root. The user downloads the unit's box
// tree into one, adds, deletes and renames folders. The widget shows rows and buttons; this decides.
class CFolderDwnLogic {
public:
    CFolderDwnLogic(CUserInterface& ui, CKeldaSession& doc, CFolderTree::UnitTreeSource unitTree);

    // Opening: rows filled, row buttons disabled, changed flag cleared.
    void open();
    const QList<CFolderRows::Row>& rows() const { return m_rows; }
    // -1: no selection.
    void select(int row);
    int selected() const { return m_selected; }
    // The 1-second timer: logging out meanwhile disables "ダウンロード".
    void tick();

    bool downloadEnabled() const { return m_download; }
    bool deleteEnabled() const { return m_delete; }
    bool renameEnabled() const { return m_rename; }
    bool changed() const { return m_changed; }

    DlgOutcome download();
    // The last download made every box folder and said so.
    bool downloadCompleted() const { return m_completed; }
    // "フォルダ追加" through the folder chooser; true when a folder was taken.
    bool addFolder(const QString& programDirectory);
    // Why a chosen download folder cannot serve, as the message shown; empty when it can.
    static QString refusalOf(const QString& downloadFolder);
    void deleteFolder();
    // After a successful rename through the name dialog.
    void renamed();
    DlgOutcome cancel() const { return m_changed ? DlgOutcome::EndOk : DlgOutcome::EndCancel; }

    // Where the folder chooser starts.
    QString chooserStart(const QString& programDirectory) const;

private:
    void fill();
    void disableRowButtons();

    CUserInterface& m_ui;
    CKeldaSession& m_doc;
    CFolderTree::UnitTreeSource m_unitTree;
    QList<CFolderRows::Row> m_rows;
    int m_selected = -1;
    bool m_download = false;
    bool m_delete = false;
    bool m_rename = false;
    bool m_changed = false;
    bool m_completed = false;
};
