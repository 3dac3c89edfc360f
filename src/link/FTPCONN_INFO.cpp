#include "link/FTPCONN_INFO.h"

#include "platform/CCancelFlag.h"
#include "platform/CCp932.h"
#include "platform/CProgress.h"
#include "platform/CUserInterface.h"

#include <QElapsedTimer>
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

UnitReply FTPCONN_INFO::Classify(int code, Asked asked) {
    if (code == 0) {
        return {};
    }
    if (code < 0) {
        return {UnitResult::CommFailure, 0};
    }
    if (code == 550) {
        switch (asked) {
        case Asked::File:
            return {UnitResult::FileGoneOnUnit, code};
        case Asked::BoxDirectory:
            return {UnitResult::NoBoxDirectory, code};
        case Asked::Listing:
            return {UnitResult::Done, code};
        case Asked::Other:
            break;
        }
    }
    if (code == 450 && asked == Asked::File) {
        return {UnitResult::FileInUse, code};
    }
    return {UnitResult::Refused, code};
}

FTPCONN_INFO::Wait FTPCONN_INFO::waitFor(int fd, short events, int timeoutMs, bool watchCancel) {
    if (fd < 0) {
        return Wait::Failed;
    }
    // The wait goes in slices: after each slice that passes without the socket, the window repaints and the
    // cancel flag is looked at, so a long wait neither freezes the screen nor ignores "キャンセル".
    const int slice = std::max(1, m_timeouts.sliceMs);
    int left = std::max(0, timeoutMs);
    for (;;) {
        pollfd p = {fd, events, 0};
        const int step = std::min(left, slice);
        const int r = ::poll(&p, 1, step);
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r < 0) {
            return Wait::Failed;
        }
        if (r > 0) {
            // Hang-up and errors count as ready: the receive that follows reports them.
            return Wait::Ready;
        }
        left -= step;
        if (left <= 0) {
            return Wait::TimedOut;
        }
        if (m_ui) {
            m_ui->dispatchPendingEvents(1);
        }
        if (watchCancel && CCancelFlag::value() == 1) {
            return Wait::Cancelled;
        }
    }
}

void FTPCONN_INFO::closeSocket(int& fd) {
    if (fd >= 0) {
        ::shutdown(fd, SHUT_RDWR);
        ::close(fd);
        fd = -1;
    }
}

bool FTPCONN_INFO::ConnectControl() {
    if (controlSocket < 0) {
        return false;
    }
    // Connecting without blocking, so that an address nobody answers holds the program no longer than the
    // connect wait.
    const int flags = ::fcntl(controlSocket, F_GETFL, 0);
    if (flags < 0 || ::fcntl(controlSocket, F_SETFL, flags | O_NONBLOCK) != 0) {
        return false;
    }
    int rc = ::connect(controlSocket, reinterpret_cast<sockaddr*>(&serverAddress), sizeof serverAddress);
    int error = rc == 0 ? 0 : errno;
    if (rc != 0 && (errno == EINPROGRESS || errno == EINTR)) {
        const Wait ready = waitFor(controlSocket, POLLOUT, m_timeouts.connectMs, m_watchCancel);
        if (ready != Wait::Ready) {
            m_lastFailure = ready == Wait::TimedOut ? Failure::NoAnswer : m_lastFailure;
            return false;
        }
        socklen_t len = sizeof error;
        if (::getsockopt(controlSocket, SOL_SOCKET, SO_ERROR, &error, &len) != 0) {
            error = errno;
        }
        rc = error == 0 ? 0 : -1;
    }
    if (rc != 0) {
        m_lastFailure = error == ECONNREFUSED                           ? Failure::Refused
                        : error == ETIMEDOUT                            ? Failure::NoAnswer
                        : error == ENETUNREACH || error == EHOSTUNREACH ? Failure::Unreachable
                                                                        : Failure::Closed;
        return false;
    }
    return ::fcntl(controlSocket, F_SETFL, flags) == 0;
}

