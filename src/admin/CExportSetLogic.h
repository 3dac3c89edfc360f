#pragma once

#include <QElapsedTimer>
#include <QString>

#include <functional>

class CKeldaSettings;
class CListModel;
class CUserInterface;

// "エクスポート設定": writes the rows of the active list window to a CSV file (the lines of CCsvExport), with the
// target chosen in two fields, an overwrite question, a progress bar and "キャンセル". The file is written beside
// the target under a temporary name and takes the target's name only when every row is in it, so a cancelled or
// failed export leaves an earlier file as it was and no part of a file behind.
class CExportSetLogic {
public:
    enum class Ok { StayOpen, Exported };

    // model: the active list window's rows; null when there is none.
    CExportSetLogic(CUserInterface& ui, CKeldaSettings& doc, const CListModel* model);

    void open();
    const QString& folder() const { return m_folder; }
    const QString& file() const { return m_file; }
    void setFolder(const QString& text);
    void setFile(const QString& text);
    bool okEnabled() const { return m_okEnabled; }

    // "設定": the save-file dialog; its choice fills both fields and the remembered values. False: cancelled.
    bool choose();
    Ok ok();
    // "キャンセル": true when the dialog closes; during an export it only asks the export to stop.
    bool cancel();

    // True when written, or cancelled on request (the earlier file stays); false when refused or failed (nothing
    // changed on disk).
    bool ExportList();

    // What the dialog shows while idle or exporting.
    bool running() const { return m_running; }
    bool cancelRequested() const { return m_cancelRequested; }
    const QString& title() const { return m_title; }
    const QString& text() const { return m_text; }
    bool progressVisible() const { return m_progressVisible; }
    int progressMax() const { return m_progressMax; }
    int progressPos() const { return m_progressPos; }
    // Called after every change of what the dialog shows.
    std::function<void()> changed;

    QString targetPath() const;

private:
    void notify();
    // The bar's position, shown at most every PROGRESS_GAP_MS: drawing it for every step would cost more than
    // the steps, and a person sees no difference.
    void notifyProgress();
    static constexpr int PROGRESS_GAP_MS = 50;
    QElapsedTimer m_sinceShown;
    void backToIdle();

    CUserInterface& m_ui;
    CKeldaSettings& m_doc;
    const CListModel* m_model;
    QString m_folder;
    QString m_file;
    bool m_okEnabled = false;
    bool m_running = false;
    bool m_cancelRequested = false;
    QString m_title;
    QString m_text;
    bool m_progressVisible = false;
    int m_progressMax = 0;
    int m_progressPos = 0;
};
