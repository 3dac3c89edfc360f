#pragma once

#include <QString>

class CCliCommands;

// "kelda-cli delete DIR FILE... --kind unit|both|pc": the list window's "消去" over the given message files.
class CCliDelete {
public:
    explicit CCliDelete(CCliCommands& commands) : m_commands(commands) {}
    int run();
    static QString help();

private:
    CCliCommands& m_commands;
};
