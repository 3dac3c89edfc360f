#include "link/FTPCONN_INFO.h"

#include "operations/CPrgFileDwnDlg.h"
#include "platform/CCancelFlag.h"
#include "platform/CCp932.h"
#include "platform/CProgressDlg.h"
#include "platform/CUserInterface.h"

#include <QFile>

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Local files are written through a buffer of this size; the chunk stays the unit of progress and cancel.
constexpr int kWriteBuffer = 256 * 1024;

bool writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

} // namespace

FTPCONN_INFO::FTPCONN_INFO(CUserInterface* ui, const FTP_TIMEOUTS& timeouts) : m_ui(ui), m_timeouts(timeouts) {}

FTPCONN_INFO::~FTPCONN_INFO() {
    CloseAll();
}

bool FTPCONN_INFO::isSuccessCode(int code) {
    static const int kSuccess[] = {120, 125, 150, 200, 202, 211, 212, 213, 214, 215, 220, 227, 230, 250, 257, 331, 350};
    return std::find(std::begin(kSuccess), std::end(kSuccess), code) != std::end(kSuccess);
}

int FTPCONN_INFO::waitReadable(int fd, int timeoutMs) {
    if (fd < 0) {
        return -1;
    }
    pollfd p = {fd, POLLIN, 0};
    for (;;) {
        int r = ::poll(&p, 1, timeoutMs);
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r < 0) {
            return -1;
        }
        if (r == 0) {
            return 0;
        }
        // Hang-up and errors count as readable: the receive that follows reports them.
        return 1;
    }
}

void FTPCONN_INFO::closeSocket(int& fd) {
    if (fd >= 0) {
        ::shutdown(fd, SHUT_RDWR);
        ::close(fd);
        fd = -1;
    }
}

int FTPCONN_INFO::SendLine(const QString& text) {
    if (controlSocket < 0) {
        return -1;
    }
    const QByteArray bytes = CCp932::fromUnicode(text);
    ssize_t n = ::send(controlSocket, bytes.constData(), static_cast<size_t>(bytes.size()), MSG_NOSIGNAL);
    return n < 0 ? -1 : static_cast<int>(n);
}

int FTPCONN_INFO::ReadReplyLine(QString& text, int capacity) {
    text.clear();
    if (controlSocket < 0 || capacity < 1) {
        return -1;
    }
    int previous = -1;
    while (text.size() < capacity - 1) {
        // One byte per receive, so that nothing of a following reply is taken early. The wait is skipped when
        // the byte is already there.
        unsigned char byte = 0;
        ssize_t n = ::recv(controlSocket, &byte, 1, MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            if (waitReadable(controlSocket, m_timeouts.replyByteMs) != 1) {
                return -1;
            }
            n = ::recv(controlSocket, &byte, 1, 0);
            if (n < 0 && errno == EINTR) {
                continue;
            }
        }
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            break;
        }
        if (previous == '\r' && byte == '\n') {
            text.chop(1);
            return static_cast<int>(text.size());
        }
        text += QChar(static_cast<char16_t>(static_cast<qint16>(static_cast<signed char>(byte))));
        previous = byte;
    }
    return static_cast<int>(text.size());
}

int FTPCONN_INFO::Command(const QString* command, QString* replyText) {
    if (command) {
        SendLine(*command);
    }
    QString line;
    if (ReadReplyLine(line, kReplyCapacity) < 0) {
        return -1;
    }
    if (replyText) {
        *replyText = line;
    }
    // The code is the first token between blanks and hyphens; a token without leading digits reads as 0.
    int i = 0;
    while (i < line.size() && (line[i] == QLatin1Char(' ') || line[i] == QLatin1Char('-'))) {
        ++i;
    }
    if (i >= line.size()) {
        return -1;
    }
    int code = 0;
    while (i < line.size() && line[i] >= QLatin1Char('0') && line[i] <= QLatin1Char('9') && code < 100000000) {
        code = code * 10 + (line[i].unicode() - '0');
        ++i;
    }
    return (code == 0 || isSuccessCode(code)) ? 0 : code;
}

