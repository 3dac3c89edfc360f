#include "ui/list/CListCommands.h"

#include "list/CBoxOpenLogic.h"
#include "platform/CCommonTexts.h"
#include "platform/CUserInterface.h"
#include "shell/CCommandRules.h"
#include "ui/list/CBoxOpenDlg.h"
#include "ui/list/CChildFrame.h"
#include "ui/list/CDataListCtrl.h"
#include "ui/list/CListDispView.h"
#include "ui/shell/CMainFrame.h"

using C = CMainFrameLogic;
using R = CCommandRules;

CListCommands::CListCommands(CMainFrame& frame) : m_frame(frame) {
    CCommandTable& t = m_frame.commands();
    t.add(C::CmdBox, &R::folderChosen, [this] { openBoxes(); });
    t.add(C::CmdAllDisplay, &R::listActive, [this] { showAll(); });
    t.add(C::CmdSelDisplay, &R::listActive, [this] { inActiveList(&CListDispView::selectDisplay); });
    t.add(C::CmdNotDownloaded, &R::infoOnlyRowsPresent, [this] { inActiveList(&CListDispView::notDownloadedDisplay); });
    t.add(C::CmdColumns, &R::listActive, [this] { chooseColumns(); });
    t.add(C::CmdEditInfo, &R::listActive, [this] { editRecord(); });
}

void CListCommands::openBoxes() {
    if (m_frame.logic().folderField().isEmpty()) {
        return;
    }
    CBoxOpenLogic logic(m_frame.doc(), m_frame.ui());
    int slot = 0;
    if (boxChooser) {
        slot = boxChooser(logic);
    } else {
        CBoxOpenDlg dlg(logic, &m_frame);
        slot = dlg.run();
    }
    if (slot <= 0) {
        return;
    }
    m_frame.logic().slotOpened(slot);
    m_frame.doc().num += 1;
    m_frame.logic().maximizeFlag = true;
    m_frame.refreshFields();
    m_frame.openListWindow(slot);
    m_frame.refreshStatus(true);
}

void CListCommands::showAll() {
    inActiveList(&CListDispView::allDisplay);
}

template <typename Action> void CListCommands::inActiveList(Action action) {
    CChildFrame* active = m_frame.activeList();
    if (!active) {
        return;
    }
    (active->view()->*action)();
    m_frame.refreshStatus(false);
}

void CListCommands::chooseColumns() {
    CChildFrame* active = m_frame.activeList();
    if (active && active->view()->columnSettings(m_frame.logic().iniFile())) {
        m_frame.reloadAllLists(CListModel::Sort::Reset, CListModel::Columns::Changed);
        m_frame.refreshStatus(false);
    }
}

void CListCommands::editRecord() {
    CChildFrame* active = m_frame.activeList();
    if (!active) {
        return;
    }
    if (active->view()->list()->selectedRowNumbers().empty()) {
        m_frame.ui().messageBox(CCommonTexts::NothingSelected(), CCommonTexts::ErrorCaption(), MsgIcon::Exclamation);
        return;
    }
    active->view()->editInfo();
    m_frame.refreshStatus(false);
}
