#pragma once

#include <QString>

class CCliCommands;

// "kelda-cli move|copy DIR FILE... --to rusuroku/NNNN|naisen/NNNN": the list window's "移動・コピー" over the given
// message files.
class CCliMoveCopy {
public:
    explicit CCliMoveCopy(CCliCommands& commands) : m_commands(commands) {}
    int run();
    static QString help(const QString& command);

private:
    CCliCommands& m_commands;
};
