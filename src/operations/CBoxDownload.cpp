#include "operations/CBoxDownload.h"

#include "operations/COperationTexts.h"
#include "operations/CPrgFileDwnDlg.h"
#include "platform/CCancelFlag.h"
#include "platform/CUserInterface.h"
#include "store/CFileMng.h"

#include <QFileInfo>
#include <QSet>

namespace {

void addBoxes(QList<CBoxDownload::Box>& out, const QString& downloadFolder, const QString& kind, bool extension) {
    QStringList folders;
    CFileMng::ListSubfolders(CFileMng::Join(downloadFolder, kind), folders);
    for (const QString& folder : folders) {
        if (CFileMng::GetMake(folder) == CFileMng::Make::ByUser) {
            continue;
        }
        out.append({folder, QStringLiteral("/%1/%2").arg(kind, QFileInfo(folder).fileName()), extension});
    }
}

} // namespace

QString CBoxDownload::DownloadFolderPath(const QString& root, const QString& folderName) {
    QString path = root + folderName;
    path.replace(QStringLiteral("："), QStringLiteral(":"));
    return path;
}

QList<CBoxDownload::Box> CBoxDownload::BulkBoxes(const QString& downloadFolder) {
    QList<Box> boxes;
    addBoxes(boxes, downloadFolder, QStringLiteral("rusuroku"), false);
    addBoxes(boxes, downloadFolder, QStringLiteral("naisen"), true);
    return boxes;
}

QList<CBoxDownload::Box> CBoxDownload::SelectedBoxes(const QString& downloadFolder, const QStringList& answeringBoxes,
                                                     const QStringList& extensionBoxes) {
    QList<Box> boxes;
    for (const QString& no : answeringBoxes) {
        boxes.append({CFileMng::Join(downloadFolder, QStringLiteral("rusuroku/") + no),
                      QStringLiteral("/rusuroku/") + no, false});
    }
    for (const QString& no : extensionBoxes) {
        boxes.append(
            {CFileMng::Join(downloadFolder, QStringLiteral("naisen/") + no), QStringLiteral("/naisen/") + no, true});
    }
    return boxes;
}

int CBoxDownload::RunBoxDownload(CUserInterface& ui, CUnitBoxOps& unit, int kind, bool bulk, const QList<Box>& boxes) {
    CCancelFlag::clear();
    CPrgFileDwnDlg progress(ui);
    if (bulk) {
        ui.dispatchPendingEvents(1002);
    }

    // Counting: the total decides the progress counter and which result messages apply.
    int T = 0;
    QSet<int> missingOnUnit;
    for (int i = 0; i < boxes.size(); ++i) {
        if (CCancelFlag::isSet()) {
            progress.close();
            return -1;
        }
        const int count = unit.CountBoxFiles(boxes[i].unitDir, boxes[i].boxFolder, kind);
        if (count >= 0) {
            T += count;
        } else if (count == -2) {
            missingOnUnit.insert(i);
        } else {
            progress.close();
            ui.messageBox(COperationTexts::CommError(), COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
            return -1;
        }
    }
    if (T < 1) {
        progress.close();
        ui.messageBox(COperationTexts::NoMessages(), COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
        return bulk ? 1 : 0;
    }

    if (kind == InfoOnly) {
        progress.setRange(0, T);
        progress.setCounterTotal(T);
        progress.advanceCounter();
    } else if (T / 2 > 0) {
        progress.setCounterTotal(T / 2);
        progress.advanceCounter();
    }
    if (bulk) {
        ui.dispatchPendingEvents(12);
    }

    int R = 0;
    int M = 0;
    int F = 0;
    bool diskFull = false;
    // One phase over the boxes of one kind; false when it ended on a failure.
    auto phase = [&](bool extension) {
        for (int i = 0; i < boxes.size(); ++i) {
            if (boxes[i].extension != extension) {
                continue;
            }
            int lines = 0;
            const int r = kind == VoiceAndInfo ? unit.DownloadBox(boxes[i].boxFolder, boxes[i].unitDir, lines)
                                               : unit.DownloadBoxInfo(boxes[i].boxFolder, boxes[i].unitDir, lines);
            // A box whose unit directory was already missing when counting is skipped, not a failure: it must
            // not turn a finished download into a communication error or hide its completion message.
            if (r == -2 && missingOnUnit.contains(i)) {
                continue;
            }
            R = r;
            diskFull = diskFull || R == -4;
            if (R == 0) {
                continue;
            }
            F += lines;
            if (R == 550) {
                M = 1;
            }
            if (R == 550 || R == -2) {
                continue;
            }
            return;
        }
    };

    phase(false);
    const bool answeringOk = bulk ? (R == 0 || R == 550 || R == -2) : (R != -1);
    if (!CCancelFlag::isSet() && answeringOk) {
        phase(true);
    }
    progress.close();

    if (CCancelFlag::isSet()) {
        return R;
    }
    // A selected download goes on to the extension boxes after a full disk; a later box that had room, or one
    // whose voice files were gone, must not hide that messages were left on the unit for want of space.
    if (diskFull && R != -1) {
        R = -4;
    }

    const int N = bulk ? T : (kind == InfoOnly ? T : T / 2);
    const auto done = [&ui](const QString& text) {
        ui.messageBox(text, COperationTexts::DownloadDoneCaption(), MsgIcon::Information);
    };
    const auto error = [&ui](const QString& text) {
        ui.messageBox(text, COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
    };
    if (N <= 1) {
        if (R == 0) {
            done(COperationTexts::DownloadDone());
        } else if (M == 1) {
            error(COperationTexts::AlreadyErased());
        } else if (R == -4) {
            error(COperationTexts::NoDiskSpace());
        } else {
            error(COperationTexts::CommError());
        }
    } else if (R == 0 && M == 0) {
        done(COperationTexts::DownloadDone());
    } else if (R == -1) {
        error(COperationTexts::CommError());
        return -1;
    } else if (F > 0 && F < T) {
        if (M == 1) {
            done(COperationTexts::PartlyNoVoice());
        }
        if (R == -4) {
            done(COperationTexts::PartlyNoDiskSpace());
        }
    } else {
        if (M == 1) {
            error(COperationTexts::AlreadyErased());
        }
        if (R == -4) {
            error(COperationTexts::NoDiskSpace());
        }
    }
    return R;
}
