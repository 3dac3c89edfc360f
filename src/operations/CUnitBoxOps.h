#pragma once

#include <QString>

// What a box download needs from the unit, per box. The FTP client provides it; tests put a fake in its place
// to drive every combination of per-box results.
class CUnitBoxOps {
public:
    virtual ~CUnitBoxOps() = default;
    // Files listed in a unit box directory (mode 0 all, 1 "*.vminf"); -2 no such directory; -1 failure.
    virtual int CountBoxFiles(const QString& unitDir, const QString& localDir, int mode) = 0;
    // Per-box downloads (voice and information, or information only): 0, 550, -1, -2, -3, -4.
    virtual int DownloadBox(const QString& boxFolder, const QString& unitDir, int& lineCount) = 0;
    virtual int DownloadBoxInfo(const QString& boxFolder, const QString& unitDir, int& lineCount) = 0;
};
