#pragma once

#include "operations/CFolderRepair.h"
#include "operations/CHECK_FINDING.h"

#include <QByteArray>
#include <QString>

#include <vector>

class CFtpMng;
class CUserInterface;

// "ダウンロードフォルダを点検する...": the check of the current download folder with its progress window, the
// findings for their window, the mending of chosen findings and their export as CSV. With a logged-in unit the
// folder is also compared with the unit's listings.
class CFolderCheckLogic {
public:
    // ftp: the link when logged in, else null.
    CFolderCheckLogic(CUserInterface& ui, const QString& downloadFolder, CFtpMng* ftp);

    // Runs the check. False when it was cancelled or the unit could not be listed (the user was told); the
    // findings then hold what was found before.
    bool run();
    const std::vector<CHECK_FINDING>& findings() const { return m_findings; }
    const QString& downloadFolder() const { return m_folder; }
    // How many mending actions were done so far (the lists then reload).
    int repairs() const { return m_repairs; }
    // "N件の問題が見つかりました。" or that nothing was found.
    QString summaryText() const;

    // Mends the chosen findings (indexes into findings()) that can be mended, tells what was done, and checks
    // the folder again.
    std::vector<CFolderRepair::Action> repair(const std::vector<int>& rows);
    // Asks for a file and writes every finding to it as CSV; false when cancelled or not written (told).
    bool exportCsv();

    // The findings as CSV lines (CP932, LF line ends, a header line), for a spreadsheet.
    static QByteArray CsvBytes(const std::vector<CHECK_FINDING>& findings);
    static QString Title() { return QStringLiteral("ダウンロードフォルダの点検"); }
    static QString ProgressTitle() { return QStringLiteral("点検中"); }
    // What to do, as a window user does it: the check words its advice for kelda-cli.
    static QString WindowAdvice(const QString& advice);

private:
    CUserInterface& m_ui;
    QString m_folder;
    CFtpMng* m_ftp;
    bool m_compared = false;
    int m_repairs = 0;
    int m_deletedOnPc = 0;
    std::vector<CHECK_FINDING> m_findings;
};
