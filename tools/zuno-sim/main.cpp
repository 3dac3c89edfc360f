// zuno-sim: a small FTP service laid out like the voice-mail unit, for tests and benchmarks.
#include "CSimFaults.h"
#include "CSimSession.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

volatile sig_atomic_t g_stop = 0;

void onStop(int) {
    g_stop = 1;
}

const char* kHelp =
    "usage: zuno-sim --root DIR [--port N] [--user NAME:PASSWORD]... [--password P]\n"
    "                [--faults FILE] [--fault RULE]... [--transcript FILE] [--verbose]\n"
    "\n"
    "Serves DIR over FTP on 127.0.0.1, laid out like the unit: DIR/rusuroku/BOX/files and\n"
    "DIR/naisen/BOX/files. Active mode only (PORT). Commands: USER PASS PORT CWD (also \"CWD ../\")\n"
    "PWD NLST [-l] [GLOB] RETR DELE ABOR QUIT, and NOOP TYPE SYST CDUP LIST. Transfers answer 150 then 226;\n"
    "a listing with nothing to list is answered 550. DELE of a message's .vminf deletes the message, its\n"
    ".vmdat too, as the unit does.\n"
    "\n"
    "  --root DIR         folder to serve (required)\n"
    "  --port N           port to listen on; 0 (default) takes a free one\n"
    "  --user NAME:PW     an account; repeatable. Without any, the accounts are mirta and parvol\n"
    "  --password P       password of the default accounts (default: zuno)\n"
    "  --faults FILE      fault rules, one per line ('#' comments); re-read at the start of every session\n"
    "  --fault RULE       one fault rule; repeatable\n"
    "  --transcript FILE  every command line received is appended to FILE, one per line\n"
    "  --verbose          commands are also echoed on stderr\n"
    "\n"
    "The first line on stdout is 'listening on 127.0.0.1:PORT'. Each connection is served by its own\n"
    "process, so sessions may overlap. SIGTERM or SIGINT stops the service and its sessions.\n"
    "\n"
    "Fault rules:  [session=N] [times=K] VERB [arg=PATTERN] ACTION\n"
    "  VERB is a command (USER, PASS, PORT, CWD, NLST, RETR, DELE, ABOR, PWD, QUIT...) or 'greeting'.\n"
    "  arg= matches the command's argument exactly or as a shell pattern. session= limits the rule to the\n"
    "  N-th connection (1-based); times= to its first K uses within a session.\n"
    "  Actions:\n"
    "    reply CODE [TEXT]     answer with this code instead of doing the command\n"
    "    raw TEXT              answer with this exact line (CR LF added); \\r, \\n and \\\\ in TEXT stand for\n"
    "                          CR, LF and a backslash\n"
    "    silence SECONDS       wait before handling the command (or the greeting)\n"
    "    close                 close the control connection instead of answering ('greeting close':\n"
    "                          after the greeting)\n"
    "    hangup                close the control connection at once ('greeting hangup': no greeting)\n"
    "    multiline             give the normal answer as a multi-line reply\n"
    "    split-final MS        (transfers) send the reply that ends the transfer in two pieces, its first\n"
    "                          character and MS milliseconds later the rest\n"
    "    cut-data BYTES        (transfers) close the data connection after BYTES, then 226\n"
    "    abort-data BYTES      (transfers) close the data connection after BYTES, then 426\n"
    "    drop BYTES            (transfers) after BYTES close data and control connections\n"
    "    stall-data BYTES S    (transfers) after BYTES keep the data connection silent for S seconds\n"
    "    slow-data BPS         (transfers) send the data at BPS bytes a second, still looking at ABOR\n"
    "    no-connect            (transfers) answer 150 but never open the data connection nor close the\n"
    "                          transfer\n"
    "    endless-data          (transfers) send the data over and over until the client aborts or hangs up\n"
    "    stray-data            (transfers) before the data connection, connect to the client from\n"
    "                          127.0.0.2 and send junk on that connection\n"
    "    final CODE [TEXT]     (transfers) end a whole transfer with this reply instead of 226; a TEXT that\n"
    "                          begins with \"-\" follows the code at once; escapes as for raw\n"
    "    nul-in-name N         (listings) put a NUL byte in the middle of the N-th name (1-based)\n"
    "    long-line BYTES       (listings) put a line of BYTES 'x' characters before the names\n"
    "  'greeting close' sends the greeting and closes; 'PORT reply 500' refuses PORT;\n"
    "  'DELE arg=/naisen/0001/* reply 450' reports files in use.\n";

} // namespace

