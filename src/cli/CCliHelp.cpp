#include "cli/CCliHelp.h"

#include "cli/CCliAdmin.h"
#include "cli/CCliDelete.h"
#include "cli/CCliMoveCopy.h"
#include "cli/CCliPlay.h"
#include "cli/CCliVerify.h"

#include <QStringList>

namespace {

const char* const kConnection = R"(
Connection (commands that talk to the unit):
  --unit HOST            the unit's IPv4 address (dotted decimal)
  --port N               FTP port; default: the services database entry "ftp", else 21
  --user NAME            user name
  --password-file FILE   the password is the first line of FILE (keep it readable only by you);
                         without it the environment variable KELDA_PASSWORD is used.
                         A password is never taken from the command line.
  --yes                  answer yes to the confirmation; without it the question is shown
                         and the command stops before it connects or changes anything
)";

const char* const kStatus = R"(
One operation at a time changes a download folder, whether from kelda-cli or the desktop program. A command
that finds the folder in use stops with an error message (exit status 1), unless
  --wait SECONDS         it may wait that long for the folder first
Exit status: 0 the operation ended in its completion message; 1 it ended in an error message (or the
confirmation was answered no); 2 bad usage; 3 the unit could not be reached or refused the login.
Output that cannot all be written to standard output (a full disk, a closed stream) is exit status 1.
Messages go to stderr as "caption: text".
)";

const char* const kOverview = R"(Usage: kelda-cli COMMAND [OPTIONS] ...

Commands:
  folder-download DIR          make DIR's box folders from the unit's box tree
  download DIR                 download the messages of DIR's box folders
  voice-download DIR FILE...   fetch the voice data of information-only messages
  list DIR                     the rows a list window of DIR's boxes shows
  info FILE...                 the recording record of message files
  convert FILE.vmdat...        convert voice data to WAV files beside them
  play FILE.vmdat...           play voice data on the sound device (--speed S)
  delete DIR FILE...           delete messages on the unit, the PC or both (--kind unit|both|pc)
  move DIR FILE...             move messages into another box folder (--to rusuroku/NNNN)
  copy DIR FILE...             copy messages into another box folder (--to naisen/NNNN)
  edit FILE                    change the recording information of a message file
  verify DIR                   check a download folder (and with --unit, against the unit)
  import-names DIR FILE.csv    extension box names from a phone book
  box-name DIR KIND/NNNN NAME  the name of one box (KIND: rusuroku or naisen)

"kelda-cli COMMAND --help" describes a command.
)";

const char* const kFolderDownload =
    R"(Usage: kelda-cli folder-download DIR --unit HOST --user NAME [--password-file FILE] [--yes]

Reads the unit's box tree and makes the box folders that are missing in the download folder DIR
(DIR/rusuroku/NNNN, DIR/naisen/NNNN). DIR is made when it does not exist yet; its parent folder
must exist.
)";

const char* const kDownload =
    R"(Usage: kelda-cli download DIR [--info-only] [--convert] [--box rusuroku/NNNN|naisen/NNNN ...]
                         --unit HOST --user NAME [--password-file FILE] [--yes]

Downloads the messages of the download folder DIR that are not on the PC yet: all box folders of DIR
(folders made by hand on the PC left out), or only the boxes named by --box (repeatable).
  --info-only   recording information only, no voice data
  --convert     convert voice data to WAV as soon as a message is complete
)";

const char* const kVoiceDownload = R"(Usage: kelda-cli voice-download DIR FILE... [--convert]
                         --unit HOST --user NAME [--password-file FILE] [--yes]

Fetches the voice data of messages of the download folder DIR that were downloaded as recording
information only. FILE is a message file of DIR (NAME.vminf).
  --convert     convert voice data to WAV as soon as a message is complete
)";

const char* const kList = R"(Usage: kelda-cli list DIR [--boxes TEXT] [--columns TITLE,TITLE,...] [--csv]
                         [--sort TITLE[:desc]] [criteria ...] [--not-downloaded]

Writes the rows a list window of DIR's boxes shows, in the default order (box number, newest first).
  --boxes TEXT     the box selection, as a list window's caption: "留守録BOX：0001,0002  内線BOX：0200";
                   default: every box folder of DIR
  --columns ...    column titles, comma separated (ﾌﾗｸﾞ, 取込, 再生/未再生, 保護/非保護, BOX番号, 相手番号,
                   相手名称, 日時, 録音時間, ファイル名, BOX名称, タイトル, メモ); default: the first ten
  --csv            the lines of the list export (CP932, LF line ends, flag and import columns as words);
                   otherwise tab-separated UTF-8 text with a header line
  --sort TITLE[:desc]
                   sorted as by clicks on that column's header (one of the columns shown): ascending, or
                   descending with ":desc"; rows equal in it keep the default order

