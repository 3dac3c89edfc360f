#pragma once

#include "admin/CNameImport.h"
#include "admin/CPathFileSetLogic.h"

#include <QString>

class CKeldaSettings;
class CUserInterface;

// "インポート設定": the extension phone book chosen in two fields (or with "設定") and imported into the current
// folder's extension boxes (CNameImport), with a progress bar and "キャンセル", which takes every change back.
class CImportSetLogic : public CPathFileSetLogic {
public:
    enum class Choose { Chosen, Cancelled };
    enum class Ok { StayOpen, Imported };

    CImportSetLogic(CUserInterface& ui, CKeldaSettings& doc);

    void open();

    // "設定": the file-open dialog. Cancelled: the whole import dialog ends as cancelled.
    Choose choose();
    Ok ok();

    bool importing() const { return m_running; }
    bool completed() const { return m_completed; }

    QString sourcePath() const { return path(); }
    // What the last import did.
    const CNameImport::Outcome& outcome() const { return m_outcome; }
    // The completion message with the lines taken and skipped.
    QString doneText() const;

private:
    bool m_completed = false;
    CNameImport::Outcome m_outcome;
};
