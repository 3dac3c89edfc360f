#include "CSimSession.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

const char* kPreActions = "reply,raw,silence,close,hangup,multiline,split-final";
const char* kTransferActions = "cut-data,abort-data,drop,stall-data,slow-data,no-connect,endless-data,stray-data";

std::string upper(std::string s) {
    for (auto& c : s) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return s;
}

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::string defaultText(int code) {
    switch (code) {
    case 150:
        return "Opening data connection.";
    case 200:
        return "Command okay.";
    case 221:
        return "Goodbye.";
    case 226:
        return "Transfer complete.";
    case 230:
        return "User logged in.";
    case 250:
        return "Requested file action okay, completed.";
    case 331:
        return "User name okay, need password.";
    case 425:
        return "Can't open data connection.";
    case 426:
        return "Connection closed; transfer aborted.";
    case 450:
        return "Requested file action not taken. File busy.";
    case 500:
        return "Syntax error, command unrecognized.";
    case 501:
        return "Syntax error in parameters or arguments.";
    case 502:
        return "Command not implemented.";
    case 530:
        return "Not logged in.";
    case 550:
        return "Requested action not taken. No such file or directory.";
    default:
        return "Reply.";
    }
}

} // namespace

CSimSession::CSimSession(int controlFd, int number, const SimConfig& config, CSimFaults& faults)
    : m_fd(controlFd), m_number(number), m_config(config), m_faults(faults) {}

CSimSession::~CSimSession() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

