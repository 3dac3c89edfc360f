#pragma once

#include <QString>

class CCliCommands;

// "kelda-cli export-audio FILE.vmdat... --out DIR [--format opus|wav] [--normalize]": the voice of messages as
// files to pass on, as the list window's "音声を書き出す..." writes them; the paths written go to stdout.
class CCliExportAudio {
public:
    explicit CCliExportAudio(CCliCommands& commands) : m_commands(commands) {}
    int run();
    static QString help();

private:
    CCliCommands& m_commands;
};
