#include "cli/CCliDelete.h"

#include "cli/CCliCommands.h"
#include "cli/CCliMessageFiles.h"
#include "cli/CConsoleUi.h"
#include "link/CFtpMng.h"
#include "operations/CDelKindSetLogic.h"
#include "operations/CMsgDelete.h"
#include "operations/CUnitCompare.h"
#include "shell/CKELDADoc.h"

QString CCliDelete::help() {
    return QStringLiteral(
        "Usage: kelda-cli delete DIR FILE... --kind unit|both|pc [--yes]\n"
        "                        [--unit HOST --user NAME [--password-file FILE]]\n"
        "\n"
        "Deletes the messages of the download folder DIR given by their files (NAME.vmdat, or NAME.vminf for\n"
        "one downloaded as recording information only), as the list window's \"消去\" does:\n"
        "  --kind unit   on the unit only (\"ＺＵＮＯのみ\"); the message stays on the PC, marked as deleted there\n"
        "  --kind both   on the unit and the PC (\"ＺＵＮＯとＰＣ\"); PC files first, and a message whose PC\n"
        "                files cannot all be removed stays on the unit too\n"
        "  --kind pc     on the PC only (\"ＰＣのみ\"); needs no unit\n"
        "A message is only deleted on the unit when its voice data is on the PC and its file name carries the\n"
        "box number of its folder; protected messages are never deleted. The exit status is 1 unless every\n"
        "message was deleted as asked and every record that had to be marked could be.\n"
        "  --verified    with --kind unit: only messages whose voice file passes the checks of kelda-cli\n"
        "                verify and is as long as the unit lists it; the others are named and left alone\n");
}

int CCliDelete::run() {
    CCliCommands& c = m_commands;
    const CCliArgs& args = c.m_args;
    const QString kindText = args.kind;
    if (kindText != QLatin1String("unit") && kindText != QLatin1String("both") && kindText != QLatin1String("pc")) {
        return c.usage(QStringLiteral("delete needs --kind unit, both or pc"));
    }
    const CMsgDelete::Kind kind = kindText == QLatin1String("unit")   ? CMsgDelete::Kind::UnitOnly
                                  : kindText == QLatin1String("both") ? CMsgDelete::Kind::UnitAndPc
                                                                      : CMsgDelete::Kind::PcOnly;
    const bool verified = args.given.contains(QStringLiteral("verified"));
    if (verified && kind != CMsgDelete::Kind::UnitOnly) {
        return c.usage(QStringLiteral("--verified goes with --kind unit"));
    }
    // A deletion on the PC alone needs no unit.
    QStringList allowed = c.m_entry->options;
    if (kind == CMsgDelete::Kind::PcOnly) {
        for (const QString& option : CCliCommands::unitOptions()) {
            allowed.removeAll(option);
        }
    }
    if (!c.onlyOptions(allowed)) {
        return CCliCommands::Usage;
    }
    QString dir;
    std::vector<FILESTS_INFO> rows;
    if (!CCliMessageFiles::Read(c, dir, rows)) {
        return CCliCommands::Usage;
    }
    if (kind != CMsgDelete::Kind::PcOnly) {
        if (const int s = c.checkLogin(); s != CCliCommands::Ok) {
            return s;
        }
    }
    CKELDADoc doc;
    doc.loggedIn = kind != CMsgDelete::Kind::PcOnly ? 1 : 0;
    CDelKindSetLogic logic(c.m_ui, doc);
    logic.setChosenCount(int(rows.size()));
    logic.tick();
    if (logic.choose(kind) != DlgOutcome::EndOk) {
        return CCliCommands::Failed;
    }
    CMsgDelete::UnitDelete unit = [](const QString&, const QString&) { return UnitResult::CommFailure; };
    if (kind != CMsgDelete::Kind::PcOnly) {
        if (const int s = c.login(); s != CCliCommands::Ok) {
            return s;
        }
        unit = CMsgDelete::Through(*c.m_ftp);
    }
    bool unverified = false;
    if (verified) {
        for (const CUnitCompare::Unverified& u : CUnitCompare::KeepVerified(*c.m_ftp, rows)) {
            c.m_ui.note(QStringLiteral("kelda-cli: %1 not deleted: %2").arg(u.file, u.reason));
            unverified = true;
        }
        if (rows.empty()) {
            c.m_ui.note(QStringLiteral("kelda-cli: no message passed the checks; nothing was deleted"));
            return CCliCommands::Failed;
        }
    }
    const CMsgDelete::Summary summary = CMsgDelete::Run(c.m_ui, kind, rows, dir + QLatin1Char('/'), unit);
    return summary.completed() && !unverified ? CCliCommands::Ok : CCliCommands::Failed;
}
