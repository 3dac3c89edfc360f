#pragma once

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

// Watches the box folders a list was loaded from and says when the list should load again because another run
// (kelda-cli, a second window, a file manager) changed what they hold: once the folders have been quiet for a
// moment, no other run holds the download folder, and the window allows it. A change that leaves the messages as
// the list last loaded them (the list's own writes, a measurement cache) asks for nothing.
class CListFollow : public QObject {
    Q_OBJECT
public:
    static constexpr int QUIET_MS = 400;
    // How often a due reload asks again while the window or another run holds it off.
    static constexpr int RETRY_MS = 250;
    // The folders are also looked at this often: a file written in place (not replaced) tells its folder nothing.
    static constexpr int POLL_MS = 3000;

    explicit CListFollow(QObject* parent = nullptr);

    // The list (re)loaded from these box folders of downloadFolder: what they hold now is what it shows.
    void loaded(const QString& downloadFolder, const QStringList& boxFolders);
    // The list wrote to its folders itself and shows what they now hold.
    void caughtUp();
    // Stops watching (the list window closes).
    void clear();
    void setQuietMs(int ms) { m_quietMs = ms; }
    void setPollMs(int ms);

    // Asked before a reload is announced: false while a mouse button is down, an operation of the window runs or
    // a dialog is open over it. Empty: always allowed.
    std::function<bool()> mayReload;

    // What the folders hold, as far as the list shows it: the message and box files with their sizes and times.
    static QByteArray signature(const QStringList& boxFolders);

Q_SIGNALS:
    void reloadDue();

private:
    void onChanged();
    void check();
    void watch();

    QFileSystemWatcher m_watcher;
    QTimer m_timer;
    QTimer m_poll;
    QString m_downloadFolder;
    QStringList m_folders;
    QByteArray m_signature;
    int m_quietMs = QUIET_MS;
};
