#include "cli/CCliVerify.h"

#include "cli/CCliCommands.h"
#include "cli/CConsoleUi.h"
#include "link/CFtpMng.h"
#include "operations/CFolderCheck.h"
#include "operations/CFolderCheckLogic.h"
#include "operations/CFolderRepair.h"
#include "operations/COperationTexts.h"
#include "operations/CUnitCompare.h"
#include "platform/CCancelFlag.h"
#include "store/CFileMng.h"

#include <QFileInfo>
#include <QStringList>

#include <cstdio>

namespace {

void writeOut(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

QString oneLine(QString text) {
    for (QChar& c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t')) {
            c = QLatin1Char(' ');
        }
    }
    return text;
}

QByteArray tabLine(const QStringList& fields) {
    QStringList cells;
    for (const QString& f : fields) {
        cells << oneLine(f);
    }
    return cells.join(QLatin1Char('\t')).toUtf8() + '\n';
}

// The findings as they are written: CSV for a spreadsheet, else one tab-separated line each.
QByteArray findingLines(const std::vector<CHECK_FINDING>& findings, bool csv) {
    if (csv) {
        return CFolderCheckLogic::CsvBytes(findings);
    }
    QByteArray out;
    for (const CHECK_FINDING& f : findings) {
        out += tabLine({CHECK_FINDING::kindName(f.kind), f.path, f.problem, f.advice});
    }
    return out;
}

// The closing line: what was looked at, then the findings by kind.
QString summaryLine(const CFolderCheck::Report& report, bool withUnit, const QString& unitProblem, bool repair,
                    int remaining) {
    const auto counts = report.counts();
    QStringList byKind;
    for (int k = 0; k < int(CHECK_FINDING::Kind::KindCount); ++k) {
        if (counts[k] > 0) {
            byKind << QStringLiteral("%1 %2").arg(CHECK_FINDING::kindName(CHECK_FINDING::Kind(k))).arg(counts[k]);
        }
    }
    QString summary = QStringLiteral("verify: %1 box folders, %2 messages%3: ")
                          .arg(report.boxFolders)
                          .arg(report.messages)
                          .arg(!withUnit               ? QString()
                               : unitProblem.isEmpty() ? QStringLiteral(", compared with the unit")
                                                       : QStringLiteral(", not compared with the unit"));
    summary +=
        report.findings.empty()
            ? QStringLiteral("nothing wrong")
            : QStringLiteral("%1 findings (%2)").arg(report.findings.size()).arg(byKind.join(QStringLiteral(", ")));
    if (repair) {
        summary += QStringLiteral("; after the repair %1 findings remain").arg(remaining);
    }
    if (report.deletedOnPc > 0) {
        summary += QStringLiteral("; %1 messages deleted on the PC alone are still on the unit (download "
                                  "--include-deleted brings them back)")
                       .arg(report.deletedOnPc);
    }
    return summary;
}

} // namespace

QString CCliVerify::help() {
    return QStringLiteral(
        "Usage: kelda-cli verify DIR [--csv] [--repair]\n"
        "                        [--unit HOST --user NAME [--password-file FILE] [--yes]]\n"
        "\n"
        "Checks the download folder DIR and writes one line per finding (kind, path, what is wrong, what to\n"
        "do; tab separated), then a summary line with the counts:\n"
        "  record          a record that is not well-formed (text fields, date and time texts, status bytes)\n"
        "  cut             a message file that is not its record, the unit's header and whole 10-byte frames\n"
        "  header          the unit's header and the record disagree on a fact both hold\n"
        "  pair            the .vminf and .vmdat of a message disagree on the message\n"
        "  wav-incomplete  a WAV file whose header lengths do not fit its size\n"
        "  wav-mismatch    a WAV file whose samples do not match the voice data's frames\n"
        "  inf-ini         a box folder's inf.ini missing or unreadable\n"
        "  box-name        a box folder name the unit could not have\n"
        "  stray           a file that is no message, WAV or inf.ini\n"
        "  leftover        a temporary file left by an interrupted write\n"
        "  unreadable      a file or folder that cannot be read\n"
        "With --unit the unit's boxes are listed (nothing on the unit changes) and also reported:\n"
        "  not-on-pc       a message of the unit the PC does not have\n"
        "  info-only       the PC holds the recording information only, the unit has the voice data\n"
        "  shorter         the PC's voice file is shorter than the unit lists it\n"
        "  --csv      the findings as CSV lines (CP932) for a spreadsheet; the summary goes to stderr\n"
        "  --repair   fetch missing and cut voice files again (needs --unit), convert WAV files that do\n"
        "             not match again, remove leftover temporary files; one line per action. Message files\n"
        "             are never deleted. Asks first; --yes answers.\n"
        "Exit status: 0 nothing wrong (or everything mended), 1 something is wrong, 2 bad usage, 3 the unit\n"
        "could not be reached or refused the login.\n");
}

