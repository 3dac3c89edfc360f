#include "admin/CRegisterGate.h"

#include "admin/CAdminTexts.h"
#include "platform/CUserInterface.h"
#include "store/CFolderLock.h"

CRegisterGate::Start CRegisterGate::Begin(CUserInterface& ui, CFolderLock& lock, const QString& downloadFolder) {
    if (ui.messageBox(CAdminTexts::RegisterConfirm(), CAdminTexts::RegisterConfirmCaption(), MsgIcon::Question,
                      MsgButtons::YesNo) != MsgResult::Yes) {
        return Start::Declined;
    }
    if (!lock.acquireOrTell(ui, downloadFolder)) {
        return Start::Busy;
    }
    return Start::Go;
}