int FTPCONN_INFO::SendLine(const QString& text) {
    if (controlSocket < 0) {
        return -1;
    }
    const QByteArray bytes = CCp932::fromUnicode(text);
    ssize_t n = ::send(controlSocket, bytes.constData(), static_cast<size_t>(bytes.size()), MSG_NOSIGNAL);
    return n < 0 ? -1 : static_cast<int>(n);
}

void FTPCONN_INFO::drainControl() {
    // Whatever is waiting now answers nothing still to be sent: a line the unit sent on its own, or what was still
    // to come of a reply whose wait "キャンセル" ended. Left there, it would be read as the next command's answer.
    if (controlSocket < 0) {
        return;
    }
    char buffer[1024];
    for (;;) {
        const ssize_t n = ::recv(controlSocket, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
    }
}

void FTPCONN_INFO::dropControl() {
    closeSocket(dataSocket);
    closeSocket(listenSocket);
    closeSocket(controlSocket);
    m_readPos = m_readLen = 0;
}

int FTPCONN_INFO::ReadReplyLine(QString& text, int capacity) {
    int budget = kMaxReplyBytes;
    return readLine(text, capacity, m_timeouts.replyByteMs, budget);
}

namespace {

// The code that opens a reply of several lines: the digits a line begins with when a hyphen follows at once.
QString openingCode(const QString& line) {
    int i = 0;
    while (i < line.size() && line[i] >= QLatin1Char('0') && line[i] <= QLatin1Char('9')) {
        ++i;
    }
    return i > 0 && i < line.size() && line[i] == QLatin1Char('-') ? line.left(i) : QString();
}

bool closesReply(const QString& line, const QString& code) {
    return line.startsWith(code) && (line.size() == code.size() || line[code.size()] == QLatin1Char(' '));
}

} // namespace

int FTPCONN_INFO::ReadReply(QString& text, int firstByteMs) {
    int budget = kMaxReplyBytes;
    if (readLine(text, kReplyCapacity, firstByteMs, budget) < 0) {
        return -1;
    }
    const QString code = openingCode(text);
    if (code.isEmpty()) {
        return static_cast<int>(text.size());
    }
    // The lines between belong to this reply; taking them here keeps them from answering later commands.
    QString line;
    do {
        if (readLine(line, kReplyCapacity, m_timeouts.replyByteMs, budget) < 0) {
            // A reply never completed is no answer, however its first line began.
            return -1;
        }
    } while (!closesReply(line, code));
    return static_cast<int>(text.size());
}

int FTPCONN_INFO::readLine(QString& text, int capacity, int firstByteMs, int& budget) {
    text.clear();
    if (controlSocket < 0 || capacity < 1) {
        return -1;
    }
    int previous = -1;
    bool previousStored = false;
    bool first = true;
    char seen[kReplyCapacity + 1];
    for (;;) {
        // What has arrived is looked at without taking it, and only the bytes up to the line end are taken, so
        // that nothing of a following reply goes with this one. A line that comes in pieces is waited for piece by
        // piece; it is complete only at its line end.
        const ssize_t n = ::recv(controlSocket, seen, sizeof seen, MSG_PEEK | MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            const Wait ready =
                waitFor(controlSocket, POLLIN, first ? firstByteMs : m_timeouts.replyByteMs, m_watchCancel);
            if (ready == Wait::Cancelled) {
                // "キャンセル": the caller ends the transfer with ABOR, whose answers take what is still to come.
                return -1;
            }
            if (ready != Wait::Ready) {
                m_lastFailure = ready == Wait::TimedOut ? Failure::NoAnswer : Failure::Closed;
                dropControl();
                return -1;
            }
            continue;
        }
        if (n <= 0) {
            // Closed or broken before the line ended: no reply at all.
            m_lastFailure = Failure::Closed;
            dropControl();
            return -1;
        }
        first = false;
        ssize_t take = n;
        bool ended = false;
        for (ssize_t i = 0; i < n; ++i) {
            const unsigned char byte = static_cast<unsigned char>(seen[i]);
            if (previous == '\r' && byte == '\n') {
                take = i + 1;
                ended = true;
                break;
            }
            // Past the capacity the rest of the line is read and dropped: it belongs to this reply, not the next.
            previousStored = text.size() < capacity - 1;
            if (previousStored) {
                text += QChar(static_cast<char16_t>(static_cast<qint16>(static_cast<signed char>(byte))));
            }
            previous = byte;
        }
        if (take > budget) {
            // Longer than any answer of the unit: the peer goes on without end or is not the unit.
            dropControl();
            return -1;
        }
        for (ssize_t taken = 0; taken < take;) {
            const ssize_t r = ::recv(controlSocket, seen, static_cast<size_t>(take - taken), 0);
            if (r < 0 && errno == EINTR) {
                continue;
            }
            if (r <= 0) {
                dropControl();
                return -1;
            }
            taken += r;
        }
        budget -= static_cast<int>(take);
        if (ended) {
            if (previousStored) {
                text.chop(1);
            }
            return static_cast<int>(text.size());
        }
    }
}

int FTPCONN_INFO::codeOf(const QString& line) {
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
    return code;
}

int FTPCONN_INFO::Command(const QString* command, QString* replyText) {
    if (command) {
        drainControl();
        SendLine(*command);
    }
    QString line;
    if (ReadReply(line, m_timeouts.replyByteMs) < 0) {
        return -1;
    }
    if (replyText) {
        *replyText = line;
    }
    const int code = codeOf(line);
    if (code < 0) {
        return -1;
    }
    return (code == 0 || isSuccessCode(code)) ? 0 : code;
}

bool FTPCONN_INFO::Login(const QString& user, const QString& password, int* refusal) {
    int code = Command(QStringLiteral("USER %1\r\n").arg(user));
    // PASS goes out even when USER was already answered 230.
    if (code == 0) {
        code = Command(QStringLiteral("PASS %1\r\n").arg(password));
    }
    if (refusal) {
        *refusal = std::max(code, 0);
    }
    return code == 0;
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
    dataSocket = acceptFromUnit();
    // A unit that never connects back leaves nothing to keep the listener for.
    if (dataSocket < 0) {
        dataSocket = -1;
        closeListener();
        return -1;
    }
    return 0;
}

int FTPCONN_INFO::acceptFromUnit() {
    // Only the unit may bring the data: a connection from any other address is closed and the wait goes on.
    sockaddr_in unit{};
    socklen_t len = sizeof unit;
    if (::getpeername(controlSocket, reinterpret_cast<sockaddr*>(&unit), &len) != 0 || unit.sin_family != AF_INET) {
        return -1;
    }
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        const int left = m_timeouts.acceptMs - static_cast<int>(waited.elapsed());
        if (left <= 0 || waitFor(listenSocket, POLLIN, left, m_watchCancel) != Wait::Ready) {
            return -1;
        }
        sockaddr_in peer{};
        socklen_t peerLen = sizeof peer;
        const int fd = ::accept4(listenSocket, reinterpret_cast<sockaddr*>(&peer), &peerLen, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED || errno == EAGAIN) {
                continue;
            }
            return -1;
        }
        if (peer.sin_family == AF_INET && peer.sin_addr.s_addr == unit.sin_addr.s_addr) {
            return fd;
        }
        ::close(fd);
    }
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
            // A data connection silent for the whole wait is broken off: whatever came later would not be read,
            // so what came is not the whole. A cancel while waiting ends the chunk as it is.
            const Wait ready = waitFor(dataSocket, POLLIN, m_timeouts.dataChunkMs, m_watchCancel);
            if (ready == Wait::Cancelled) {
                break;
            }
            if (ready == Wait::TimedOut) {
                return -1;
            }
            if (ready != Wait::Ready) {
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
    QString line;
    if (ReadReply(line, m_timeouts.finalReplyMs) < 0) {
        return -1;
    }
    m_finalReply = line.toLatin1();
    return codeOf(line);
}

