#pragma once

#include <string>
#include <vector>

// One scripted misbehaviour. A rule matches a command verb (or the pseudo-verb "greeting"), optionally only
// for one argument (a shell-style pattern), one session number and a limited number of times.
struct SimRule {
    int session = 0;    // 0: every session; otherwise 1-based session number
    int times = -1;     // -1: unlimited
    std::string verb;   // upper case, or "greeting"
    std::string arg;    // empty: any argument
    std::string action; // reply, raw, silence, close, hangup, multiline, split-final, cut-data, abort-data, drop,
                        // stall-data, no-connect, endless-data, stray-data, nul-in-name, long-line, final
    int number = 0;     // reply code, seconds, milliseconds, a line number or a byte count
    int number2 = 0;    // second number (stall-data: seconds)
    std::string text;   // reply text or raw line
};

// The rule set, read from the faults file at the start of each session (so a test can change it between
// sessions) plus the rules given on the command line.
class CSimFaults {
public:
    static bool parseLine(const std::string& line, SimRule& rule, std::string& error);
    bool load(const std::string& path, std::string& error);
    void add(const SimRule& rule) { m_rules.push_back(rule); }

    // The first rule that matches, whose action is one of the comma-separated actions and that still has uses
    // left, leaving out the rules already applied to this command; the use is counted.
    const SimRule* take(int session, const std::string& verb, const std::string& arg, const std::string& actions,
                        const std::vector<const SimRule*>& skip);

private:
    std::vector<SimRule> m_rules;
};
