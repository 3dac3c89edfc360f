#include "support/CFakeUnit.h"

#include "platform/CCancelFlag.h"

CUnitBoxOps::Count CFakeUnit::CountBoxFiles(const QString& unitDir, const QString&, Files files) {
    calls << QStringLiteral("count %1 %2").arg(unitDir).arg(static_cast<int>(files));
    return boxes.value(unitDir).count;
}

UnitResult CFakeUnit::DownloadBox(const QString&, const QString& unitDir, int& lineCount, CProgress*,
                                  CDownloadLeaveOut*) {
    calls << QStringLiteral("box %1").arg(unitDir);
    return run(unitDir, lineCount);
}

UnitResult CFakeUnit::DownloadBoxInfo(const QString&, const QString& unitDir, int& lineCount, CProgress*,
                                      CDownloadLeaveOut*) {
    calls << QStringLiteral("info %1").arg(unitDir);
    return run(unitDir, lineCount);
}

UnitResult CFakeUnit::run(const QString& unitDir, int& lineCount) {
    const Box b = boxes.value(unitDir);
    lineCount = b.lines;
    if (b.cancel) {
        CCancelFlag::set(1);
    }
    return b.result;
}
