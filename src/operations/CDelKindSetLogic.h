#pragma once

#include "operations/CMsgDelete.h"
#include "platform/DlgOutcome.h"

class CKeldaSettings;
class CUserInterface;

// "音声メッセージ消去": the choice of the deletion kind. The two unit buttons go grey without the link, checked on
// opening and by the dialog's 1000 ms timer.
class CDelKindSetLogic {
public:
    CDelKindSetLogic(CUserInterface& ui, const CKeldaSettings& doc) : m_ui(ui), m_doc(doc) {}

    // On opening and on every timer tick.
    void tick();
    bool unitButtonsEnabled() const { return m_unitEnabled; }
    // A kind button ("ＺＵＮＯのみ" 0, "ＺＵＮＯとＰＣ" 1, "ＰＣのみ" 2): asks, and ends the dialog after "はい".
    DlgOutcome choose(CMsgDelete::Kind kind);
    CMsgDelete::Kind kind() const { return m_kind; }
    // How many messages are chosen, for the question to name (0: not known, not named).
    void setChosenCount(int count) { m_count = count; }
    static QString KindLabel(CMsgDelete::Kind kind);

private:
    CUserInterface& m_ui;
    const CKeldaSettings& m_doc;
    bool m_unitEnabled = true;
    CMsgDelete::Kind m_kind = CMsgDelete::Kind::PcOnly;
    int m_count = 0;
};
