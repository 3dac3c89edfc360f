#pragma once

#include <QString>

class CCliCommands;

// "kelda-cli play FILE... [--speed S]": plays messages' voice data on the default sound device, one after the
// other, and marks each played as the list marks it.
class CCliPlay {
public:
    explicit CCliPlay(CCliCommands& commands) : m_commands(commands) {}
    int run();
    static QString help();

private:
    CCliCommands& m_commands;
};