int CCliVerify::run() {
    CCliCommands& c = m_commands;
    const CCliArgs& args = c.m_args;
    if (!c.onlyOptions()) {
        return CCliCommands::Usage;
    }
    if (args.operands.size() > 1) {
        return c.usage(QStringLiteral("verify takes one DIR"));
    }
    const QString dir = c.downloadFolder();
    if (dir.isEmpty()) {
        return CCliCommands::Usage;
    }
    if (!CFileMng::IsDownloadFolder(dir)) {
        return c.usage(QStringLiteral("%1 is not a download folder (it has no rusuroku and naisen folders)").arg(dir));
    }
    const bool withUnit = args.given.contains(QStringLiteral("unit"));
    const bool repair = args.given.contains(QStringLiteral("repair"));
    for (const QString& option : CCliCommands::unitOptions()) {
        if (!withUnit && args.given.contains(option)) {
            return c.usage(QStringLiteral("--user, --port and --password-file go with --unit"));
        }
    }
    if (withUnit) {
        if (const int s = c.checkLogin(); s != CCliCommands::Ok) {
            return s;
        }
    }
    if (repair && c.m_ui.messageBox(QStringLiteral("%1 を点検し、見つかった誤りを修復します。\nよろしいですか？")
                                        .arg(QFileInfo(dir).fileName()),
                                    COperationTexts::RepairConfirmCaption(), MsgIcon::Question,
                                    MsgButtons::YesNo) != MsgResult::Yes) {
        return CCliCommands::Failed;
    }

    CCancelFlag::clear();
    CFolderCheck::Report report = CFolderCheck::Run(
        dir, [](int, int) { return CCancelFlag::value() != 1; }, withUnit);
    if (report.cancelled) {
        c.m_ui.note(QStringLiteral("kelda-cli: verify cancelled; the folder was not checked whole"));
        return CCliCommands::Failed;
    }
    // Whatever the unit does, the local findings are written: a failed comparison only says it is missing.
    int unitStatus = CCliCommands::Ok;
    QString unitProblem;
    if (withUnit) {
        // Listing changes nothing on the unit, so the check logs in without --yes.
        if (c.connect() != CCliCommands::Ok) {
            unitStatus = CCliCommands::NoUnit;
            unitProblem = QStringLiteral("the unit could not be reached");
        } else {
            const CUnitCompare::Outcome compared = CUnitCompare::Run(*c.m_ftp, dir, report);
            if (compared != CUnitCompare::Outcome::Done) {
                unitStatus = CCliCommands::Failed;
                unitProblem = compared == CUnitCompare::Outcome::Cancelled
                                  ? QStringLiteral("cancelled while listing the unit")
                                  : QStringLiteral("the unit's listings could not be read");
            }
        }
    }

    writeOut(findingLines(report.findings, args.csv));

    // After mending, the folder is checked again: only what is found then is still wrong.
    int remaining = int(report.findings.size());
    if (!unitProblem.isEmpty()) {
        c.m_ui.note(QStringLiteral("kelda-cli: %1; the findings above are those of the PC alone%2")
                        .arg(unitProblem, repair ? QStringLiteral(", and nothing was repaired") : QString()));
    } else if (repair) {
        QByteArray lines;
        for (const CFolderRepair::Action& a :
             CFolderRepair::Run(&c.m_ui, withUnit ? c.m_ftp.get() : nullptr, dir, report.findings)) {
            lines += tabLine({a.done ? QStringLiteral("repaired") : QStringLiteral("not-repaired"), a.path, a.text});
        }
        writeOut(lines);
        CFolderCheck::Report again = CFolderCheck::Run(dir, {}, withUnit);
        if (withUnit && CUnitCompare::Run(*c.m_ftp, dir, again) != CUnitCompare::Outcome::Done) {
            c.m_ui.note(QStringLiteral("kelda-cli: the unit's listings could not be read after the repair"));
            return CCliCommands::Failed;
        }
        remaining = int(again.findings.size());
    }

    const QString summary = summaryLine(report, withUnit, unitProblem, repair, remaining);
    if (args.csv) {
        c.m_ui.note(summary);
    } else {
        writeOut(summary.toUtf8() + '\n');
    }
    if (unitStatus != CCliCommands::Ok) {
        return unitStatus;
    }
    return remaining == 0 ? CCliCommands::Ok : CCliCommands::Failed;
}
