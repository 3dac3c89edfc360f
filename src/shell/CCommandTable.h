#pragma once

#include "shell/CCommandRules.h"
#include "shell/CMainFrameLogic.h"

#include <QString>

#include <array>
#include <functional>

// Every command of the main frame, each registered once by the subsystem that serves it: the handler that runs
// it, the rule that enables it and, for the two setting items with a check mark, the rule that ticks it. The
// frame runs commands and greys its buttons and items only through this table, so a new command is one
// registration in its subsystem's command class (src/ui/<subsystem>/C...Commands), for example
//     t.add(CMainFrameLogic::CmdPlay, &CCommandRules::singleVoiceSelected, [this] { play(); });
// with its rule written in CCommandRules, where it is tested without a window.
class CCommandTable {
public:
    using Command = CMainFrameLogic::Command;
    using Handler = std::function<void()>;
    using Rule = CCommandRules::Rule;

    enum class Registration {
        Added,
        AlreadyRegistered, // a second registration of the same command; the first stays
        Incomplete,        // no handler, no rule, or a command outside the table
    };

    Registration add(Command cmd, Rule enabled, Handler run);
    // A setting item with a check mark.
    Registration addToggle(Command cmd, Rule enabled, Rule checked, Handler run);
    // Replaces the handler of a registered command (tests, stand-ins); false when none is registered.
    bool replaceHandler(Command cmd, Handler run);

    // Runs the command's handler; false when the command has none.
    bool run(Command cmd) const;
    // False for a command nobody registered.
    bool isEnabled(Command cmd, const CMainFrameLogic& frame, const CMainFrameLogic::EnableInputs& in) const;
    bool isCheckable(Command cmd) const;
    bool isChecked(Command cmd, const CMainFrameLogic& frame, const CMainFrameLogic::EnableInputs& in) const;

    bool isRegistered(Command cmd) const;
    Rule enableRule(Command cmd) const;
    // How often a command was offered for registration, refused ones included: exactly once for each command in a
    // complete table.
    int registrationCount(Command cmd) const;

private:
    struct Entry {
        Handler run;
        Rule enabled = nullptr;
        Rule checked = nullptr;
        int offered = 0;
    };
    const Entry* entry(Command cmd) const;
    Registration put(Command cmd, Entry e);

    std::array<Entry, CMainFrameLogic::CmdCount> m_entries;
};
