#pragma once

#include "CSimFaults.h"

#include <string>
#include <utility>
#include <vector>

struct SimConfig {
    std::string root;
    std::vector<std::pair<std::string, std::string>> users;
    int transcriptFd = -1;
    bool verbose = false;
};

// One control connection, served from start to end on the calling thread.
class CSimSession {
public:
    CSimSession(int controlFd, int number, const SimConfig& config, CSimFaults& faults);
    ~CSimSession();
    void run();

private:
    enum class Line { Ok, Closed };
    Line readLine(std::string& line);
    bool sendText(const std::string& text);
    bool reply(int code, const std::string& text);
    // The reply that ends a transfer; split in two when a rule asks.
    bool finalReply(int code, const std::string& text);
    void record(const std::string& line);
    void pause(int seconds);

    std::string virtualPath(const std::string& arg, bool* escaped = nullptr) const;
    std::string realPath(const std::string& vpath) const;

    // Command handlers; false ends the session.
    bool handle(const std::string& verb, const std::string& arg);
    bool doPort(const std::string& arg);
    bool doCwd(const std::string& arg);
    bool doNlst(const std::string& arg);
    bool doRetr(const std::string& arg);
    bool doDele(const std::string& arg);
    // Sends the bytes of a transfer over a fresh data connection; false ends the session.
    bool transfer(const std::string& verb, const std::string& arg, int fileFd, const std::string& text);
    // source: the loopback address the connection comes from (0: any).
    int connectData(unsigned source = 0);
    void sendStrayData();
    bool pendingAbort();

    int m_fd;
    int m_number;
    const SimConfig& m_config;
    CSimFaults& m_faults;
    std::string m_in;
    std::string m_cwd = "/";
    std::string m_user;
    bool m_loggedIn = false;
    bool m_haveDataAddr = false;
    unsigned m_dataHost = 0;
    unsigned short m_dataPort = 0;
    bool m_multiline = false;
    int m_splitFinalMs = 0;
    bool m_aborted = false;
};
