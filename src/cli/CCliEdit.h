#pragma once

class CCliArgs;
class CConsoleUi;

// "kelda-cli edit FILE": changes the recording information of one message as the information editor does, with
// its checks and its question.
class CCliEdit {
public:
    // 0 written; 1 not confirmed, or the file could not be read or written; 2 bad usage or a refused entry.
    static int run(const CCliArgs& args, CConsoleUi& ui);
};
