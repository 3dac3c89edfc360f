#include "CSimFaults.h"

#include <fnmatch.h>

#include <algorithm>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::string upper(std::string s) {
    for (auto& c : s) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return s;
}

bool isNumber(const std::string& s) {
    if (s.empty()) {
        return false;
    }
    for (char c : s) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

std::string restOf(std::istringstream& in) {
    std::string rest;
    std::getline(in, rest);
    size_t start = rest.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : rest.substr(start);
}

// "\r", "\n" and "\\" in a raw line stand for CR, LF and a backslash, so that a rule can send a line holding a
// bare line feed, or several lines at once.
std::string unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[i + 1];
            if (next == 'r' || next == 'n' || next == '\\') {
                out += next == 'r' ? '\r' : next == 'n' ? '\n' : '\\';
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

} // namespace

bool CSimFaults::parseLine(const std::string& line, SimRule& rule, std::string& error) {
    std::istringstream in(line);
    std::string tok;
    rule = SimRule();
    while (in >> tok) {
        if (tok.rfind("session=", 0) == 0) {
            rule.session = std::atoi(tok.c_str() + 8);
        } else if (tok.rfind("times=", 0) == 0) {
            rule.times = std::atoi(tok.c_str() + 6);
        } else {
            break;
        }
    }
    if (tok.empty()) {
        error = "missing verb";
        return false;
    }
    rule.verb = tok == "greeting" ? tok : upper(tok);
    if (!(in >> tok)) {
        error = "missing action";
        return false;
    }
    if (tok.rfind("arg=", 0) == 0) {
        rule.arg = tok.substr(4);
        if (!(in >> tok)) {
            error = "missing action";
            return false;
        }
    }
    rule.action = tok;
    if (tok == "reply") {
        if (!(in >> tok) || !isNumber(tok)) {
            error = "reply needs a code";
            return false;
        }
        rule.number = std::atoi(tok.c_str());
        rule.text = restOf(in);
    } else if (tok == "raw") {
        rule.text = unescape(restOf(in));
    } else if (tok == "final") {
        if (!(in >> tok) || !isNumber(tok)) {
            error = "final needs a code";
            return false;
        }
        rule.number = std::atoi(tok.c_str());
        rule.text = unescape(restOf(in));
    } else if (tok == "silence" || tok == "cut-data" || tok == "drop" || tok == "abort-data" || tok == "split-final" ||
               tok == "nul-in-name" || tok == "long-line" || tok == "slow-data") {
        if (!(in >> tok) || !isNumber(tok)) {
            error = tok + " needs a number";
            return false;
        }
        rule.number = std::atoi(tok.c_str());
    } else if (tok == "stall-data") {
        std::string n2;
        if (!(in >> tok) || !isNumber(tok) || !(in >> n2) || !isNumber(n2)) {
            error = "stall-data needs a byte count and seconds";
            return false;
        }
        rule.number = std::atoi(tok.c_str());
        rule.number2 = std::atoi(n2.c_str());
    } else if (tok == "close" || tok == "multiline" || tok == "hangup" || tok == "no-connect" ||
               tok == "endless-data" || tok == "stray-data") {
        // no operands
    } else {
        error = "unknown action " + tok;
        return false;
    }
    return true;
}

bool CSimFaults::load(const std::string& path, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        // A missing file is an empty rule set: tests write it only when they need it.
        return true;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') {
            continue;
        }
        SimRule rule;
        if (!parseLine(line.substr(start), rule, error)) {
            error = path + ":" + std::to_string(number) + ": " + error;
            return false;
        }
        m_rules.push_back(rule);
    }
    return true;
}

const SimRule* CSimFaults::take(int session, const std::string& verb, const std::string& arg,
                                const std::string& actions, const std::vector<const SimRule*>& skip) {
    const std::string allowed = "," + actions + ",";
    for (auto& r : m_rules) {
        if (std::find(skip.begin(), skip.end(), &r) != skip.end()) {
            continue;
        }
        if (r.times == 0 || r.verb != verb || (r.session != 0 && r.session != session)) {
            continue;
        }
        if (allowed.find("," + r.action + ",") == std::string::npos) {
            continue;
        }
        if (!r.arg.empty() && r.arg != arg && fnmatch(r.arg.c_str(), arg.c_str(), 0) != 0) {
            continue;
        }
        if (r.times > 0) {
            --r.times;
        }
        return &r;
    }
    return nullptr;
}
