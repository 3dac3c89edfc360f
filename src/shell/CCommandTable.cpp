#include "shell/CCommandTable.h"

CCommandTable::Registration CCommandTable::add(Command cmd, Rule enabled, Handler run) {
    return put(cmd, {std::move(run), enabled, nullptr, 0});
}

CCommandTable::Registration CCommandTable::addToggle(Command cmd, Rule enabled, Rule checked, Handler run) {
    if (!checked) {
        return Registration::Incomplete;
    }
    return put(cmd, {std::move(run), enabled, checked, 0});
}

CCommandTable::Registration CCommandTable::put(Command cmd, Entry e) {
    if (cmd < 0 || cmd >= CMainFrameLogic::CmdCount) {
        return Registration::Incomplete;
    }
    Entry& slot = m_entries[cmd];
    ++slot.offered;
    if (slot.run) {
        return Registration::AlreadyRegistered;
    }
    if (!e.run || !e.enabled) {
        return Registration::Incomplete;
    }
    e.offered = slot.offered;
    slot = std::move(e);
    return Registration::Added;
}

bool CCommandTable::replaceHandler(Command cmd, Handler run) {
    if (cmd < 0 || cmd >= CMainFrameLogic::CmdCount || !m_entries[cmd].run || !run) {
        return false;
    }
    m_entries[cmd].run = std::move(run);
    return true;
}

const CCommandTable::Entry* CCommandTable::entry(Command cmd) const {
    if (cmd < 0 || cmd >= CMainFrameLogic::CmdCount || !m_entries[cmd].run) {
        return nullptr;
    }
    return &m_entries[cmd];
}

bool CCommandTable::run(Command cmd) const {
    const Entry* e = entry(cmd);
    if (!e) {
        return false;
    }
    // A copy: the handler may replace or outlive its own entry while it runs.
    const Handler handler = e->run;
    handler();
    return true;
}

bool CCommandTable::isEnabled(Command cmd, const CMainFrameLogic& frame,
                              const CMainFrameLogic::EnableInputs& in) const {
    const Entry* e = entry(cmd);
    return e && e->enabled(frame, in);
}

bool CCommandTable::isCheckable(Command cmd) const {
    const Entry* e = entry(cmd);
    return e && e->checked;
}

bool CCommandTable::isChecked(Command cmd, const CMainFrameLogic& frame,
                              const CMainFrameLogic::EnableInputs& in) const {
    const Entry* e = entry(cmd);
    return e && e->checked && e->checked(frame, in);
}

bool CCommandTable::isRegistered(Command cmd) const {
    return entry(cmd) != nullptr;
}

CCommandTable::Rule CCommandTable::enableRule(Command cmd) const {
    const Entry* e = entry(cmd);
    return e ? e->enabled : nullptr;
}

int CCommandTable::registrationCount(Command cmd) const {
    return cmd < 0 || cmd >= CMainFrameLogic::CmdCount ? 0 : m_entries[cmd].offered;
}
