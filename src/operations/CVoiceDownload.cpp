#include "operations/CVoiceDownload.h"

#include "link/CFtpMng.h"
#include "operations/COperationTexts.h"
#include "operations/CPrgFileDwnDlg.h"
#include "platform/CCancelFlag.h"
#include "platform/CDiskSpace.h"
#include "platform/CUserInterface.h"

CVoiceDownload::Target CVoiceDownload::TargetOf(const QString& filePath) {
    Target t;
    const qsizetype slash = filePath.lastIndexOf('/');
    t.name = filePath.mid(slash + 1);
    t.name.replace(QLatin1String(".vminf"), QLatin1String(".vmdat"));
    t.boxFolder = filePath.left(std::max<qsizetype>(slash, 0));
    const qsizetype before = slash > 0 ? t.boxFolder.lastIndexOf('/') : -1;
    t.boxNo = t.boxFolder.mid(before + 1);
    const QString kind =
        filePath.contains(QLatin1String("/naisen/")) ? QStringLiteral("naisen") : QStringLiteral("rusuroku");
    t.unitDir = QStringLiteral("/%1/%2").arg(kind, t.boxNo);
    t.unitPath = t.unitDir + '/' + t.name;
    return t;
}

bool CVoiceDownload::RunVoiceDownload(CUserInterface& ui, CFtpMng& ftp, const QStringList& selectedFilePaths) {
    const int n = static_cast<int>(selectedFilePaths.size());
    CCancelFlag::clear();
    if (n == 0) {
        ui.messageBox(COperationTexts::NothingSelected(), COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
        return false;
    }

    ui.setMainWindowEnabled(false);
    int done = 0;
    int missingCount = 0;
    bool missing = false;
    bool diskFull = false;
    bool pendingMissing = false;
    int last = 0;
    qint64 spaceNeeded = 0;
    {
        CPrgFileDwnDlg progress(ui);
        progress.setCounterTotal(n);
        progress.advanceCounter();
        for (const QString& path : selectedFilePaths) {
            if (CCancelFlag::isSet()) {
                break;
            }
            ++done;
            const Target t = TargetOf(path);
            const qint64 free = CDiskSpace::freeBytes(t.boxFolder);
            const int found = ftp.FindVoiceSize(t.unitDir, t.boxFolder, t.name, spaceNeeded);
            if (found == 0) {
                missing = true;
                pendingMissing = true;
            } else if (free < spaceNeeded) {
                ++missingCount;
                diskFull = true;
                break;
            }
            if (CCancelFlag::isSet()) {
                break;
            }
            progress.post(CPrgFileDwnDlg::FileSize, spaceNeeded / 1024);
            last = ftp.DownloadVoice(t.unitPath, t.boxFolder, t.name);
            if (last == 0) {
                if (pendingMissing) {
                    ++missingCount;
                    pendingMissing = false;
                }
            } else if (last == 550) {
                missing = true;
                ++missingCount;
                pendingMissing = false;
            } else {
                diskFull = diskFull || last == -4;
                break;
            }
            progress.post(CPrgFileDwnDlg::Downloading);
            progress.post(CPrgFileDwnDlg::NextMessage);
            ui.dispatchPendingEvents(1);
        }
        progress.close();
    }
    ui.setMainWindowEnabled(true);

    if (last == -3 || CCancelFlag::isSet()) {
        return true;
    }
    const auto done_ = [&ui](const QString& text) {
        ui.messageBox(text, COperationTexts::DownloadDoneCaption(), MsgIcon::Information);
    };
    const auto error = [&ui](const QString& text) {
        ui.messageBox(text, COperationTexts::ErrorCaption(), MsgIcon::Exclamation);
    };
    const bool allOrOne = done < 2 || done == missingCount;
    if (missing) {
        if (allOrOne) {
            error(COperationTexts::AlreadyErased());
            if (done == missingCount && diskFull) {
                error(COperationTexts::NoDiskSpace());
            }
            return false;
        }
        done_(COperationTexts::PartlyNoVoice());
    }
    if (diskFull) {
        if (allOrOne) {
            error(COperationTexts::NoDiskSpace());
        } else {
            done_(COperationTexts::PartlyNoDiskSpace());
        }
        return false;
    }
    if (!missing) {
        if (last != 0) {
            error(COperationTexts::CommError());
            return false;
        }
        done_(COperationTexts::DownloadDone());
    }
    return true;
}
