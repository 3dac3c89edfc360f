#pragma once

#include "cli/CCliArgs.h"
#include "cli/CCliCommandTable.h"
#include "link/LOGIN_VALUES.h"
#include "operations/CBoxDownload.h"

#include <QString>
#include <QStringList>

#include <memory>

class CConsoleUi;
class CFtpMng;

// The commands of kelda-cli. Each checks its operands, logs in when it needs the unit and hands over to the
// operation the desktop program runs for the same button; the exit status follows that operation's outcome.
class CCliCommands {
public:
    enum Status { Ok = 0, Failed = 1, Usage = 2, NoUnit = 3 };

    CCliCommands(const CCliArgs& args, CConsoleUi& ui);
    ~CCliCommands();
    CCliCommands(const CCliCommands&) = delete;
    CCliCommands& operator=(const CCliCommands&) = delete;

    int run();

    // The options that name the unit and the login: --unit, --port, --user, --password-file.
    static const QStringList& unitOptions();

private:
    // The table runs the commands; the message operations live in files of their own and use the helpers below.
    friend class CCliCommandTable;
    friend class CCliDelete;
    friend class CCliExportAudio;
    friend class CCliMessageFiles;
    friend class CCliMoveCopy;
    friend class CCliPlay;
    friend class CCliVerify;

    int folderDownload();
    int download();
    // The exit status of a box download, with a line of its own when the run showed no message.
    int downloadStatus(const CBoxDownload::Outcome& outcome);
    int voiceDownload();
    int list();
    int info();
    // The loudness, peak and speech lines of a voice file (measured through its box folder's cache).
    static QString measureLines(const QString& file);
    int convert();

    int usage(const QString& problem);
    // Writes to standard output; false after a message when not every byte got there.
    bool writeStdout(const QByteArray& bytes);
    // Refuses options the command does not take: those its entry in the command table does not list, or those
    // not in ALLOWED.
    bool onlyOptions();
    bool onlyOptions(const QStringList& allowed);
    // Whether the first operand may name a folder that is still to be made (its parent must exist).
    enum class Missing { Refuse, MayBeMade };
    // The first operand as a download folder (absolute, clean); empty after a usage message.
    QString downloadFolder(Missing missing = Missing::Refuse);
    // Checks the connection entries; Ok when the command may log in.
    int checkLogin();
    // Logs in with the checked entries once --yes has answered the confirmation; Ok, or NoUnit after the link's
    // message.
    int login();
    // Logs in with the checked entries whatever the answer: for commands that change nothing on the unit.
    int connect();
    // The unit, user and password as the login form takes them typed.
    LOGIN_VALUES typedLogin() const;

    const CCliArgs& m_args;
    CConsoleUi& m_ui;
    // The command being run.
    const CCliCommandTable::Entry* m_entry = nullptr;
    std::unique_ptr<CFtpMng> m_ftp;
    QString m_password;
    bool m_loggedIn = false;
};
