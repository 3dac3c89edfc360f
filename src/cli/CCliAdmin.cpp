#include "cli/CCliAdmin.h"

#include "admin/CAdminTexts.h"
#include "admin/CBoxNameRules.h"
#include "admin/CNameImport.h"
#include "admin/CRegisterGate.h"
#include "cli/CCliArgs.h"
#include "cli/CCliCommandTable.h"
#include "cli/CCliCommands.h"
#include "cli/CConsoleUi.h"
#include "platform/CCancelFlag.h"
#include "store/BoxKind.h"
#include "store/CFileMng.h"
#include "store/CFolderLock.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

namespace {

const char* const kImportNames = R"(Usage: kelda-cli import-names DIR FILE.csv [--yes]

Imports an extension phone book into the box names of the download folder DIR's extension boxes
(DIR/naisen/NNNN/inf.ini), as the desktop program's "内線ボックス名称をインポートする..." does.
FILE.csv is CP932 text with LF, CR LF or CR line ends; its first two lines are a header. In each
later line the fields are separated by "," (no quoting): the first is ignored, the second is the box
number, and a field from the third on that a "," ends is the box's name (the last such field wins; a
field keeps at most 64 characters). A line is skipped, and counted with its reason, when its box
number names no box folder of DIR/naisen, when it gives no name, or when its name breaks the box name
rule (more than 10 bytes in CP932, or a character or byte CP932 lacks): a name is never cut or changed.
Answering-machine boxes are never changed. An interrupt takes every change back.
  --yes   answer yes to the confirmation; without it the command only asks and stops
)";

const char* const kBoxName = R"(Usage: kelda-cli box-name DIR rusuroku/NNNN|naisen/NNNN NAME [--yes]

Sets the box name of one box folder of the download folder DIR, as the box name editor does.
NAME is at most 10 bytes in CP932 (five double-byte characters) and holds no ","; an empty NAME
("") clears the name. A name with a character CP932 lacks (an emoji, "é") is refused, never stored
with "?" in its place; a refused name is exit status 2 with the reason.
  --yes   answer yes to the confirmation; without it the command only asks and stops
)";

const char* const kStatus = R"(
Exit status: 0 the operation ended in its completion message; 1 it ended in an error message (or the
confirmation was answered no); 2 bad usage or a refused entry.
Messages go to stderr as "caption: text".
)";

} // namespace

QString CCliAdmin::ImportNamesHelp() {
    return QString::fromUtf8(kImportNames) + QString::fromUtf8(kStatus);
}

QString CCliAdmin::BoxNameHelp() {
    return QString::fromUtf8(kBoxName) + QString::fromUtf8(kStatus);
}

bool CCliAdmin::onlyOptions() {
    const QStringList& allowed = CCliCommandTable::find(m_args.command)->options;
    for (const QString& name : m_args.given) {
        if (!allowed.contains(name)) {
            usage(QStringLiteral("%1 takes no --%2").arg(m_args.command, name));
            return false;
        }
    }
    return true;
}

int CCliAdmin::usage(const QString& problem) {
    m_ui.note(QStringLiteral("kelda-cli: %1 (see kelda-cli %2 --help)").arg(problem, m_args.command));
    return CCliCommands::Usage;
}

QString CCliAdmin::folderOperand(qsizetype operandCount, const QString& takes) {
    if (!onlyOptions()) {
        return QString();
    }
    if (m_args.operands.size() != operandCount) {
        usage(takes);
        return QString();
    }
    const QFileInfo info(m_args.operands.first());
    if (!info.isDir()) {
        usage(QStringLiteral("%1 is not a folder").arg(m_args.operands.first()));
        return QString();
    }
    return QDir::cleanPath(info.absoluteFilePath());
}

