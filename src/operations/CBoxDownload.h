#pragma once

#include "operations/CUnitBoxOps.h"

#include <QList>
#include <QString>
#include <QStringList>

class CUserInterface;

// The box-level download run behind "一括ﾀﾞｳﾝﾛｰﾄﾞ" and "選択ﾀﾞｳﾝﾛｰﾄﾞ": counts the chosen boxes' files on the unit,
// downloads box after box with a progress window, and reports the outcome with its messages.
class CBoxDownload {
public:
    enum Kind { VoiceAndInfo = 0, InfoOnly = 1 };

    struct Box {
        QString boxFolder; // local box folder
        QString unitDir;   // "/rusuroku/NNNN" or "/naisen/NNNN"
        bool extension = false;
    };

    // The box folders of a download folder a bulk download goes through: answering-machine boxes, then
    // extension boxes, in directory order; folders made by hand on the PC (MAKE 1) are left out.
    static QList<Box> BulkBoxes(const QString& downloadFolder);
    // The named boxes of a selected download (answering-machine boxes first).
    static QList<Box> SelectedBoxes(const QString& downloadFolder, const QStringList& answeringBoxes,
                                    const QStringList& extensionBoxes);
    // A local download folder path from the settings' root and folder name ("：" back to ":").
    static QString DownloadFolderPath(const QString& root, const QString& folderName);

    // Runs the download and shows every message itself. Returns the last per-box result, or -1 / 0 / 1 when the
    // run ended early as the counting phase decides.
    static int RunBoxDownload(CUserInterface& ui, CUnitBoxOps& unit, int kind, bool bulk, const QList<Box>& boxes);
};
