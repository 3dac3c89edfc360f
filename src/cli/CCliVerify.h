#pragma once

#include <QString>

class CCliCommands;

// "kelda-cli verify DIR": the check of a download folder against itself and, with --unit, against the unit's
// listings; --repair mends what can be mended.
class CCliVerify {
public:
    explicit CCliVerify(CCliCommands& commands) : m_commands(commands) {}
    int run();
    static QString help();

private:
    CCliCommands& m_commands;
};
