#pragma once

#include "admin/CPathFileSetLogic.h"

#include <QString>

class CKeldaSettings;
class CListModel;
class CUserInterface;

// "エクスポート設定": writes the rows of the active list window to a CSV file (the lines of CCsvExport), with the
// target chosen in two fields, an overwrite question, a progress bar and "キャンセル". The file is written beside
// the target under a temporary name and takes the target's name only when every row is in it, so a cancelled or
// failed export leaves an earlier file as it was and no part of a file behind.
class CExportSetLogic : public CPathFileSetLogic {
public:
    enum class Ok { StayOpen, Exported };

    // model: the active list window's rows; null when there is none.
    CExportSetLogic(CUserInterface& ui, CKeldaSettings& doc, const CListModel* model);

    void open();

    // "設定": the save-file dialog; its choice fills both fields and the remembered values. False: cancelled.
    bool choose();
    Ok ok();

    // True when written, or cancelled on request (the earlier file stays); false when refused or failed (nothing
    // changed on disk).
    bool ExportList();

    // What the dialog shows while idle or exporting.
    bool running() const { return m_running; }

    QString targetPath() const { return path(); }

private:
    void backToIdle();

    const CListModel* m_model;
};
