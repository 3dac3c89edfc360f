#include "cli/CCliCommandTable.h"

#include "cli/CCliAdmin.h"
#include "cli/CCliCommands.h"
#include "cli/CCliDelete.h"
#include "cli/CCliEdit.h"
#include "cli/CCliExportAudio.h"
#include "cli/CCliHelp.h"
#include "cli/CCliListFilter.h"
#include "cli/CCliMoveCopy.h"
#include "cli/CCliPlay.h"
#include "cli/CCliVerify.h"

namespace {

const char* const kFolderDownload =
    R"(Usage: kelda-cli folder-download DIR --unit HOST --user NAME [--password-file FILE] [--yes]

Reads the unit's box tree and makes the box folders that are missing in the download folder DIR
(DIR/rusuroku/NNNN, DIR/naisen/NNNN). DIR is made when it does not exist yet; its parent folder
must exist.
)";

const char* const kDownload =
    R"(Usage: kelda-cli download DIR [--info-only] [--convert] [--include-deleted]
                         [--box rusuroku/NNNN|naisen/NNNN ...]
                         --unit HOST --user NAME [--password-file FILE] [--yes]

Downloads the messages of the download folder DIR that are not on the PC yet: all box folders of DIR
(folders made by hand on the PC left out), or only the boxes named by --box (repeatable).
A message moved or copied to another box folder of DIR is not downloaded again into its first box, and
one deleted on the PC alone stays on the unit until the unit no longer has it.
  --info-only        recording information only, no voice data
  --convert          convert voice data to WAV as soon as a message is complete
  --include-deleted  download the messages deleted on the PC alone again
)";

const char* const kVoiceDownload = R"(Usage: kelda-cli voice-download DIR FILE... [--convert]
                         --unit HOST --user NAME [--password-file FILE] [--yes]

Fetches the voice data of messages of the download folder DIR that were downloaded as recording
information only. FILE is a message file of DIR (NAME.vminf).
  --convert     convert voice data to WAV as soon as a message is complete
)";

const char* const kList = R"(Usage: kelda-cli list DIR [--boxes TEXT] [--columns TITLE,TITLE,...] [--csv]
                         [--sort TITLE[:desc]] [criteria ...] [--not-downloaded] [--empty-calls]

Writes the rows a list window of DIR's boxes shows, in the default order (box number, newest first).
  --boxes TEXT     the box selection, as a list window's caption: "留守録BOX：0001,0002  内線BOX：0200";
                   default: every box folder of DIR
  --columns ...    column titles, comma separated (ﾌﾗｸﾞ, 取込, 再生/未再生, 保護/非保護, BOX番号, 相手番号,
                   相手名称, 日時, 録音時間, ファイル名, BOX名称, タイトル, メモ, 発話秒); default: the
                   first ten (発話秒: the seconds of speech in the voice data, measured as needed)
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
  --empty-calls    only the empty calls: messages whose voice data holds less than 0.5 s of speech
                   (a caller who hung up at the tone); a criterion like the others
  --not-downloaded only the messages downloaded as recording information only ("未ﾀﾞｳﾝﾛｰﾄﾞ表示");
                   it takes no criteria
The voice data is measured once per message; the figures are kept beside the messages in each box
folder's "kelda-voice.ini" (rebuilt whenever it is missing or a message file changed).
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
title, memo, filePath); an empty line between files. For a file with voice data three lines follow:
  loudness: -NN.N LUFS   integrated loudness (EBU R128); "-inf" when nothing is above its gate or the
                         message is shorter than 0.4 s
  peak: -N.N dBFS        the highest sample
  speech: S.S s of T.T s the seconds of speech found, of the message's length
(measured once and kept in the box folder's "kelda-voice.ini").
)";

const char* const kConvert = R"(Usage: kelda-cli convert FILE.vmdat...

Converts the voice data of each file into a WAV file beside it (8000 Hz, 16-bit, mono), as the list
window's conversion does: a file whose WAV file is already there is left as it is.
)";

QString withUnit(const char* body) {
    return QString::fromUtf8(body) + CCliHelp::connection() + CCliHelp::status();
}

QString withStatus(const char* body) {
    return QString::fromUtf8(body) + CCliHelp::status();
}

} // namespace

