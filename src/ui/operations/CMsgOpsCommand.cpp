#include "ui/operations/CMsgOpsCommand.h"

#include "link/CFtpMng.h"
#include "operations/CDelKindSetLogic.h"
#include "operations/CMsgCopy.h"
#include "operations/CMsgCopyLogic.h"
#include "operations/CMsgDelete.h"
#include "operations/COperationTexts.h"
#include "platform/CUserInterface.h"
#include "ui/list/CChildFrame.h"
#include "ui/list/CDataListCtrl.h"
#include "ui/list/CListDispView.h"
#include "ui/operations/CDelKindSetDlg.h"
#include "ui/operations/CMsgCopyDlg.h"
#include "ui/operations/COwrMsgDlg.h"
#include "ui/shell/CMainFrame.h"

namespace {

std::vector<FILESTS_INFO> selectedRecords(CListDispView& view) {
    std::vector<FILESTS_INFO> out;
    const CListModel& model = view.model();
    for (int row : view.list()->selectedRowNumbers()) {
        if (row >= 0 && row < model.rowCount()) {
            out.push_back(model.recordAt(row));
        }
    }
    return out;
}

} // namespace

void CMsgOpsCommand::Delete(CMainFrame& frame, CUserInterface& ui, CFtpMng* ftp) {
    CChildFrame* active = frame.activeList();
    if (!active) {
        return;
    }
    CListDispView* view = active->view();
    const std::vector<FILESTS_INFO> rows = selectedRecords(*view);
    if (rows.empty()) {
        ui.messageBox(COperationTexts::NothingSelected(), COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
        return;
    }
    CDelKindSetLogic logic(ui, frame.doc());
    logic.setChosenCount(int(rows.size()));
    CDelKindSetDlg dlg(logic, &frame);
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    const CMsgDelete::Kind kind = logic.kind();
    CMsgDelete::UnitDelete unit;
    if (ftp && frame.doc().loggedIn == 1) {
        unit = CMsgDelete::Through(*ftp);
    } else {
        unit = [](const QString&, const QString&) { return UnitResult::CommFailure; };
    }
    CMsgDelete::Run(ui, kind, rows, frame.doc().currentFolderPath() + QLatin1Char('/'), unit);
    view->reload(CListModel::Sort::Keep, CListModel::Columns::Same);
    frame.refreshStatus(true);
}

void CMsgOpsCommand::MoveCopy(CMainFrame& frame, CUserInterface& ui) {
    CChildFrame* active = frame.activeList();
    if (!active) {
        return;
    }
    CListDispView* view = active->view();
    CMsgCopyLogic logic(ui, frame.doc().currentFolderPath());
    logic.setChosenCount(int(selectedRecords(*view).size()));
    CMsgCopyDlg dlg(logic, &frame);
    if (dlg.run() != DlgOutcome::EndOk) {
        return;
    }
    CMsgCopy op(ui, [&frame](const QString& name) { return COwrMsgDlg::ask(name, &frame); });
    op.Run(logic.kind(), logic.target(), selectedRecords(*view), frame.doc().currentFolderPath());
    // The target box may be shown by this list or another one: every list is loaded again, so that its rows
    // agree with the counts the status line takes from the store. A move also resets this list's sort.
    for (CChildFrame* f : frame.listWindows()) {
        const bool resetSort = f == active && logic.kind() == CMsgCopy::Kind::Move;
        f->view()->reload(resetSort ? CListModel::Sort::Reset : CListModel::Sort::Keep, CListModel::Columns::Same);
    }
    frame.refreshStatus(true);
}
