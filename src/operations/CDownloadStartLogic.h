#pragma once

#include "operations/CBoxDownload.h"

#include <QList>

#include <functional>

class CKeldaSettings;
class CUnitBoxOps;
class CUserInterface;

// What the two download dialogs ("ダウンロード種別" and "ボックス選択") share: the link watch that greys their
// download buttons, the question before a run, and the run itself with the main window held.
class CDownloadStartLogic {
public:
    // The 1000 ms timer: without the link the download buttons go grey.
    void tick();
    bool buttonsEnabled() const { return m_enabled; }
    // Messages deleted on the PC alone are downloaded again ("ＰＣのみで消去したメッセージもダウンロードする").
    void setIncludeDeletedOnPc(bool on) { m_includeDeletedOnPc = on; }
    bool includeDeletedOnPc() const { return m_includeDeletedOnPc; }
    // The outcome of the last download run.
    const CBoxDownload::Outcome& lastResult() const { return m_result; }

protected:
    CDownloadStartLogic(CUserInterface& ui, CKeldaSettings& doc, CUnitBoxOps& unit)
        : m_ui(ui), m_doc(doc), m_unit(unit) {}

    // False when the buttons are grey, no download folder is chosen, or the user does not answer yes.
    bool confirmed();
    // hide (if given), then the run over the boxes boxes() names, with the main window disabled meanwhile.
    void run(CBoxDownload::Kind kind, bool bulk, const std::function<QList<CBoxDownload::Box>()>& boxes,
             const std::function<void()>& hide);

    CUserInterface& m_ui;
    CKeldaSettings& m_doc;
    CUnitBoxOps& m_unit;

private:
    bool m_enabled = true;
    bool m_includeDeletedOnPc = false;
    CBoxDownload::Outcome m_result;
};