bool FTPCONN_INFO::isTransferComplete(int finalCode) {
    return finalCode == 226 || finalCode == 250;
}

UnitReply FTPCONN_INFO::Retrieve(const QString& remote, const QString& localName, bool resetCounter, bool silent,
                                 int headroom, qint64 maxBytes, CProgress* progress) {
    // The local name comes from a listing or a record: it must name a file inside the local directory.
    if (localName.isEmpty() || localName == QLatin1String(".") || localName == QLatin1String("..") ||
        localName.contains(QLatin1Char('/')) || localName.contains(QChar(0))) {
        return {UnitResult::CommFailure, 0};
    }
    // Waiting for the unit to take RETR and connect back is part of the transfer: "キャンセル" ends it too.
    m_watchCancel = true;
    int rc = OpenDataPort(QStringLiteral("RETR %1\r\n").arg(remote));
    m_watchCancel = false;
    if (rc != 0) {
        if (CCancelFlag::value() == 1) {
            AbortTransfer();
            return {UnitResult::Cancelled, 0};
        }
        return Classify(rc, Asked::File);
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
        return {errno == ENOSPC ? UnitResult::NoDiskSpace : UnitResult::CommFailure, 0};
    }
    bytesReceived = 0;
    if (resetCounter) {
        chunkCounter = 0;
    }
    const Received received = receiveInto(fd, headroom, silent, maxBytes, progress);
    CloseData();
    if (received.cancelled || received.end == Received::End::Broken || received.end == Received::End::TooLong) {
        // The unit's answers about the broken-off transfer are taken with the ABOR, so that the next command reads
        // its own. A cancel stays a cancel.
        AbortTransfer();
        if (received.cancelled) {
            return {UnitResult::Cancelled, 0};
        }
        return {received.diskFull ? UnitResult::NoDiskSpace : UnitResult::CommFailure, 0};
    }
    m_watchCancel = true;
    const int final = ReadFinalReply();
    m_watchCancel = false;
    if (final < 0 && CCancelFlag::value() == 1) {
        AbortTransfer();
        return {UnitResult::Cancelled, 0};
    }
    if (received.diskFull) {
        return {UnitResult::NoDiskSpace, 0};
    }
    // The unit saying the transfer broke off (426, 451 ...) means the file is incomplete, however much arrived.
    if (received.writeFailed || !isTransferComplete(final)) {
        return {UnitResult::CommFailure, 0};
    }
    return {};
}

