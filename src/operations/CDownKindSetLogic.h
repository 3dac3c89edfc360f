#pragma once

#include "operations/CBoxDownload.h"

#include <functional>

class CKeldaSettings;
class CUnitBoxOps;
class CUserInterface;

// "ダウンロード種別": the bulk download's choice between voice and information or information only.
class CDownKindSetLogic {
public:
    enum Outcome { Stay, EndOk };

    CDownKindSetLogic(CUserInterface& ui, CKeldaSettings& doc, CUnitBoxOps& unit)
        : m_ui(ui), m_doc(doc), m_unit(unit) {}

    // The 1000 ms timer: without the link both download buttons go grey.
    void tick();
    bool buttonsEnabled() const { return m_enabled; }
    // "録音情報と音声ファイル" or "録音情報のみ". hide is called before the run starts.
    Outcome download(CBoxDownload::Kind kind, const std::function<void()>& hide = {});
    // The outcome of the last download run.
    const CBoxDownload::Outcome& lastResult() const { return m_result; }

private:
    CUserInterface& m_ui;
    CKeldaSettings& m_doc;
    CUnitBoxOps& m_unit;
    bool m_enabled = true;
    CBoxDownload::Outcome m_result;
};