Selection display ("選択表示"): only the messages that meet every criterion given.
  --title P        title; "_" stands for one character, "%" for any run of them (after "%" the first
                   occurrence of the next character is taken); P matches every title that begins like it
  --box-name P     box name, the same way
  --caller-name P  caller name, the same way
  --memo P         memo, the same way
  --box-no P       box number beginning with P
  --caller-no P    caller number beginning with P
                   (an empty P takes only messages whose field is empty)
  --from YYYY/MM/DD, --to YYYY/MM/DD
                   recorded from, to (both days included; 2009/01/01 to 2099/12/31)
  --flag yes|no    the flag set or not
  --played yes|no  played on the PC or not
  --protect yes|no protected or not
  --import CODE    what was taken from the unit: a code, or the words of the dialog's check boxes
                   comma separated (再生済, 未再生, 消去済, 録音情報のみ; 再生済/未再生 as on the unit):
                   0 再生済,未再生,消去済  1 再生済,未再生  2 再生済,消去済  3 未再生,消去済
                   4 再生済  5 未再生  6 消去済  7 録音情報のみ
  Entries are checked as the dialog checks them: title 40 bytes, box number 4 (single-byte), box name 10,
  caller number and name 32, memo 40 (bytes of the CP932 form). A refused entry exits 2; when nothing
  matches, "該当するメッセージがありません。" and exit 1.
  --not-downloaded only the messages downloaded as recording information only ("未ﾀﾞｳﾝﾛｰﾄﾞ表示");
                   it takes no criteria
)";

const char* const kEdit = R"(Usage: kelda-cli edit FILE [--title T] [--caller-no N] [--caller-name N] [--memo M]
                         [--protect yes|no] [--flag yes|no] [--yes]

Changes the recording information of the message file FILE as the information editor does; the
fields not given keep their values. Title at most 40 bytes, caller number and name 32, memo 80 (bytes
of the CP932 form), none with "," nor a character CP932 lacks (an emoji, "é"): a refused entry says
"入力値エラーです。" with the reason and exits 2; nothing is cut. A symbolic link is edited through (its
target is written); a file that cannot be written says so and exits 1.
  --yes            answer yes to "登録します。よろしいですか？"; without it the question is shown and
                   nothing is written
)";

const char* const kInfo = R"(Usage: kelda-cli info FILE...

Writes the recording record of each message file: the file's path, then one "name: value" line per
field (flag, played, importStatus, protect, boxNo, boxName, callerNo, callerName, recDateTime, recTime,
title, memo, filePath); an empty line between files.
)";

const char* const kConvert = R"(Usage: kelda-cli convert FILE.vmdat...

Converts the voice data of each file into a WAV file beside it (8000 Hz, 16-bit, mono), as the list
window's conversion does: a file whose WAV file is already there is left as it is.
)";

} // namespace

bool CCliHelp::isCommand(const QString& command) {
    static const QStringList commands{QStringLiteral("folder-download"),
                                      QStringLiteral("download"),
                                      QStringLiteral("voice-download"),
                                      QStringLiteral("list"),
                                      QStringLiteral("info"),
                                      QStringLiteral("convert"),
                                      QStringLiteral("delete"),
                                      QStringLiteral("move"),
                                      QStringLiteral("copy"),
                                      QStringLiteral("edit"),
                                      QStringLiteral("verify"),
                                      QStringLiteral("play")};
    return commands.contains(command) || CCliAdmin::Handles(command);
}

QString CCliHelp::text(const QString& command) {
    const auto withUnit = [](const char* body) {
        return QString::fromUtf8(body) + QString::fromUtf8(kConnection) + QString::fromUtf8(kStatus);
    };
    if (command == QLatin1String("folder-download")) {
        return withUnit(kFolderDownload);
    }
    if (command == QLatin1String("download")) {
        return withUnit(kDownload);
    }
    if (command == QLatin1String("voice-download")) {
        return withUnit(kVoiceDownload);
    }
    if (command == QLatin1String("list")) {
        return QString::fromUtf8(kList) + QString::fromUtf8(kStatus);
    }
    if (command == QLatin1String("info")) {
        return QString::fromUtf8(kInfo) + QString::fromUtf8(kStatus);
    }
    if (command == QLatin1String("edit")) {
        return QString::fromUtf8(kEdit) + QString::fromUtf8(kStatus);
    }
    if (command == QLatin1String("convert")) {
        return QString::fromUtf8(kConvert) + QString::fromUtf8(kStatus);
    }
    if (command == QLatin1String("delete")) {
        return CCliDelete::help() + QString::fromUtf8(kConnection) + QString::fromUtf8(kStatus);
    }
    if (command == QLatin1String("move") || command == QLatin1String("copy")) {
        return CCliMoveCopy::help(command) + QString::fromUtf8(kStatus);
    }
    if (command == QLatin1String("play")) {
        return CCliPlay::help();
    }
    if (command == QLatin1String("verify")) {
        return CCliVerify::help() + QString::fromUtf8(kConnection);
    }
    if (CCliAdmin::Handles(command)) {
        return CCliAdmin::HelpText(command);
    }
    return QString::fromUtf8(kOverview) + QString::fromUtf8(kConnection) + QString::fromUtf8(kStatus);
}
