#pragma once

#include "operations/CDownloadStartLogic.h"

// "ダウンロード種別": the bulk download's choice between voice and information or information only.
class CDownKindSetLogic : public CDownloadStartLogic {
public:
    enum Outcome { Stay, EndOk };

    CDownKindSetLogic(CUserInterface& ui, CKeldaSettings& doc, CUnitBoxOps& unit)
        : CDownloadStartLogic(ui, doc, unit) {}

    // "録音情報と音声ファイル" or "録音情報のみ". hide is called before the run starts.
    Outcome download(CBoxDownload::Kind kind, const std::function<void()>& hide = {});
};
