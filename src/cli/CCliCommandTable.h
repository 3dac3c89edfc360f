#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class CCliCommands;

// Every command of kelda-cli, once: its name, its line in the overview, the options it takes, its --help text and
// the code that runs it. Dispatch, the help and the test of the completion and the manual page read this table.
class CCliCommandTable {
public:
    struct Entry {
        QString name;
        // The command with its operands and what it does, as the overview lists them.
        QString synopsis;
        QString summary;
        // The options it takes, without the dashes; --help is taken by every command.
        QStringList options;
        QString (*help)(const QString& name);
        // The exit status (the values of CCliCommands::Status).
        int (*run)(CCliCommands& commands);
    };

    // In the overview's order.
    static const std::vector<Entry>& all();
    // The command of that name, or null.
    static const Entry* find(const QString& name);

private:
    static std::vector<Entry> build();
};
