#pragma once

#include <QString>

// The --help texts of the tool and of each command.
class CCliHelp {
public:
    // The text for a command, or the overview for an empty or unknown one.
    static QString text(const QString& command);
    // The parts the texts of several commands end with: the connection options, and how the command ends.
    static QString connection();
    static QString status();
};
