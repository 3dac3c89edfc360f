// kelda-cli: the download, list and conversion operations of the desktop program for scripts and scheduled
// backups.
#include "cli/CCliArgs.h"
#include "cli/CCliCommands.h"
#include "cli/CCliHelp.h"
#include "cli/CConsoleUi.h"

#include "platform/CCancelFlag.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

// The first interrupt is the progress window's "キャンセル": the running operation stops at its next poll and
// cleans up as it does for the button. A second one ends the program at once.
void onInterrupt(int) {
    CCancelFlag::set(1);
    static const char text[] = "\nkelda-cli: cancelling (interrupt again to stop at once)\n";
    [[maybe_unused]] const ssize_t n = write(STDERR_FILENO, text, sizeof(text) - 1);
    std::signal(SIGINT, SIG_DFL);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (app.arguments().mid(1) == QStringList{QStringLiteral("--version")}) {
        std::puts(KELDA_VERSION_TEXT);
        return CCliCommands::Ok;
    }
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
    struct sigaction interrupt = {};
    interrupt.sa_handler = onInterrupt;
    interrupt.sa_flags = SA_RESTART;
    sigaction(SIGINT, &interrupt, nullptr);
    CCliCommands commands(args, ui);
    return commands.run();
}
