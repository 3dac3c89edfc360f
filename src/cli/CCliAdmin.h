#pragma once

#include <QString>

class CCliArgs;
class CConsoleUi;

// The box administration commands of kelda-cli: "import-names" (an extension phone book into DIR's extension
// box names, as the import dialog does) and "box-name" (one box's name, under the box name editor's rule).
class CCliAdmin {
public:
    CCliAdmin(const CCliArgs& args, CConsoleUi& ui) : m_args(args), m_ui(ui) {}

    // The --help texts of the two commands.
    static QString ImportNamesHelp();
    static QString BoxNameHelp();

    // The commands; each returns the exit status (the values of CCliCommands::Status).
    int importNames();
    int boxName();

private:
    // False after a usage message when an option is given that the command does not take.
    bool onlyOptions();
    int usage(const QString& problem);
    // The first operand as an existing folder (absolute, clean), after the options and the number of operands are
    // checked (takes: the usage message when that number is not operandCount); empty after a usage message.
    QString folderOperand(qsizetype operandCount, const QString& takes);

    const CCliArgs& m_args;
    CConsoleUi& m_ui;
};