std::vector<CCliCommandTable::Entry> CCliCommandTable::build() {
    // Every command that changes a download folder waits for it the same way (--wait); the ones that talk to the
    // unit take its connection options.
    const QStringList wait{QStringLiteral("wait")};
    const QStringList unitOptions = CCliCommands::unitOptions() + QStringList{QStringLiteral("yes")} + wait;
    const QStringList yes{QStringLiteral("yes")};
    return {
        {QStringLiteral("folder-download"), QStringLiteral("folder-download DIR"),
         QStringLiteral("make DIR's box folders from the unit's box tree"), unitOptions,
         [](const QString&) { return withUnit(kFolderDownload); }, [](CCliCommands& c) { return c.folderDownload(); }},
        {QStringLiteral("download"), QStringLiteral("download DIR"),
         QStringLiteral("download the messages of DIR's box folders"),
         QStringList{QStringLiteral("info-only"), QStringLiteral("convert"), QStringLiteral("include-deleted"),
                     QStringLiteral("box")} +
             unitOptions,
         [](const QString&) { return withUnit(kDownload); }, [](CCliCommands& c) { return c.download(); }},
        {QStringLiteral("voice-download"), QStringLiteral("voice-download DIR FILE..."),
         QStringLiteral("fetch the voice data of information-only messages"),
         QStringList{QStringLiteral("convert")} + unitOptions, [](const QString&) { return withUnit(kVoiceDownload); },
         [](CCliCommands& c) { return c.voiceDownload(); }},
        {QStringLiteral("list"), QStringLiteral("list DIR"),
         QStringLiteral("the rows a list window of DIR's boxes shows"),
         QStringList{QStringLiteral("boxes"), QStringLiteral("columns"), QStringLiteral("csv")} +
             CCliListFilter::options() + wait,
         [](const QString&) { return withStatus(kList); }, [](CCliCommands& c) { return c.list(); }},
        {QStringLiteral("info"), QStringLiteral("info FILE..."),
         QStringLiteral("the recording record of message files"), wait,
         [](const QString&) { return withStatus(kInfo); }, [](CCliCommands& c) { return c.info(); }},
        {QStringLiteral("convert"), QStringLiteral("convert FILE.vmdat..."),
         QStringLiteral("convert voice data to WAV files beside them"), wait,
         [](const QString&) { return withStatus(kConvert); }, [](CCliCommands& c) { return c.convert(); }},
        {QStringLiteral("play"), QStringLiteral("play FILE.vmdat..."),
         QStringLiteral("play voice data on the sound device (--speed S)"),
         QStringList{QStringLiteral("speed"), QStringLiteral("normalize"), QStringLiteral("skip-silence")} + wait,
         [](const QString&) { return CCliPlay::help(); }, [](CCliCommands& c) { return CCliPlay(c).run(); }},
        {QStringLiteral("export-audio"), QStringLiteral("export-audio FILE.vmdat..."),
         QStringLiteral("voice as Opus or WAV files to pass on (--out DIR)"),
         QStringList{QStringLiteral("out"), QStringLiteral("format"), QStringLiteral("normalize")},
         [](const QString&) { return CCliExportAudio::help(); },
         [](CCliCommands& c) { return CCliExportAudio(c).run(); }},
        {QStringLiteral("delete"), QStringLiteral("delete DIR FILE..."),
         QStringLiteral("delete messages on the unit, the PC or both (--kind unit|both|pc)"),
         QStringList{QStringLiteral("kind"), QStringLiteral("verified")} + unitOptions,
         [](const QString&) { return CCliDelete::help() + CCliHelp::connection() + CCliHelp::status(); },
         [](CCliCommands& c) { return CCliDelete(c).run(); }},
        {QStringLiteral("move"), QStringLiteral("move DIR FILE..."),
         QStringLiteral("move messages into another box folder (--to rusuroku/NNNN)"),
         QStringList{QStringLiteral("to"), QStringLiteral("overwrite")} + yes + wait,
         [](const QString& name) { return CCliMoveCopy::help(name) + CCliHelp::status(); },
         [](CCliCommands& c) { return CCliMoveCopy(c).run(); }},
        {QStringLiteral("copy"), QStringLiteral("copy DIR FILE..."),
         QStringLiteral("copy messages into another box folder (--to naisen/NNNN)"),
         QStringList{QStringLiteral("to"), QStringLiteral("overwrite")} + yes + wait,
         [](const QString& name) { return CCliMoveCopy::help(name) + CCliHelp::status(); },
         [](CCliCommands& c) { return CCliMoveCopy(c).run(); }},
        {QStringLiteral("edit"), QStringLiteral("edit FILE"),
         QStringLiteral("change the recording information of a message file"),
         QStringList{QStringLiteral("title"), QStringLiteral("caller-no"), QStringLiteral("caller-name"),
                     QStringLiteral("memo"), QStringLiteral("protect"), QStringLiteral("flag")} +
             yes,
         [](const QString&) { return withStatus(kEdit); },
         [](CCliCommands& c) { return CCliEdit::run(c.m_args, c.m_ui); }},
        {QStringLiteral("verify"), QStringLiteral("verify DIR"),
         QStringLiteral("check a download folder (and with --unit, against the unit)"),
         QStringList{QStringLiteral("csv"), QStringLiteral("repair")} + unitOptions,
         [](const QString&) { return CCliVerify::help() + CCliHelp::connection(); },
         [](CCliCommands& c) { return CCliVerify(c).run(); }},
        {QStringLiteral("import-names"), QStringLiteral("import-names DIR FILE.csv"),
         QStringLiteral("extension box names from a phone book"), yes,
         [](const QString&) { return CCliAdmin::ImportNamesHelp(); },
         [](CCliCommands& c) { return CCliAdmin(c.m_args, c.m_ui).importNames(); }},
        {QStringLiteral("box-name"), QStringLiteral("box-name DIR KIND/NNNN NAME"),
         QStringLiteral("the name of one box (KIND: rusuroku or naisen)"), yes,
         [](const QString&) { return CCliAdmin::BoxNameHelp(); },
         [](CCliCommands& c) { return CCliAdmin(c.m_args, c.m_ui).boxName(); }},
    };
}

const std::vector<CCliCommandTable::Entry>& CCliCommandTable::all() {
    static const std::vector<Entry> table = build();
    return table;
}

const CCliCommandTable::Entry* CCliCommandTable::find(const QString& name) {
    for (const Entry& e : all()) {
        if (e.name == name) {
            return &e;
        }
    }
    return nullptr;
}
