#include "cli/CCliHelp.h"

#include "cli/CCliCommandTable.h"

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
One operation at a time changes a download folder, whether from kelda-cli or the desktop program. A command
that finds the folder in use stops with an error message (exit status 1), unless
  --wait SECONDS         it may wait that long for the folder first
Exit status: 0 the operation ended in its completion message; 1 it ended in an error message (or the
confirmation was answered no); 2 bad usage; 3 the unit could not be reached or refused the login.
Output that cannot all be written to standard output (a full disk, a closed stream) is exit status 1.
Messages go to stderr as "caption: text".
)";

const char* const kOverviewHead = R"(Usage: kelda-cli COMMAND [OPTIONS] ...

Commands:
)";

const char* const kOverviewTail = R"(
"kelda-cli COMMAND --help" describes a command.
)";

// The column the summaries of the overview start at, after the two spaces before a synopsis.
constexpr int SYNOPSIS_WIDTH = 29;

} // namespace

QString CCliHelp::connection() {
    return QString::fromUtf8(kConnection);
}

QString CCliHelp::status() {
    return QString::fromUtf8(kStatus);
}

QString CCliHelp::text(const QString& command) {
    if (const CCliCommandTable::Entry* entry = CCliCommandTable::find(command)) {
        return entry->help(entry->name);
    }
    QString overview = QString::fromUtf8(kOverviewHead);
    for (const CCliCommandTable::Entry& e : CCliCommandTable::all()) {
        overview += QStringLiteral("  ") + e.synopsis.leftJustified(SYNOPSIS_WIDTH - 1) + QLatin1Char(' ') + e.summary +
                    QLatin1Char('\n');
    }
    return overview + QString::fromUtf8(kOverviewTail) + connection() + status();
}