int FTPCONN_INFO::Login(const QString& user, const QString& password) {
    if (Command(QStringLiteral("USER %1\r\n").arg(user)) != 0) {
        return 0;
    }
    // PASS goes out even when USER was already answered 230.
    return Command(QStringLiteral("PASS %1\r\n").arg(password)) == 0 ? 1 : 0;
}

int FTPCONN_INFO::createListener(QString& portLine) {
    // A listener still open here would be overwritten and lost for the rest of the run.
    closeListener();
    listenSocket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenSocket < 0) {
        listenSocket = -1;
        return -1;
    }
    sockaddr_in local{};
    socklen_t len = sizeof local;
    if (::getsockname(controlSocket, reinterpret_cast<sockaddr*>(&local), &len) != 0 || local.sin_family != AF_INET) {
        closeListener();
        return -1;
    }
    local.sin_port = 0;
    if (::bind(listenSocket, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::listen(listenSocket, 1) != 0) {
        closeListener();
        return -1;
    }
    sockaddr_in bound{};
    len = sizeof bound;
    if (::getsockname(listenSocket, reinterpret_cast<sockaddr*>(&bound), &len) != 0) {
        closeListener();
        return -1;
    }
    char host[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &local.sin_addr, host, sizeof host);
    const unsigned port = ntohs(bound.sin_port);
    portLine = QStringLiteral("PORT %1,%2,%3\r\n")
                   .arg(QString::fromLatin1(host).replace(QLatin1Char('.'), QLatin1Char(',')))
                   .arg(port >> 8)
                   .arg(port & 0xff);
    return 0;
}

void FTPCONN_INFO::closeListener() {
    if (listenSocket >= 0) {
        ::close(listenSocket);
        listenSocket = -1;
    }
}

int FTPCONN_INFO::OpenDataPort(const QString& commandLine) {
    m_readPos = m_readLen = 0;
    QString portLine;
    if (createListener(portLine) != 0) {
        return -1;
    }
    int rc = Command(portLine);
    if (rc != 0) {
        closeListener();
        return rc;
    }
    rc = Command(commandLine);
    if (rc != 0) {
        closeListener();
        return rc;
    }
    // A unit that never connects back leaves nothing to keep the listener for.
    if (waitReadable(listenSocket, m_timeouts.acceptMs) != 1) {
        closeListener();
        return -1;
    }
    dataSocket = ::accept4(listenSocket, nullptr, nullptr, SOCK_CLOEXEC);
    if (dataSocket < 0) {
        dataSocket = -1;
        closeListener();
        return -1;
    }
    return 0;
}

int FTPCONN_INFO::ReceiveChunk(char* buffer) {
    if (dataSocket < 0) {
        return -1;
    }
    if (m_readAhead.size() < 256 * 1024) {
        m_readAhead.resize(256 * 1024);
    }
    int collected = 0;
    while (collected < kChunkSize) {
        if (m_readPos < m_readLen) {
            const int n = std::min(kChunkSize - collected, m_readLen - m_readPos);
            std::memcpy(buffer + collected, m_readAhead.constData() + m_readPos, static_cast<size_t>(n));
            m_readPos += n;
            collected += n;
            continue;
        }
        m_readPos = m_readLen = 0;
        ssize_t n = ::recv(dataSocket, m_readAhead.data(), static_cast<size_t>(m_readAhead.size()), MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            // A data connection silent for the whole wait ends the chunk as it is: the transfer is taken as done.
            const int ready = waitReadable(dataSocket, m_timeouts.dataChunkMs);
            if (ready == 0) {
                break;
            }
            if (ready < 0) {
                return -1;
            }
            continue;
        }
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            break;
        }
        m_readLen = static_cast<int>(n);
    }
    return collected;
}

void FTPCONN_INFO::CloseData() {
    closeSocket(listenSocket);
    closeSocket(dataSocket);
    m_readPos = m_readLen = 0;
}

int FTPCONN_INFO::ReadFinalReply() {
    m_finalReply.clear();
    if (waitReadable(controlSocket, m_timeouts.finalReplyMs) != 1) {
        return -1;
    }
    char buffer[1024];
    ssize_t n = ::recv(controlSocket, buffer, sizeof buffer, 0);
    if (n <= 0) {
        return -1;
    }
    m_finalReply = QByteArray(buffer, static_cast<int>(n));
    return static_cast<int>(n) + 1;
}