FTPCONN_INFO::Received FTPCONN_INFO::receiveInto(int fd, int headroom, bool silent, qint64 maxBytes,
                                                 CProgress* progress) {
    Received out;
    QByteArray pending;
    pending.reserve(kWriteBuffer);
    // Room in front of the data, for a record written once the data is complete.
    pending.append(QByteArray(std::max(0, headroom), '\0'));
    const auto flush = [&] {
        if (!out.writeFailed && !writeAll(fd, pending.constData(), pending.size())) {
            out.writeFailed = true;
            out.diskFull = errno == ENOSPC || errno == EDQUOT;
        }
        pending.clear();
    };
    char chunk[2 * kChunkSize];
    m_watchCancel = true;
    for (;;) {
        if (m_ui) {
            m_ui->dispatchPendingEvents(1);
        }
        if (CCancelFlag::value() == 1) {
            out.cancelled = true;
            break;
        }
        const int last = ReceiveChunk(chunk);
        if (last < 0) {
            out.end = Received::End::Broken;
            break;
        }
        if (last == 0) {
            out.cancelled = CCancelFlag::value() == 1;
            break;
        }
        pending.append(chunk, last);
        if (pending.size() >= kWriteBuffer) {
            flush();
        }
        bytesReceived += last;
        if (maxBytes >= 0 && bytesReceived > maxBytes) {
            // A unit that sends on past any size the file could have would fill the disk.
            out.end = Received::End::TooLong;
            break;
        }
        if (!silent) {
            ++chunkCounter;
            if (progress) {
                progress->setStepDone(chunkCounter);
            }
        }
    }
    m_watchCancel = false;
    flush();
    if (::close(fd) != 0 && !out.writeFailed) {
        out.writeFailed = true;
        out.diskFull = errno == ENOSPC || errno == EDQUOT;
    }
    return out;
}

