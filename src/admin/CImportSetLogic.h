#pragma once

#include "admin/CNameImport.h"

#include <QElapsedTimer>
#include <QString>

#include <functional>

class CKeldaSettings;
class CUserInterface;

// "インポート設定": the extension phone book chosen in two fields (or with "設定") and imported into the current
// folder's extension boxes (CNameImport), with a progress bar and "キャンセル", which takes every change back.
class CImportSetLogic {
public:
    enum class Choose { Chosen, Cancelled };
    enum class Ok { StayOpen, Imported };

    CImportSetLogic(CUserInterface& ui, CKeldaSettings& doc);

    void open();
    const QString& folder() const { return m_folder; }
    const QString& file() const { return m_file; }
    void setFolder(const QString& text);
    void setFile(const QString& text);
    bool okEnabled() const { return m_okEnabled; }

    // "設定": the file-open dialog. Cancelled: the whole import dialog ends as cancelled.
    Choose choose();
    Ok ok();
    // "キャンセル": true when the dialog closes; during an import it only asks the import to stop.
    bool cancel();

    bool importing() const { return m_importing; }
    bool cancelRequested() const { return m_cancelRequested; }
    bool completed() const { return m_completed; }
    const QString& title() const { return m_title; }
    const QString& text() const { return m_text; }
    bool progressVisible() const { return m_progressVisible; }
    int progressMax() const { return m_progressMax; }
    int progressPos() const { return m_progressPos; }
    std::function<void()> changed;

    QString sourcePath() const { return m_folder + QLatin1Char('/') + m_file; }
    // What the last import did.
    const CNameImport::Outcome& outcome() const { return m_outcome; }
    // The completion message with the lines taken and skipped.
    QString doneText() const;

private:
    void notify();
    // The bar's position, shown at most every PROGRESS_GAP_MS: drawing it for every step would cost more than
    // the steps, and a person sees no difference.
    void notifyProgress();
    static constexpr int PROGRESS_GAP_MS = 50;
    QElapsedTimer m_sinceShown;

    CUserInterface& m_ui;
    CKeldaSettings& m_doc;
    QString m_folder;
    QString m_file;
    bool m_okEnabled = false;
    bool m_importing = false;
    bool m_cancelRequested = false;
    bool m_completed = false;
    QString m_title;
    QString m_text;
    bool m_progressVisible = false;
    int m_progressMax = 0;
    int m_progressPos = 0;
    CNameImport::Outcome m_outcome;
};
