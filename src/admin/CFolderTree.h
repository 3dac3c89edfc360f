#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class CProgressDlg;
class CUserInterface;

// Download folders on disk: the unit's box tree made into box folders, and whole folder trees removed.
class CFolderTree {
public:
    // The unit's tree listing: root, "rusuroku" and "naisen" texts; true when the whole tree was read.
    using UnitTreeSource = std::function<bool(QString& root, QString& rusuroku, QString& naisen)>;

    // Makes the box folders the unit lists inside the download folder. False on a failure or a cancel (the
    // folders this run made are removed again on cancel). Reports 20/40/60/100 to progress when given.
    static bool DownloadFolder(const QString& folder, const UnitTreeSource& unitTree, CProgressDlg* progress);
    // Removes a folder and everything in it. 1 when the folder itself is gone, 0 otherwise.
    static int DeleteFolderTree(const QString& path, CProgressDlg* progress);
    // Box numbers of a tree listing after the listing rules (LF, "*" and "." dropped, CR ends a name); what
    // CFtpListing::isBoxNumber refuses is left out, so the folders made are the boxes the listing reader takes.
    static QStringList BoxNames(const QString& listing);

private:
    // Makes the box folders one kind's listing names inside kindDir; false when the cancel flag stopped it.
    static bool makeBoxFolders(const QString& kindDir, const QString& listing, QStringList& made);
    // After the run: pending box folders become ordinary ones, or on cancel the ones this run made go again.
    static void settleBoxFolders(const QString& folder, const QStringList& made, bool cancelled);
    static int deleteTree(const QString& path, CProgressDlg* progress, bool top);
};
