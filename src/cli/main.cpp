// kelda-cli: the download, list and conversion operations of the desktop program for scripts and scheduled
// backups.
#include "cli/CCliArgs.h"
#include "cli/CCliCommands.h"
#include "cli/CCliHelp.h"
#include "cli/CConsoleUi.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    CCliArgs args;
    const bool parsed = args.parse(app.arguments().mid(1));
    CConsoleUi ui(args.yes);
    if (parsed && args.help) {
        const QByteArray text = CCliHelp::text(args.command).toUtf8();
        std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
        return CCliCommands::Ok;
    }
    if (!parsed) {
        ui.note(QStringLiteral("kelda-cli: %1 (see kelda-cli --help)").arg(args.error));
        return CCliCommands::Usage;
    }
    CCliCommands commands(args, ui);
    return commands.run();
}
