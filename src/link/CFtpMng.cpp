#include "link/CFtpMng.h"

#include "link/CFtpListing.h"
#include "link/CLinkPause.h"
#include "platform/CCancelFlag.h"
#include "platform/CCp932.h"
#include "platform/CUserInterface.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

CFtpMng::CFtpMng(CUserInterface* ui, const FTP_TIMEOUTS& timeouts) : m_ui(ui), m_timeouts(timeouts) {}

CFtpMng::~CFtpMng() = default;

int CFtpMng::unitPort() const {
    if (m_portGiven > 0) {
        return m_portGiven;
    }
    if (const servent* entry = ::getservbyname("ftp", "tcp")) {
        return ntohs(static_cast<uint16_t>(entry->s_port));
    }
    return 21;
}

QString CFtpMng::programDirectory() {
    if (QCoreApplication::instance()) {
        return QCoreApplication::applicationDirPath() + QLatin1Char('/');
    }
    return QDir::currentPath() + QLatin1Char('/');
}

void CFtpMng::pauseKeepAlive() {
    if (m_keepAlive) {
        m_keepAlive->pauseKeepAlive();
    }
}

void CFtpMng::resumeKeepAlive() {
    if (m_keepAlive) {
        m_keepAlive->resumeKeepAlive();
    }
}

CFtpMng::Login CFtpMng::ConnectLogin(const QString& address, const QString& user, const QString& password) {
    CCancelFlag::clear();
    const Login rc = connectAndLogin(address, user, password);
    if (m_conn) {
        m_conn->setWatchCancel(false);
    }
    if (rc != Login::LoggedIn && CCancelFlag::value() == 1) {
        // Given up by the user: the unit is let go at once, and the flag does not outlive the attempt.
        if (m_conn) {
            m_conn->CloseAll();
            m_conn.reset();
        }
        CCancelFlag::clear();
        return Login::Cancelled;
    }
    return rc;
}

namespace {

CFtpMng::LoginFailure failureOf(FTPCONN_INFO::Failure f) {
    switch (f) {
    case FTPCONN_INFO::Failure::NoAnswer:
        return CFtpMng::LoginFailure::NoAnswer;
    case FTPCONN_INFO::Failure::Refused:
        return CFtpMng::LoginFailure::Refused;
    case FTPCONN_INFO::Failure::Unreachable:
        return CFtpMng::LoginFailure::Unreachable;
    case FTPCONN_INFO::Failure::Closed:
    case FTPCONN_INFO::Failure::None:
        break;
    }
    return CFtpMng::LoginFailure::Closed;
}

} // namespace

CFtpMng::Login CFtpMng::connectAndLogin(const QString& address, const QString& user, const QString& password) {
    m_failure = LoginFailure::None;
    m_failureCode = 0;
    m_failureWaitMs = 0;
    const Login rc = attemptLogin(address, user, password);
    if (rc == Login::LoggedIn) {
        m_failure = LoginFailure::None;
    }
    return rc;
}

CFtpMng::Login CFtpMng::attemptLogin(const QString& address, const QString& user, const QString& password) {
    if (m_conn) {
        m_conn->CloseAll();
        m_conn.reset();
    }
    m_conn = std::make_unique<FTPCONN_INFO>(m_ui, m_timeouts);
    FTPCONN_INFO& c = *m_conn;
    c.setWatchCancel(true);
    c.controlSocket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (c.controlSocket < 0) {
        c.controlSocket = -1;
        return Login::ConnectFailed;
    }
    c.serverAddress = sockaddr_in{};
    c.serverAddress.sin_family = AF_INET;
    c.serverAddress.sin_port = htons(static_cast<uint16_t>(unitPort()));

    const QByteArray host = CCp932::fromUnicode(address);
    bool resolved = !host.isEmpty() && ::inet_pton(AF_INET, host.constData(), &c.serverAddress.sin_addr) == 1;
    if (!resolved && !host.isEmpty()) {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* result = nullptr;
        if (::getaddrinfo(host.constData(), nullptr, &hints, &result) == 0 && result) {
            c.serverAddress.sin_addr = reinterpret_cast<sockaddr_in*>(result->ai_addr)->sin_addr;
            resolved = true;
        }
        if (result) {
            ::freeaddrinfo(result);
        }
    }
    if (!resolved) {
        m_failure = LoginFailure::AddressUnknown;
        return Login::ConnectFailed;
    }
    if (!c.ConnectControl()) {
        m_failure = failureOf(c.lastFailure());
        m_failureWaitMs = m_timeouts.connectMs;
        return Login::ConnectFailed;
    }
    const int greeting = c.Command(nullptr);
    if (greeting != 0) {
        m_failure = greeting > 0 ? LoginFailure::GreetingRefused : failureOf(c.lastFailure());
        m_failureCode = std::max(greeting, 0);
        m_failureWaitMs = m_timeouts.replyByteMs;
        return Login::ConnectFailed;
    }
    c.localDirectory = programDirectory();
    int refusal = 0;
    if (c.Login(user, password, &refusal)) {
        return Login::LoggedIn;
    }
    m_failure = refusal > 0 ? LoginFailure::CredentialsRefused : failureOf(c.lastFailure());
    m_failureCode = refusal;
    m_failureWaitMs = m_timeouts.replyByteMs;
    return Login::LoginRefused;
}

int CFtpMng::Quit() {
    if (!m_conn) {
        return -1;
    }
    m_conn->Command(QStringLiteral("QUIT\r\n"));
    m_conn->CloseAll();
    m_conn.reset();
    return 0;
}

UnitResult CFtpMng::listingFailure(const UnitReply& listed) {
    return listed.result == UnitResult::NoBoxDirectory ? UnitResult::NoBoxDirectory : UnitResult::CommFailure;
}

UnitReply CFtpMng::GetUnitTree(QString& rootText, QString& rusurokuText, QString& naisenText) {
    if (!m_conn) {
        return {UnitResult::CommFailure, 0};
    }
    pauseKeepAlive();
    const UnitReply tree = m_conn->ListTree(rootText, rusurokuText, naisenText);
    resumeKeepAlive();
    return tree;
}

CUnitBoxOps::Count CFtpMng::CountBoxFiles(const QString& unitDirectory, const QString& localDirectory, Files files) {
    if (!m_conn) {
        return {UnitResult::CommFailure, 0};
    }
    pauseKeepAlive();
    m_conn->localDirectory = localDirectory.isEmpty() ? programDirectory() : localDirectory;
    QString text;
    const UnitReply listed = m_conn->ListNames(unitDirectory, files, text);
    Count count{listingFailure(listed), 0};
    if (listed.result == UnitResult::Done) {
        count = {UnitResult::Done, CFtpListing::countLines(text, [this] {
                     if (m_ui) {
                         m_ui->dispatchPendingEvents(1);
                     }
                 })};
    }
    resumeKeepAlive();
    return count;
}

UnitReply CFtpMng::DeleteOnUnit(const QString& localDirectory, const QString& path) {
    if (!m_conn) {
        return {UnitResult::CommFailure, 0};
    }
    pauseKeepAlive();
    if (!localDirectory.isEmpty()) {
        m_conn->localDirectory = localDirectory;
    }
    const UnitReply deleted = m_conn->DeleteRemote(path);
    resumeKeepAlive();
    return deleted;
}

bool CFtpMng::Probe() {
    return m_conn && m_conn->Probe();
}
