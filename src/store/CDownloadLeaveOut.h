#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

// What a download into one download folder leaves on the unit: a message file the PC keeps in another box folder
// (moved or copied there), which would otherwise come back into its first box, and a message deleted on the PC
// alone. It also learns what the unit listed, so that the list of PC deletions can be crossed off afterwards.
class CDownloadLeaveOut {
public:
    CDownloadLeaveOut() = default;
    // Reads the download folder's box folders and its list of PC deletions. includeDeletedOnPc: the PC deletions
    // are brought back (and crossed off once they are here again).
    static CDownloadLeaveOut Of(const QString& downloadFolder, bool includeDeletedOnPc);

    // Whether a listed message file that boxFolder lacks stays on the unit: the message is in other box folders
    // and not in this one, or was deleted on the PC alone. Counts it as left out when it does.
    bool leavesOut(const QString& boxFolder, const QString& fileName);
    // The unit listed this message file.
    void listed(const QString& fileName);

    // Messages left out, each counted once: kept in another box folder, and deleted on the PC alone.
    int keptElsewhere() const { return int(m_leftElsewhere.size()); }
    int deletedOnPc() const { return int(m_leftDeleted.size()); }
    // Whether the list of PC deletions could not be read: nothing is then left out for it, and the run says so.
    bool deletionsUnreadable() const { return m_unreadable; }

    // Crosses off the list the messages the download folder holds again and, when everyUnitBoxListed, those the
    // unit no longer listed. False when the list could not be written.
    bool settle(bool everyUnitBoxListed) const;

private:
    QString m_folder;
    QHash<QString, QStringList> m_boxesOf; // the box folders that hold a file of a message, by its stem
    QSet<QString> m_deleted;               // stems deleted on the PC alone
    bool m_includeDeleted = false;
    bool m_unreadable = false;
    QSet<QString> m_listed;        // stems the unit listed
    QSet<QString> m_leftElsewhere; // stems left out
    QSet<QString> m_leftDeleted;
};