int CCliAdmin::importNames() {
    const QString dir = folderOperand(2, QStringLiteral("import-names takes DIR and FILE.csv"));
    if (dir.isEmpty()) {
        return CCliCommands::Usage;
    }
    if (CFileMng::FolderHasMessages(dir) == CFileMng::FolderMessages::NoBoxFolders) {
        m_ui.messageBox(CAdminTexts::NoBoxFolders(), CAdminTexts::ErrorCaption(), MsgIcon::Exclamation);
        return CCliCommands::Failed;
    }
    CFolderLock lock;
    if (CRegisterGate::Begin(m_ui, lock, dir) != CRegisterGate::Start::Go) {
        return CCliCommands::Failed;
    }
    // The flag is not cleared here: an interrupt that came before the run began stops it before its first line.
    CNameImport run(dir);
    run.cancelled = [] { return CCancelFlag::isSet(); };
    const CNameImport::Outcome out = run.run(m_args.operands[1]);
    // The folder is free before the last word: a person who leaves the message open holds up no other run.
    lock.release();
    switch (out.result) {
    case CNameImport::Result::Completed: {
        const std::pair<int, QString> skipped[] = {
            {out.skippedNoBox, QStringLiteral("named no box folder of %1/naisen").arg(dir)},
            {out.skippedNoName, QStringLiteral("gave no name ended by \",\"")},
            {out.skippedTooLong,
             QStringLiteral("gave a name longer than %1 bytes in CP932").arg(CBoxNameRules::BOX_NAME_MAX_BYTES)},
            {out.skippedNotCp932, QStringLiteral("gave a name with a character or byte CP932 lacks")},
        };
        for (const auto& [count, why] : skipped) {
            if (count > 0) {
                m_ui.note(QStringLiteral("kelda-cli: %1 line(s) %2 and were skipped").arg(count).arg(why));
            }
        }
        m_ui.messageBox(CAdminTexts::ImportDoneWith(out.linesTaken, out.skippedNoBox, out.skippedNoName,
                                                    out.skippedTooLong, out.skippedNotCp932,
                                                    CBoxNameRules::BOX_NAME_MAX_BYTES),
                        CAdminTexts::ImportDoneCaption(), MsgIcon::Information);
        return CCliCommands::Ok;
    }
    case CNameImport::Result::Cancelled:
        m_ui.note(QStringLiteral("kelda-cli: import cancelled; every box name was put back"));
        break;
    case CNameImport::Result::Unreadable:
    case CNameImport::Result::WriteFailed:
        for (const QString& box : out.failed) {
            m_ui.note(QStringLiteral("kelda-cli: %1 could not be written or put back").arg(box));
        }
        m_ui.messageBox(CAdminTexts::ImportError(), CAdminTexts::ErrorCaption(), MsgIcon::Exclamation);
        break;
    }
    return CCliCommands::Failed;
}

int CCliAdmin::boxName() {
    const QString dir = folderOperand(3, QStringLiteral("box-name takes DIR, rusuroku/NNNN or naisen/NNNN, and NAME"));
    if (dir.isEmpty()) {
        return CCliCommands::Usage;
    }
    const QString box = m_args.operands[1];
    const qsizetype slash = box.indexOf(QLatin1Char('/'));
    const QString kind = box.left(slash);
    const QString number = slash < 0 ? QString() : box.mid(slash + 1);
    const std::optional<BoxKind> kindOf = boxKindOfDir(kind);
    const bool kindOk = kindOf.has_value();
    const QString folder = CFileMng::Join(CFileMng::Join(dir, kind), number);
    if (!kindOk || !CBoxNameRules::IsPlainBoxNumber(number) || !QFileInfo(folder).isDir()) {
        return usage(QStringLiteral("%1 is not a box folder of %2 (rusuroku/NNNN or naisen/NNNN)").arg(box, dir));
    }
    const QString name = m_args.operands[2];
    // A name that cannot be stored as given is refused with the reason; nothing is written.
    if (const auto problem = CBoxNameRules::CheckBoxName(name); problem != CBoxNameRules::BoxNameProblem::None) {
        m_ui.messageBox(CAdminTexts::InputErrorAt(box, CBoxNameRules::BoxNameProblemText(name, problem)),
                        CAdminTexts::ErrorCaption(), MsgIcon::Exclamation);
        return CCliCommands::Usage;
    }
    CFolderLock lock;
    if (CRegisterGate::Begin(m_ui, lock, dir) != CRegisterGate::Start::Go) {
        return CCliCommands::Failed;
    }
    const bool named = CFileMng::SetBoxName(folder, name);
    lock.release();
    if (!named) {
        m_ui.messageBox(CAdminTexts::BoxNameFailed({CAdminTexts::KindLabel(kindOf == BoxKind::AnsweringMachine) +
                                                    QStringLiteral("：") + number}),
                        CAdminTexts::ErrorCaption(), MsgIcon::Exclamation);
        return CCliCommands::Failed;
    }
    m_ui.messageBox(CAdminTexts::BoxNameDone(), CAdminTexts::BoxNameDoneCaption(), MsgIcon::Information);
    return CCliCommands::Ok;
}
