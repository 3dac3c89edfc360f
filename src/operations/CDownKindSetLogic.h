#pragma once

#include "operations/CDownloadStartLogic.h"
#include "platform/DlgOutcome.h"

// "ダウンロード種別": the bulk download's choice between voice and information or information only.
class CDownKindSetLogic : public CDownloadStartLogic {
public:
    CDownKindSetLogic(CUserInterface& ui, CKeldaSettings& doc, CUnitBoxOps& unit)
        : CDownloadStartLogic(ui, doc, unit) {}

    // "録音情報と音声ファイル" or "録音情報のみ". hide is called before the run starts.
    DlgOutcome download(CBoxDownload::Kind kind, const std::function<void()>& hide = {});
};
