#include "cli/CCliEdit.h"

#include "cli/CCliArgs.h"
#include "cli/CCliCommandTable.h"
#include "cli/CCliCommands.h"
#include "cli/CCliListFilter.h"
#include "cli/CConsoleUi.h"
#include "list/CInfoEditLogic.h"

#include <QFileInfo>

namespace {
int refuse(CConsoleUi& ui, const QString& problem) {
    ui.note(QStringLiteral("kelda-cli: %1 (see kelda-cli edit --help)").arg(problem));
    return CCliCommands::Usage;
}
} // namespace

int CCliEdit::run(const CCliArgs& args, CConsoleUi& ui) {
    const QStringList& allowed = CCliCommandTable::find(QStringLiteral("edit"))->options;
    for (const QString& name : args.given) {
        if (!allowed.contains(name)) {
            return refuse(ui, QStringLiteral("edit takes no --%1").arg(name));
        }
    }
    if (args.operands.size() != 1) {
        return refuse(ui, QStringLiteral("edit takes one message file"));
    }
    const QString given = args.operands.first();
    if (!QFileInfo(given).isFile()) {
        return refuse(ui, QStringLiteral("%1 is not a file").arg(given));
    }
    // The box folder is the directory the file is named in (a symbolic link's own, whose target is written).
    const QString file = QFileInfo(given).absoluteFilePath();
    CInfoEditLogic logic(ui, file);
    if (!logic.readOk()) {
        ui.note(QStringLiteral("kelda-cli: %1 holds no recording record").arg(given));
        return CCliCommands::Failed;
    }
    CInfoEditLogic::Entries& e = logic.entries();
    auto text = [&](const char* name, QString& field) {
        if (args.given.contains(QLatin1String(name))) {
            field = args.values.value(QLatin1String(name));
        }
    };
    text("title", e.title);
    text("caller-no", e.callerNo);
    text("caller-name", e.callerName);
    text("memo", e.memo);
    for (const auto& [name, field] : {std::pair<const char*, bool*>{"protect", &e.protect}, {"flag", &e.flag}}) {
        if (args.given.contains(QLatin1String(name))) {
            bool ok = false;
            *field = CCliListFilter::yesNo(args.values.value(QLatin1String(name)), ok);
            if (!ok) {
                return refuse(ui, QStringLiteral("--%1 takes yes or no").arg(QLatin1String(name)));
            }
        }
    }
    if (const QString problem = logic.entriesProblem(); !problem.isEmpty()) {
        ui.note(QStringLiteral("kelda-cli: --%1; nothing was written").arg(problem));
    }
    switch (logic.accept()) {
    case CInfoEditLogic::Outcome::Written:
        return CCliCommands::Ok;
    case CInfoEditLogic::Outcome::Refused:
        return CCliCommands::Usage;
    case CInfoEditLogic::Outcome::NotWritten:
    case CInfoEditLogic::Outcome::Declined:
        break;
    }
    return CCliCommands::Failed;
}
