// kelda-cli: the download, list and conversion operations of the desktop program for scripts and scheduled
// backups.
#include "audio/CAudioDeviceOutput.h"
#include "cli/CCliArgs.h"
#include "cli/CCliCommands.h"
#include "cli/CCliHelp.h"
#include "cli/CConsoleUi.h"

#include "platform/CCancelFlag.h"

#include <QCoreApplication>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
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

// A standard stream the caller closed gets a descriptor that takes no writes: otherwise the next file or event
// descriptor opened would take its number, and what is meant for standard output would land there unseen.
void holdClosedStandardStreams() {
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            // The lowest free number is fd itself, the ones below it being open by now.
            [[maybe_unused]] const int held = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        }
    }
}

// Help and version text to standard output; a write that fails is said on stderr and is exit status 1.
int writeText(const QByteArray& text, CConsoleUi& ui) {
    if (std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout) ==
            static_cast<size_t>(text.size()) &&
        std::fflush(stdout) == 0) {
        return CCliCommands::Ok;
    }
    ui.note(QStringLiteral("kelda-cli: cannot write to standard output: %1")
                .arg(QString::fromLocal8Bit(std::strerror(errno))));
    return CCliCommands::Failed;
}

int run(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (app.arguments().mid(1) == QStringList{QStringLiteral("--version")}) {
        CConsoleUi ui(false);
        return writeText(QByteArrayLiteral(KELDA_VERSION_TEXT "\n"), ui);
    }
    CCliArgs args;
    const bool parsed = args.parse(app.arguments().mid(1));
    CConsoleUi ui(args.yes);
    if (parsed && args.help) {
        return writeText(CCliHelp::text(args.command).toUtf8(), ui);
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

} // namespace

int main(int argc, char* argv[]) {
    holdClosedStandardStreams();
    CAudioDeviceOutput::endProcess(run(argc, argv));
}