int FTPCONN_INFO::collect(QByteArray& raw, bool pollCancel) {
    char chunk[kChunkSize];
    m_watchCancel = pollCancel;
    int result = 0;
    for (;;) {
        if (m_ui) {
            m_ui->dispatchPendingEvents(1);
        }
        if (pollCancel && CCancelFlag::value() == 1) {
            AbortTransfer();
            break;
        }
        const int n = ReceiveChunk(chunk);
        if (n < 0) {
            // Silent past the wait or dropped: the listing is not whole. The ABOR takes the unit's answers to it.
            AbortTransfer();
            result = -1;
            break;
        }
        if (n == 0) {
            if (pollCancel && CCancelFlag::value() == 1) {
                AbortTransfer();
            }
            break;
        }
        if (raw.size() + n > maxListingBytes) {
            // A peer that streams on past any real listing would hold the link for good: end the transfer, and
            // take whatever the unit still says about it so that the next command reads its own answer.
            AbortTransfer();
            result = -1;
            break;
        }
        raw.append(chunk, n);
    }
    m_watchCancel = false;
    return result;
}

namespace {

// A NUL makes its line unusable (no name holds one); the lines around it stand as they are.
void dropLinesWithNul(QByteArray& raw) {
    qsizetype nul = raw.indexOf('\0');
    while (nul >= 0) {
        qsizetype start = nul;
        while (start > 0 && raw[start - 1] != '\r' && raw[start - 1] != '\n') {
            --start;
        }
        qsizetype end = nul;
        while (end < raw.size() && raw[end] != '\r' && raw[end] != '\n') {
            ++end;
        }
        raw.remove(start, end - start);
        nul = raw.indexOf('\0', start);
    }
}

} // namespace

int FTPCONN_INFO::finishListing(QByteArray& raw, QString& text, int maxChars) {
    CloseData();
    dropLinesWithNul(raw);
    text = CCp932::toUnicode(raw);
    // The unit closes a whole listing with 226; anything else (426, 451, nothing) leaves it incomplete.
    if (!isTransferComplete(ReadFinalReply())) {
        return -1;
    }
    // A listing longer than any the unit makes is cut, not shorter: what it hides is unknown.
    if (maxChars >= 0 && text.size() > maxChars) {
        text.clear();
        return -1;
    }
    return 1;
}

std::optional<UnitReply> FTPCONN_INFO::collectBoxListing(const QString& directory, const QString& command,
                                                         QByteArray& raw) {
    const UnitReply entered = Classify(Command(QStringLiteral("CWD %1\r\n").arg(directory)), Asked::BoxDirectory);
    if (entered.result != UnitResult::Done) {
        return entered;
    }
    const UnitReply opened = Classify(OpenDataPort(command), Asked::Listing);
    if (opened.result != UnitResult::Done || opened.replyCode != 0) {
        return opened;
    }
    if (collect(raw, true) < 0) {
        CloseData();
        return UnitReply{UnitResult::CommFailure, 0};
    }
    if (CCancelFlag::value() == 1) {
        // Cancelled: whatever came is no whole listing.
        CloseData();
        return UnitReply{UnitResult::Cancelled, 0};
    }
    return std::nullopt;
}

UnitReply FTPCONN_INFO::ListNames(const QString& directory, CUnitBoxOps::Files files, QString& text) {
    text.clear();
    const QString command = files == CUnitBoxOps::Files::Info    ? QStringLiteral("NLST *.vminf\r\n")
                            : files == CUnitBoxOps::Files::Voice ? QStringLiteral("NLST *.vmdat\r\n")
                                                                 : QStringLiteral("NLST\r\n");
    QByteArray raw;
    if (const std::optional<UnitReply> failed = collectBoxListing(directory, command, raw)) {
        return *failed;
    }
    return {finishListing(raw, text, -1) == 1 ? UnitResult::Done : UnitResult::CommFailure, 0};
}

