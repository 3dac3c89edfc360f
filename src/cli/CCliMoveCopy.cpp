#include "cli/CCliMoveCopy.h"

#include "cli/CCliCommands.h"
#include "cli/CCliMessageFiles.h"
#include "cli/CConsoleUi.h"
#include "operations/CMsgCopy.h"
#include "operations/CMsgCopyLogic.h"
#include "platform/CCancelFlag.h"

QString CCliMoveCopy::help(const QString& command) {
    const bool move = command == QLatin1String("move");
    return QStringLiteral(
               "Usage: kelda-cli %1 DIR FILE... --to rusuroku/NNNN|naisen/NNNN [--overwrite all|none] [--yes]\n"
               "\n"
               "%2 the messages of the download folder DIR given by their voice files (NAME.vmdat) into\n"
               "another box folder of DIR, with their recording information and WAV files, as the list\n"
               "window's \"移動・コピー\" does. Only messages whose voice data is on the PC are taken.\n"
               "  --to BOX          the target box folder: rusuroku/NNNN or naisen/NNNN\n"
               "  --overwrite all   replace files that already exist in the target (\"全て上書き(&A)\")\n"
               "  --overwrite none  keep such files (\"いいえ(&N)\"); the default. A copy still adds the files a\n"
               "                    message in the target lacks (an interrupted copy); a move leaves such a\n"
               "                    message whole where it is. When nothing was moved or copied, that is said and\n"
               "                    the exit status is 1\n")
        .arg(command, move ? QStringLiteral("Moves") : QStringLiteral("Copies"));
}

int CCliMoveCopy::run() {
    CCliCommands& c = m_commands;
    const CCliArgs& args = c.m_args;
    const bool move = args.command == QLatin1String("move");
    if (!c.onlyOptions()) {
        return CCliCommands::Usage;
    }
    const bool overwriteGiven = args.given.contains(QStringLiteral("overwrite"));
    if (overwriteGiven && args.overwrite != QLatin1String("all") && args.overwrite != QLatin1String("none")) {
        return c.usage(QStringLiteral("--overwrite takes all or none, not %1").arg(args.overwrite));
    }
    const bool overwriteAll = overwriteGiven && args.overwrite == QLatin1String("all");
    QString dir;
    std::vector<FILESTS_INFO> rows;
    if (!CCliMessageFiles::Read(c, dir, rows)) {
        return CCliCommands::Usage;
    }
    CMsgCopyLogic logic(c.m_ui, dir);
    logic.setChosenCount(int(rows.size()));
    if (logic.open() == DlgOutcome::EndCancel) {
        return CCliCommands::Failed;
    }
    if (!logic.checkTarget(args.to)) {
        return c.usage(QStringLiteral("--to %1 is not a box folder of %2 (rusuroku/NNNN or naisen/NNNN)")
                           .arg(args.to.isEmpty() ? QStringLiteral("(missing)") : args.to, dir));
    }
    if (logic.choose(move ? CMsgCopy::Kind::Move : CMsgCopy::Kind::Copy) != DlgOutcome::EndOk) {
        return CCliCommands::Failed;
    }
    CConsoleUi& ui = c.m_ui;
    CMsgCopy op(ui, [&ui, overwriteAll](const QString& name) {
        ui.note(QStringLiteral("ﾌｧｲﾙ上書きの確認: このﾌｫﾙﾀﾞには既に %1 ﾌｧｲﾙが存在します。 -> %2")
                    .arg(name, overwriteAll ? QStringLiteral("全て上書き(&A) (--overwrite all)")
                                            : QStringLiteral("いいえ(&N)")));
        return overwriteAll ? OverwriteAnswer::All : OverwriteAnswer::No;
    });
    // An interrupt is the progress window's "キャンセル": the message in hand goes back, and no result follows.
    CCancelFlag::clear();
    op.setCancelPoll([] { return CCancelFlag::isSet(); });
    const CMsgCopy::Summary s = op.Run(logic.kind(), logic.target(), rows, dir);
    if (s.busy) {
        return CCliCommands::Failed;
    }
    if (s.cancelled) {
        ui.note(QStringLiteral("kelda-cli: cancelled; the messages before the one in hand were %1")
                    .arg(move ? QStringLiteral("moved") : QStringLiteral("copied")));
        return CCliCommands::Failed;
    }
    return s.completed() ? CCliCommands::Ok : CCliCommands::Failed;
}