int main(int argc, char** argv) {
    SimConfig config;
    int port = 0;
    std::string faultsPath;
    std::string transcriptPath;
    std::string password = "zuno";
    CSimFaults cmdRules;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](const char* name) -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "zuno-sim: %s needs a value\n", name);
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--help" || a == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        } else if (a == "--root") {
            config.root = value("--root");
        } else if (a == "--port") {
            port = std::atoi(value("--port").c_str());
        } else if (a == "--user") {
            std::string u = value("--user");
            size_t colon = u.find(':');
            if (colon == std::string::npos) {
                std::fprintf(stderr, "zuno-sim: --user takes NAME:PASSWORD\n");
                return 2;
            }
            config.users.emplace_back(u.substr(0, colon), u.substr(colon + 1));
        } else if (a == "--password") {
            password = value("--password");
        } else if (a == "--faults") {
            faultsPath = value("--faults");
        } else if (a == "--fault") {
            SimRule rule;
            std::string error;
            if (!CSimFaults::parseLine(value("--fault"), rule, error)) {
                std::fprintf(stderr, "zuno-sim: --fault: %s\n", error.c_str());
                return 2;
            }
            cmdRules.add(rule);
        } else if (a == "--transcript") {
            transcriptPath = value("--transcript");
        } else if (a == "--verbose") {
            config.verbose = true;
        } else {
            std::fprintf(stderr, "zuno-sim: unknown option %s (see --help)\n", a.c_str());
            return 2;
        }
    }
    if (config.root.empty()) {
        std::fprintf(stderr, "zuno-sim: --root is required (see --help)\n");
        return 2;
    }
    while (config.root.size() > 1 && config.root.back() == '/') {
        config.root.pop_back();
    }
    if (config.users.empty()) {
        config.users.emplace_back("mirta", password);
        config.users.emplace_back("parvol", password);
    }
    if (!transcriptPath.empty()) {
        config.transcriptFd = ::open(transcriptPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (config.transcriptFd < 0) {
            std::fprintf(stderr, "zuno-sim: cannot open %s: %s\n", transcriptPath.c_str(), std::strerror(errno));
            return 1;
        }
    }
    if (!faultsPath.empty()) {
        CSimFaults check;
        std::string error;
        if (!check.load(faultsPath, error)) {
            std::fprintf(stderr, "zuno-sim: %s\n", error.c_str());
            return 2;
        }
    }

    struct sigaction sa {};
    sa.sa_handler = onStop;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);

    int lfd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    setsockopt(lfd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<unsigned short>(port));
    if (lfd < 0 || ::bind(lfd, reinterpret_cast<struct sockaddr*>(&addr), sizeof addr) != 0 || ::listen(lfd, 16) != 0) {
        std::fprintf(stderr, "zuno-sim: cannot listen on port %d: %s\n", port, std::strerror(errno));
        return 1;
    }
    socklen_t len = sizeof addr;
    getsockname(lfd, reinterpret_cast<struct sockaddr*>(&addr), &len);
    std::printf("listening on 127.0.0.1:%d\n", ntohs(addr.sin_port));
    std::fflush(stdout);

    std::set<pid_t> children;
    int sessions = 0;
    while (!g_stop) {
        pollfd p = {lfd, POLLIN, 0};
        int r = ::poll(&p, 1, 200);
        while (true) {
            pid_t done = ::waitpid(-1, nullptr, WNOHANG);
            if (done <= 0) {
                break;
            }
            children.erase(done);
        }
        if (r <= 0) {
            continue;
        }
        int cfd = ::accept4(lfd, nullptr, nullptr, SOCK_CLOEXEC);
        if (cfd < 0) {
            continue;
        }
        ++sessions;
        pid_t pid = ::fork();
        if (pid == 0) {
            ::close(lfd);
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            signal(SIGTERM, SIG_DFL);
            signal(SIGINT, SIG_DFL);
            CSimFaults faults = cmdRules;
            std::string error;
            if (!faultsPath.empty() && !faults.load(faultsPath, error)) {
                std::fprintf(stderr, "zuno-sim: %s\n", error.c_str());
            }
            {
                CSimSession session(cfd, sessions, config, faults);
                session.run();
            }
            ::_exit(0);
        }
        ::close(cfd);
        if (pid > 0) {
            children.insert(pid);
        }
    }
    for (pid_t pid : children) {
        ::kill(pid, SIGTERM);
    }
    for (pid_t pid : children) {
        ::waitpid(pid, nullptr, 0);
    }
    ::close(lfd);
    return 0;
}
