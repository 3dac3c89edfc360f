#pragma once

#include <QElapsedTimer>
#include <QString>

#include <functional>

class CKeldaSettings;
class QFileInfo;
class CUserInterface;

// What the export and the import dialog share: a file named in two fields (folder and name) that the settings
// remember, "OK" enabled only when both are filled, and a run with a progress bar that "キャンセル" asks to stop.
class CPathFileSetLogic {
public:
    const QString& folder() const { return m_folder; }
    const QString& file() const { return m_file; }
    void setFolder(const QString& text);
    void setFile(const QString& text);
    bool okEnabled() const { return m_okEnabled; }

    // "キャンセル": true when the dialog closes; during a run it only asks the run to stop.
    bool cancel();

    bool cancelRequested() const { return m_cancelRequested; }
    const QString& title() const { return m_title; }
    const QString& text() const { return m_text; }
    bool progressVisible() const { return m_progressVisible; }
    int progressMax() const { return m_progressMax; }
    int progressPos() const { return m_progressPos; }
    // Called after every change of what the dialog shows.
    std::function<void()> changed;

protected:
    CPathFileSetLogic(CUserInterface& ui, CKeldaSettings& doc, QString title, QString text);
    ~CPathFileSetLogic() = default;

    QString path() const { return m_folder + QLatin1Char('/') + m_file; }
    // The fields as the settings remember them (a trailing slash of the folder dropped).
    void fillFields(const QString& rememberedFolder, const QString& rememberedName);
    // A file chosen in the file dialog fills both fields and the remembered values.
    void takeChosen(const QFileInfo& chosen, QString& rememberedFolder, QString& rememberedName);
    // The fields into the remembered values, cut to what the settings can store.
    void remember(QString& rememberedFolder, QString& rememberedName) const;

    void notify();
    // The bar's position, shown at most every PROGRESS_GAP_MS: drawing it for every step would cost more than
    // the steps, and a person sees no difference.
    void notifyProgress();
    static constexpr int PROGRESS_GAP_MS = 50;

    CUserInterface& m_ui;
    CKeldaSettings& m_doc;
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

private:
    QElapsedTimer m_sinceShown;
};
