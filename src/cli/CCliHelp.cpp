#include "cli/CCliHelp.h"

#include "cli/CCliAdmin.h"

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
Exit status: 0 the operation ended in its completion message; 1 it ended in an error message (or the
confirmation was answered no); 2 bad usage; 3 the unit could not be reached or refused the login.
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
  import-names DIR FILE.csv    extension box names from a phone book
  box-name DIR KIND/NNNN NAME  the name of one box (KIND: rusuroku or naisen)

"kelda-cli COMMAND --help" describes a command.
)";

const char* const kFolderDownload =
    R"(Usage: kelda-cli folder-download DIR --unit HOST --user NAME [--password-file FILE] [--yes]

Reads the unit's box tree and makes the box folders that are missing in the download folder DIR
(DIR/rusuroku/NNNN, DIR/naisen/NNNN). DIR must exist.
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

Writes the rows a list window of DIR's boxes shows, in the default order (box number, newest first).
  --boxes TEXT     the box selection, as a list window's caption: "留守録BOX：0001,0002  内線BOX：0200";
                   default: every box folder of DIR
  --columns ...    column titles, comma separated (ﾌﾗｸﾞ, 取込, 再生/未再生, 保護/非保護, BOX番号, 相手番号,
                   相手名称, 日時, 録音時間, ファイル名, BOX名称, タイトル, メモ); default: the first ten
  --csv            the lines of the list export (CP932, LF line ends, flag and import columns as words);
                   otherwise tab-separated UTF-8 text with a header line
)";

const char* const kInfo = R"(Usage: kelda-cli info FILE...

Writes the recording record of each message file: the file's path, then one "name: value" line per
field (flag, played, importStatus, protect, boxNo, boxName, callerNo, callerName, recDateTime, recTime,
title, memo, filePath); an empty line between files.
)";

const char* const kConvert = R"(Usage: kelda-cli convert FILE.vmdat...

Converts the voice data of each file into a WAV file beside it (8000 Hz, 16-bit, mono).
)";

} // namespace

bool CCliHelp::isCommand(const QString& command) {
    static const QStringList commands{QStringLiteral("folder-download"),
                                      QStringLiteral("download"),
                                      QStringLiteral("voice-download"),
                                      QStringLiteral("list"),
                                      QStringLiteral("info"),
                                      QStringLiteral("convert")};
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
    if (command == QLatin1String("convert")) {
        return QString::fromUtf8(kConvert) + QString::fromUtf8(kStatus);
    }
    if (CCliAdmin::Handles(command)) {
        return CCliAdmin::HelpText(command);
    }
    return QString::fromUtf8(kOverview) + QString::fromUtf8(kConnection) + QString::fromUtf8(kStatus);
}