int FTPCONN_INFO::Retrieve(const QString& remote, const QString& localName, bool resetCounter, bool silent,
                           int headroom) {
    // The local name comes from a listing or a record: it must name a file inside the local directory.
    if (localName.isEmpty() || localName == QLatin1String(".") || localName == QLatin1String("..") ||
        localName.contains(QLatin1Char('/')) || localName.contains(QChar(0))) {
        return -1;
    }
    int rc = OpenDataPort(QStringLiteral("RETR %1\r\n").arg(remote));
    if (rc != 0) {
        return rc;
    }
    QString dir = localDirectory;
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/'))) {
        dir.chop(1);
    }
    const QByteArray path = QFile::encodeName(dir + QLatin1Char('/') + localName);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        // Nowhere to put the data: end the transfer in order and report the failure.
        AbortTransfer();
        ReadFinalReply();
        return -1;
    }
    bytesReceived = 0;
    if (resetCounter) {
        chunkCounter = 0;
    }
    QByteArray pending;
    pending.reserve(kWriteBuffer);
    // Room in front of the data, for a record written once the data is complete.
    pending.append(QByteArray(std::max(0, headroom), '\0'));
    bool writeFailed = false;
    bool cancelled = false;
    int last = 0;
    char chunk[2 * kChunkSize];
    for (;;) {
        std::memset(chunk, 0, sizeof chunk);
        if (m_ui) {
            m_ui->dispatchPendingEvents(1);
        }
        if (CCancelFlag::value() == 1) {
            cancelled = true;
            AbortTransfer();
            break;
        }
        last = ReceiveChunk(chunk);
        if (last <= 0) {
            break;
        }
        pending.append(chunk, last);
        if (pending.size() >= kWriteBuffer) {
            writeFailed = writeFailed || !writeAll(fd, pending.constData(), pending.size());
            pending.clear();
        }
        bytesReceived += last;
        if (!silent) {
            ++chunkCounter;
            // Looked up per report: dispatching events may have closed the window meanwhile.
            if (CProgressDlg* progress = m_ui ? m_ui->findProgress(CPrgFileDwnDlg::kTitle) : nullptr) {
                progress->post(PRG_POSITION, chunkCounter);
            }
        }
    }
    writeFailed = writeFailed || !writeAll(fd, pending.constData(), pending.size());
    writeFailed = (::close(fd) != 0) || writeFailed;
    CloseData();
    if (last < 0 && !cancelled) {
        return -1;
    }
    const int final = ReadFinalReply();
    if (cancelled) {
        // Whatever the unit still had to say about the aborted transfer has been taken; a cancel stays a cancel.
        return -2;
    }
    // The unit saying the transfer broke off (426, 451 ...) means the file is incomplete, however much arrived.
    const int code =
        m_finalReply.size() >= 3 && m_finalReply[0] >= '4' && m_finalReply[0] <= '5' ? m_finalReply.left(3).toInt() : 0;
    if (final < 0 || writeFailed || code >= 400) {
        return -1;
    }
    return 0;
}

int FTPCONN_INFO::collect(QByteArray& raw, bool pollCancel) {
    char chunk[kChunkSize];
    for (;;) {
        if (m_ui) {
            m_ui->dispatchPendingEvents(1);
        }
        if (pollCancel && CCancelFlag::value() == 1) {
            AbortTransfer();
            return 0;
        }
        const int n = ReceiveChunk(chunk);
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            return 0;
        }
        if (raw.size() + n > maxListingBytes) {
            // A peer that streams on past any real listing would hold the link for good: end the transfer, and
            // take whatever the unit still says about it so that the next command reads its own answer.
            AbortTransfer();
            ReadFinalReply();
            return -1;
        }
        raw.append(chunk, n);
    }
}

int FTPCONN_INFO::finishListing(QByteArray& raw, QString& text, int maxChars, bool upToNul) {
    if (upToNul) {
        const int nul = raw.indexOf('\0');
        if (nul >= 0) {
            raw.truncate(nul);
        }
    }
    text = CCp932::toUnicode(raw);
    if (maxChars >= 0 && text.size() > maxChars) {
        text.truncate(maxChars);
    }
    QString closing;
    const int rc = ReadReplyLine(closing, kReplyCapacity);
    CloseData();
    return rc < 0 ? -1 : 1;
}