UnitReply FTPCONN_INFO::ListLong(const QString& directory, CUnitBoxOps::Files files, QString& text,
                                 qint64& byteLength) {
    text.clear();
    byteLength = 0;
    const QString command =
        files == CUnitBoxOps::Files::Voice ? QStringLiteral("NLST -l *.vmdat\r\n") : QStringLiteral("NLST -l\r\n");
    QByteArray raw;
    if (const std::optional<UnitReply> failed = collectBoxListing(directory, command, raw)) {
        return *failed;
    }
    const int rc = finishListing(raw, text, -1);
    byteLength = static_cast<qint64>(text.size()) * 2;
    return {rc == 1 ? UnitResult::Done : UnitResult::CommFailure, 0};
}

UnitReply FTPCONN_INFO::ListTree(QString& rootText, QString& rusurokuText, QString& naisenText) {
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
            const UnitReply entered = Classify(Command(QString::fromLatin1(step.cwd)), Asked::Other);
            if (entered.result != UnitResult::Done) {
                return entered;
            }
        }
        // A kind directory with nothing to list is a kind without boxes, not a failure; a root with nothing to
        // list is no unit.
        const UnitReply opened =
            Classify(OpenDataPort(QStringLiteral("NLST\r\n")), step.cwd ? Asked::Listing : Asked::Other);
        if (opened.result != UnitResult::Done || opened.replyCode != 0) {
            if (opened.result == UnitResult::Done) {
                continue;
            }
            return opened;
        }
        QByteArray raw;
        if (collect(raw, true) < 0) {
            CloseData();
            return {UnitResult::CommFailure, 0};
        }
        if (CCancelFlag::value() == 1) {
            CloseData();
            return {UnitResult::Cancelled, 0};
        }
        if (finishListing(raw, *step.out, step.maxChars) != 1) {
            return {UnitResult::CommFailure, 0};
        }
    }
    return {};
}

UnitReply FTPCONN_INFO::DeleteRemote(const QString& path) {
    for (int i = 0; i < 5 && Command(QStringLiteral("CWD ../\r\n")) == 0; ++i) {
    }
    const UnitReply deleted = Classify(Command(QStringLiteral("DELE %1\r\n").arg(path)), Asked::File);
    if (deleted.result != UnitResult::Done) {
        return deleted;
    }
    CloseData();
    return {};
}

int FTPCONN_INFO::AbortTransfer() {
    // ABOR is answered twice when a transfer was still running: the transfer's own end (426) and then the ABOR's
    // (226). Both are taken here. PWD then shows the link answers in step again.
    const int first = Command(QStringLiteral("ABOR\r\n"));
    CloseData();
    if (first >= 400) {
        QString second;
        ReadReply(second, m_timeouts.replyByteMs);
    }
    // An answer about the broken-off transfer that came late stands before PWD's own: it is passed over, so that
    // it cannot answer the next command. PWD is never answered with these codes.
    int code = Command(QStringLiteral("PWD\r\n"));
    for (int late = 0; late < 3 && (code == 225 || code == 226 || code == 426 || code == 451); ++late) {
        QString text;
        code = ReadReply(text, m_timeouts.replyByteMs);
    }
    return 0;
}

bool FTPCONN_INFO::Probe() {
    QString portLine;
    if (createListener(portLine) != 0) {
        return false;
    }
    if (Command(portLine) == -1) {
        closeListener();
        return false;
    }
    // Any reply line, a refusal included, shows that the unit is there.
    CloseData();
    return true;
}

void FTPCONN_INFO::CloseAll() {
    closeSocket(dataSocket);
    closeSocket(listenSocket);
    closeSocket(controlSocket);
}
