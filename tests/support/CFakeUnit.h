#pragma once

#include "link/CUnitBoxOps.h"

#include <QMap>
#include <QStringList>

// A unit for box-download tests: per unit directory, what counting gives, what the download gives and how many
// listing lines it reports; every call is written down ("count DIR MODE", "box DIR", "info DIR").
class CFakeUnit : public CUnitBoxOps {
public:
    struct Box {
        Count count{UnitResult::Done, 2};
        UnitResult result = UnitResult::Done;
        int lines = 2;
        bool cancel = false; // the download raises the cancel flag, as "キャンセル" pressed meanwhile would
    };

    // A box whose counting finds files and whose download ends with result after lines listing lines.
    static Box box(int files, UnitResult result = UnitResult::Done, int lines = -1) {
        return {{UnitResult::Done, files}, result, lines < 0 ? files : lines};
    }
    // A box whose counting already fails with countResult (NoBoxDirectory, CommFailure).
    static Box failingCount(UnitResult countResult, UnitResult result = UnitResult::NoBoxDirectory) {
        return {{countResult, 0}, result, 0};
    }

    QMap<QString, Box> boxes; // unit directories not named here behave as the default Box
    QStringList calls;

    Count CountBoxFiles(const QString& unitDir, const QString& localDir, Files files) override;
    UnitResult DownloadBox(const QString& boxFolder, const QString& unitDir, int& lineCount, CProgress* progress,
                           CDownloadLeaveOut* leaveOut) override;
    UnitResult DownloadBoxInfo(const QString& boxFolder, const QString& unitDir, int& lineCount, CProgress* progress,
                               CDownloadLeaveOut* leaveOut) override;

private:
    UnitResult run(const QString& unitDir, int& lineCount);
};