void CSimSession::pause(int seconds) {
    timespec ts = {seconds, 0};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

void CSimSession::record(const std::string& line) {
    if (m_config.transcriptFd >= 0) {
        std::string out = line + "\n";
        // One write per line so that concurrent sessions never tear each other's lines.
        ssize_t n = ::write(m_config.transcriptFd, out.data(), out.size());
        (void)n;
    }
    if (m_config.verbose) {
        std::fprintf(stderr, "[%d] %s\n", m_number, line.c_str());
    }
}

bool CSimSession::sendText(const std::string& text) {
    return writeAll(m_fd, text.data(), text.size());
}

bool CSimSession::reply(int code, const std::string& text) {
    const std::string body = text.empty() ? defaultText(code) : text;
    std::string out;
    if (m_multiline) {
        m_multiline = false;
        out = std::to_string(code) + "-First line of a longer answer.\r\n";
        out += " continued without a code.\r\n";
    }
    out += std::to_string(code) + " " + body + "\r\n";
    return sendText(out);
}

bool CSimSession::finalReply(int code, const std::string& text) {
    const int splitMs = m_splitFinalMs;
    m_splitFinalMs = 0;
    if (splitMs <= 0) {
        return reply(code, text);
    }
    const std::string out = std::to_string(code) + " " + (text.empty() ? defaultText(code) : text) + "\r\n";
    if (!sendText(out.substr(0, 1))) {
        return false;
    }
    timespec ts = {splitMs / 1000, (splitMs % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
    return sendText(out.substr(1));
}

CSimSession::Line CSimSession::readLine(std::string& line) {
    for (;;) {
        size_t pos = m_in.find('\n');
        if (pos != std::string::npos) {
            line = m_in.substr(0, pos);
            m_in.erase(0, pos + 1);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            return Line::Ok;
        }
        char buf[4096];
        ssize_t n = ::recv(m_fd, buf, sizeof buf, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return Line::Closed;
        }
        m_in.append(buf, static_cast<size_t>(n));
    }
}

std::string CSimSession::virtualPath(const std::string& arg, bool* escaped) const {
    std::string joined = (!arg.empty() && arg[0] == '/') ? arg : m_cwd + "/" + arg;
    std::vector<std::string> parts;
    size_t i = 0;
    while (i <= joined.size()) {
        size_t j = joined.find('/', i);
        if (j == std::string::npos) {
            j = joined.size();
        }
        std::string seg = joined.substr(i, j - i);
        if (seg == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            } else if (escaped) {
                *escaped = true;
            }
        } else if (!seg.empty() && seg != ".") {
            parts.push_back(seg);
        }
        i = j + 1;
    }
    std::string out;
    for (const auto& p : parts) {
        out += "/" + p;
    }
    return out.empty() ? "/" : out;
}

std::string CSimSession::realPath(const std::string& vpath) const {
    return vpath == "/" ? m_config.root : m_config.root + vpath;
}

void CSimSession::run() {
    int one = 1;
    setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    bool greeted = false;
    std::vector<const SimRule*> used;
    while (!greeted) {
        const SimRule* rule = m_faults.take(m_number, "greeting", "", kPreActions, used);
        if (!rule) {
            break;
        }
        used.push_back(rule);
        if (rule->action == "silence") {
            pause(rule->number);
        } else if (rule->action == "multiline") {
            m_multiline = true;
        } else if (rule->action == "close") {
            // A greeting and then nothing: the connection is closed at once.
            reply(220, "ZUNO FTP service ready.");
            return;
        } else if (rule->action == "hangup") {
            return;
        } else {
            if (rule->action == "raw" ? !sendText(rule->text + "\r\n") : !reply(rule->number, rule->text)) {
                return;
            }
            greeted = true;
        }
    }
    if (!greeted && !reply(220, "ZUNO FTP service ready.")) {
        return;
    }
    std::string line;
    while (readLine(line) == Line::Ok) {
        record(line);
        size_t sp = line.find(' ');
        std::string verb = upper(line.substr(0, sp));
        std::string arg = sp == std::string::npos ? std::string() : line.substr(sp + 1);
        if (!handle(verb, arg)) {
            return;
        }
    }
}

bool CSimSession::handle(const std::string& verb, const std::string& arg) {
    if (verb == "USER") {
        m_user = arg;
        m_loggedIn = false;
    }
    std::vector<const SimRule*> used;
    for (;;) {
        const SimRule* rule = m_faults.take(m_number, verb, arg, kPreActions, used);
        if (!rule) {
            break;
        }
        used.push_back(rule);
        if (rule->action == "silence") {
            pause(rule->number);
        } else if (rule->action == "multiline") {
            m_multiline = true;
        } else if (rule->action == "split-final") {
            m_splitFinalMs = rule->number;
        } else if (rule->action == "close" || rule->action == "hangup") {
            return false;
        } else if (rule->action == "raw") {
            return sendText(rule->text + "\r\n");
        } else {
            if (verb == "PASS" && rule->number == 230) {
                m_loggedIn = true;
            }
            return reply(rule->number, rule->text);
        }
    }

    if (verb == "USER") {
        return reply(331, "");
    }
    if (verb == "PASS") {
        for (const auto& [name, password] : m_config.users) {
            if (name == m_user && password == arg) {
                m_loggedIn = true;
                return reply(230, "");
            }
        }
        m_loggedIn = false;
        return reply(530, "Login incorrect.");
    }
    if (verb == "QUIT") {
        reply(221, "");
        return false;
    }
    if (verb == "NOOP" || verb == "TYPE" || verb == "MODE" || verb == "STRU") {
        return reply(200, "");
    }
    if (verb == "SYST") {
        return reply(215, "UNIX Type: L8");
    }
    if (!m_loggedIn) {
        return reply(530, "");
    }
    if (verb == "PORT") {
        return doPort(arg);
    }
    if (verb == "CWD") {
        return doCwd(arg);
    }
    if (verb == "CDUP") {
        return doCwd("..");
    }
    if (verb == "PWD") {
        return reply(257, "\"" + m_cwd + "\" is the current directory.");
    }
    if (verb == "NLST" || verb == "LIST") {
        return doNlst(verb == "LIST" ? "-l " + arg : arg);
    }
    if (verb == "RETR") {
        return doRetr(arg);
    }
    if (verb == "DELE") {
        return doDele(arg);
    }
    if (verb == "ABOR") {
        return reply(m_aborted ? 226 : 225, m_aborted ? "ABOR command successful." : "No transfer to abort.");
    }
    return reply(502, "");
}

bool CSimSession::doPort(const std::string& arg) {
    unsigned v[6];
    if (std::sscanf(arg.c_str(), "%u,%u,%u,%u,%u,%u", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]) != 6 ||
        std::any_of(v, v + 6, [](unsigned x) { return x > 255; })) {
        return reply(501, "");
    }
    m_dataHost = (v[0] << 24) | (v[1] << 16) | (v[2] << 8) | v[3];
    m_dataPort = static_cast<unsigned short>((v[4] << 8) | v[5]);
    m_haveDataAddr = true;
    return reply(200, "PORT command successful.");
}

bool CSimSession::doCwd(const std::string& arg) {
    bool escaped = false;
    std::string v = virtualPath(arg, &escaped);
    struct stat st;
    // Climbing above the root is refused, so a client's "CWD ../" loop ends there.
    if (escaped || ::stat(realPath(v).c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return reply(550, "");
    }
    m_cwd = v;
    return reply(250, "CWD command successful.");
}

bool CSimSession::doNlst(const std::string& argIn) {
    std::string arg = argIn;
    bool longForm = false;
    if (arg == "-l" || arg.rfind("-l ", 0) == 0) {
        longForm = true;
        arg = arg.size() > 3 ? arg.substr(3) : std::string();
    }
    std::string dir = m_cwd;
    std::string pattern;
    if (arg.find_first_of("*?[") != std::string::npos) {
        pattern = arg;
    } else if (!arg.empty()) {
        dir = virtualPath(arg);
    }
    std::vector<std::string> names;
    if (DIR* d = ::opendir(realPath(dir).c_str())) {
        while (struct dirent* e = ::readdir(d)) {
            std::string name = e->d_name;
            if (name == "." || name == "..") {
                continue;
            }
            if (!pattern.empty() && fnmatch(pattern.c_str(), name.c_str(), 0) != 0) {
                continue;
            }
            names.push_back(name);
        }
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    if (names.empty()) {
        // The unit answers a listing with nothing to list by 550, not by an empty transfer.
        return reply(550, "No files found.");
    }
    std::string text;
    for (const auto& name : names) {
        if (longForm) {
            struct stat st;
            std::string full = realPath(dir) + "/" + name;
            if (::stat(full.c_str(), &st) != 0) {
                continue;
            }
            char buf[512];
            // Columns: 24 characters of mode, links and owner, the size in 9 characters at index 24, the date,
            // and the name last. No "." or "*" before the name: readers drop those characters.
            std::snprintf(buf, sizeof buf, "%-10s %3d %-4s %-4s%9lld Dec 08 10:15 %s\r\n",
                          S_ISDIR(st.st_mode) ? "drwxr-xr-x" : "-rw-r--r--", 1, "zuno", "vm",
                          static_cast<long long>(st.st_size), name.c_str());
            text += buf;
        } else {
            text += name + "\r\n";
        }
    }
    if (const SimRule* rule = m_faults.take(m_number, "NLST", argIn, "nul-in-name,long-line", {})) {
        if (rule->action == "long-line") {
            text = std::string(static_cast<size_t>(rule->number), 'x') + "\r\n" + text;
        } else {
            // The N-th line gets a NUL in the middle of its name.
            size_t start = 0;
            for (int line = 1; line < rule->number && start != std::string::npos; ++line) {
                start = text.find('\n', start);
                start = start == std::string::npos ? start : start + 1;
            }
            if (start != std::string::npos && start < text.size()) {
                const size_t end = text.find('\r', start);
                const size_t middle = start + ((end == std::string::npos ? text.size() : end) - start) / 2;
                text.insert(middle, 1, '\0');
            }
        }
    }
    return transfer("NLST", argIn, -1, text);
}

bool CSimSession::doRetr(const std::string& arg) {
    std::string path = realPath(virtualPath(arg));
    struct stat st;
    int fd = -1;
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        fd = ::open(path.c_str(), O_RDONLY);
    }
    if (fd < 0) {
        return reply(550, "");
    }
    bool ok = transfer("RETR", arg, fd, std::string());
    ::close(fd);
    return ok;
}

bool CSimSession::doDele(const std::string& arg) {
    std::string path = realPath(virtualPath(arg));
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || ::unlink(path.c_str()) != 0) {
        return reply(550, "");
    }
    // The unit deletes a message, not a file: its voice data goes with its recording information.
    const std::string info = ".vminf";
    if (path.size() > info.size() && path.compare(path.size() - info.size(), info.size(), info) == 0) {
        ::unlink((path.substr(0, path.size() - info.size()) + ".vmdat").c_str());
    }
    return reply(250, "DELE command successful.");
}

int CSimSession::connectData(unsigned source) {
    if (!m_haveDataAddr) {
        return -1;
    }
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        return -1;
    }
    if (source != 0) {
        sockaddr_in from = {};
        from.sin_family = AF_INET;
        from.sin_addr.s_addr = htonl(source);
        if (::bind(fd, reinterpret_cast<struct sockaddr*>(&from), sizeof from) != 0) {
            ::close(fd);
            return -1;
        }
    } else {
        m_haveDataAddr = false;
    }
    sockaddr_in sa = {};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(m_dataHost);
    sa.sin_port = htons(m_dataPort);
    if (::connect(fd, reinterpret_cast<struct sockaddr*>(&sa), sizeof sa) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void CSimSession::sendStrayData() {
    // Somebody else on the machine gets to the client's data port first.
    const int fd = connectData(0x7f000002);
    if (fd >= 0) {
        static const char junk[] = "not from the unit\r\n";
        writeAll(fd, junk, sizeof junk - 1);
        ::shutdown(fd, SHUT_WR);
        // Left open a moment so that the client sees the connection before the real one.
        timespec ts = {0, 200 * 1000000L};
        while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
        }
        ::close(fd);
    }
}

bool CSimSession::pendingAbort() {
    // Reads what the client sent on the control connection during the transfer; an ABOR first in line aborts.
    char buf[1024];
    ssize_t n = ::recv(m_fd, buf, sizeof buf, MSG_DONTWAIT);
    if (n > 0) {
        m_in.append(buf, static_cast<size_t>(n));
    }
    size_t pos = m_in.find('\n');
    if (pos == std::string::npos) {
        return false;
    }
    std::string line = m_in.substr(0, pos);
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    if (upper(line.substr(0, 4)) != "ABOR") {
        return false;
    }
    m_in.erase(0, pos + 1);
    record(line);
    return true;
}

bool CSimSession::transfer(const std::string& verb, const std::string& arg, int fileFd, const std::string& text) {
    if (!m_haveDataAddr) {
        return reply(425, "Use PORT first.");
    }
    const SimRule* cut = m_faults.take(m_number, verb, arg, kTransferActions, {});
    if (!reply(150, "")) {
        return false;
    }
    if (cut && cut->action == "no-connect") {
        // Announced and then forgotten: no data connection and no closing reply; the next command is served as usual.
        m_haveDataAddr = false;
        return true;
    }
    if (cut && cut->action == "stray-data") {
        sendStrayData();
    }
    int dfd = connectData();
    if (dfd < 0) {
        return reply(425, "");
    }
    const bool endless = cut && cut->action == "endless-data";
    const bool limited = cut && (cut->action == "cut-data" || cut->action == "abort-data" || cut->action == "drop" ||
                                 cut->action == "stall-data");
    long long limit = limited ? cut->number : -1;
    // A slow unit sends a slice every kSlowSliceMs; between slices it still sees an ABOR at once.
    constexpr int kSlowSliceMs = 50;
    const long long slowSlice =
        cut && cut->action == "slow-data" ? std::max(1LL, cut->number * kSlowSliceMs / 1000LL) : 0;
    long long sent = 0;
    size_t textPos = 0;
    bool stalled = false;
    static char buf[256 * 1024];
    bool aborted = false;
    bool broken = false;
    for (;;) {
        ssize_t have;
        if (fileFd >= 0) {
            have = ::read(fileFd, buf, sizeof buf);
        } else {
            have = static_cast<ssize_t>(std::min(sizeof buf, text.size() - textPos));
            std::memcpy(buf, text.data() + textPos, static_cast<size_t>(have));
            textPos += static_cast<size_t>(have);
        }
        if (have <= 0 && endless && sent > 0) {
            // From the start again, for as long as the client keeps reading.
            if (fileFd >= 0) {
                ::lseek(fileFd, 0, SEEK_SET);
            }
            textPos = 0;
            continue;
        }
        if (have <= 0) {
            break;
        }
        size_t off = 0;
        while (off < static_cast<size_t>(have)) {
            size_t n = static_cast<size_t>(have) - off;
            if (limit >= 0) {
                long long room = limit - sent;
                if (room <= 0) {
                    break;
                }
                n = std::min<size_t>(n, static_cast<size_t>(room));
            }
            if (slowSlice > 0) {
                n = std::min<size_t>(n, static_cast<size_t>(slowSlice));
                struct pollfd c = {m_fd, POLLIN, 0};
                if (::poll(&c, 1, kSlowSliceMs) > 0 && pendingAbort()) {
                    aborted = true;
                    break;
                }
            }
            struct pollfd p[2] = {{dfd, POLLOUT, 0}, {m_fd, POLLIN, 0}};
            int r = ::poll(p, 2, -1);
            if (r < 0 && errno == EINTR) {
                continue;
            }
            if ((p[1].revents & POLLIN) && pendingAbort()) {
                aborted = true;
                break;
            }
            if (!(p[0].revents & (POLLOUT | POLLERR | POLLHUP))) {
                continue;
            }
            ssize_t w = ::send(dfd, buf + off, n, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (w < 0 && (errno == EAGAIN || errno == EINTR)) {
                continue;
            }
            if (w <= 0) {
                broken = true;
                break;
            }
            off += static_cast<size_t>(w);
            sent += w;
        }
        if (aborted || broken) {
            break;
        }
        if (limit >= 0 && sent >= limit) {
            if (cut->action == "stall-data" && !stalled) {
                stalled = true;
                pause(cut->number2);
                limit = -1;
                // Send what was held back in this buffer before reading on.
                if (off < static_cast<size_t>(have)) {
                    if (!writeAll(dfd, buf + off, static_cast<size_t>(have) - off)) {
                        broken = true;
                        break;
                    }
                    sent += have - static_cast<ssize_t>(off);
                }
                continue;
            }
            break;
        }
    }
    ::shutdown(dfd, SHUT_RDWR);
    ::close(dfd);
    if (cut && cut->action == "drop" && sent >= cut->number) {
        return false;
    }
    if (cut && cut->action == "abort-data" && sent >= cut->number) {
        return finalReply(426, "");
    }
    if (aborted) {
        m_aborted = true;
        bool ok = finalReply(426, "") && reply(226, "ABOR command successful.");
        m_aborted = false;
        return ok;
    }
    if (broken) {
        return finalReply(426, "");
    }
    if (const SimRule* end = m_faults.take(m_number, verb, arg, "final", {})) {
        // A text that begins with "-" follows the code at once: the first line of a reply of several lines.
        if (!end->text.empty() && end->text[0] == '-') {
            return sendText(std::to_string(end->number) + end->text + "\r\n");
        }
        return finalReply(end->number, end->text);
    }
    return finalReply(226, "");
}