int FTPCONN_INFO::ListNames(const QString& directory, CUnitBoxOps::Files files, QString& text) {
    text.clear();
    int rc = Command(QStringLiteral("CWD %1\r\n").arg(directory));
    if (rc != 0) {
        return rc == 550 ? -2 : 0;
    }
    const QString command = files == CUnitBoxOps::Files::Info    ? QStringLiteral("NLST *.vminf\r\n")
                            : files == CUnitBoxOps::Files::Voice ? QStringLiteral("NLST *.vmdat\r\n")
                                                                 : QStringLiteral("NLST\r\n");
    rc = OpenDataPort(command);
    if (rc == 550) {
        return 1;
    }
    if (rc != 0) {
        return 0;
    }
    QByteArray raw;
    if (collect(raw, false) < 0) {
        CloseData();
        return -1;
    }
    return finishListing(raw, text, -1, true);
}

int FTPCONN_INFO::ListLong(const QString& directory, CUnitBoxOps::Files files, QString& text, qint64& byteLength) {
    text.clear();
    byteLength = 0;
    int rc = Command(QStringLiteral("CWD %1\r\n").arg(directory));
    if (rc != 0) {
        return rc == 550 ? -2 : rc;
    }
    rc = OpenDataPort(files == CUnitBoxOps::Files::Voice ? QStringLiteral("NLST -l *.vmdat\r\n")
                                                         : QStringLiteral("NLST -l\r\n"));
    if (rc == 550) {
        return 1;
    }
    if (rc != 0) {
        return rc;
    }
    QByteArray raw;
    if (collect(raw, true) < 0) {
        CloseData();
        return -1;
    }
    rc = finishListing(raw, text, -1, false);
    byteLength = static_cast<qint64>(text.size()) * 2;
    return rc;
}

int FTPCONN_INFO::ListTree(QString& rootText, QString& rusurokuText, QString& naisenText) {
    rootText.clear();
    rusurokuText.clear();
    naisenText.clear();
    for (int i = 0; i < 5 && Command(QStringLiteral("CWD ../\r\n")) == 0; ++i) {
    }
    struct Step {
        const char* cwd;
        QString* out;
        int maxChars;
    };
    const Step steps[] = {{nullptr, &rootText, kMaxRootChars},
                          {"CWD /rusuroku\r\n", &rusurokuText, kMaxBoxListChars},
                          {"CWD /naisen\r\n", &naisenText, kMaxBoxListChars}};
    for (const Step& step : steps) {
        if (step.cwd) {
            const int rc = Command(QString::fromLatin1(step.cwd));
            if (rc != 0) {
                return rc;
            }
        }
        const int rc = OpenDataPort(QStringLiteral("NLST\r\n"));
        if (rc == 550 && step.cwd) {
            // The unit answers a directory with nothing to list by 550: a kind without boxes, not a failure.
            continue;
        }
        if (rc != 0) {
            return rc;
        }
        QByteArray raw;
        if (collect(raw, false) < 0) {
            CloseData();
            return -1;
        }
        if (finishListing(raw, *step.out, step.maxChars, true) != 1) {
            return -1;
        }
    }
    return 1;
}

int FTPCONN_INFO::DeleteRemote(const QString& path) {
    for (int i = 0; i < 5 && Command(QStringLiteral("CWD ../\r\n")) == 0; ++i) {
    }
    const int rc = Command(QStringLiteral("DELE %1\r\n").arg(path));
    if (rc != 0) {
        return rc;
    }
    CloseData();
    return 0;
}

int FTPCONN_INFO::AbortTransfer() {
    Command(QStringLiteral("ABOR\r\n"));
    CloseData();
    Command(QStringLiteral("PWD\r\n"));
    return 0;
}

int FTPCONN_INFO::Probe() {
    QString portLine;
    if (createListener(portLine) != 0) {
        return 0;
    }
    if (Command(portLine) == -1) {
        closeListener();
        return 0;
    }
    // Any reply line, a refusal included, shows that the unit is there.
    CloseData();
    return 1;
}

void FTPCONN_INFO::CloseAll() {
    closeSocket(dataSocket);
    closeSocket(listenSocket);
    closeSocket(controlSocket);
}
