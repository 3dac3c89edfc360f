#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

// The command line of kelda-cli: a command, its operands and options (anywhere, "--name value" or
// "--name=value"). Parsing only sorts the words; what they mean is the commands' business.
class CCliArgs {
public:
    // False with error set when a word is not understood.
    bool parse(const QStringList& arguments);

    QString command;
    QStringList operands;
    bool help = false;
    bool yes = false;
    bool infoOnly = false;
    bool convert = false;
    bool csv = false;
    QString unit;
    QString port;
    QString user;
    QString passwordFile;
    QString boxesText;
    QString columns;
    QStringList boxes;
    QString kind;      // delete: unit, both or pc
    QString to;        // move, copy: rusuroku/NNNN or naisen/NNNN
    QString overwrite; // move, copy: all or none
    // Every option given with a value, by name without the dashes (the last one counts).
    QHash<QString, QString> values;
    // The options given, by name without the dashes, so that a command can refuse the ones it does not take.
    QSet<QString> given;
    QString error;
};
