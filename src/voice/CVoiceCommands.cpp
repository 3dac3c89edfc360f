#include "voice/CVoiceCommands.h"

#include "platform/CCancelFlag.h"
#include "platform/CDiskSpace.h"
#include "platform/CUserInterface.h"
#include "store/CFileMng.h"
#include "voice/CPrgWavDelDlg.h"
#include "voice/CWavConvDlg.h"
#include "voice/CWavPath.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString kNotDownloaded = QStringLiteral("音声ファイルがダウンロードされて\nいません。");
const QString kAlreadyDeleted = QStringLiteral("音声ファイルは既に消去されています。");
const QString kNoSpace = QStringLiteral("ＰＣのメモリ不足です。");
const QString kConvertFailed = QStringLiteral("ＷＡＶファイルへの変換ができませんでした。");
const QString kError = QStringLiteral("エラー");
const QString kDone = QStringLiteral("変換完了");

QString pathOf(const FILESTS_INFO& rec) {
    return FILESTS_INFO::text(rec.filePath);
}

bool hasVoicePath(const FILESTS_INFO& rec) {
    return pathOf(rec).contains(QLatin1String(".vmdat"));
}

void error(CUserInterface& ui, const QString& text) {
    ui.messageBox(text, kError, MsgIcon::Exclamation);
}

// Reads the voice-data file's size through an open handle, as the conversion will read it. -1: not openable.
qint64 openableSize(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return -1;
    }
    return f.size();
}

} // namespace

bool CVoiceCommands::WavFits(const QString& voiceFile, qint64 voiceBytes) {
    return CDiskSpace::fits(QFileInfo(voiceFile).path(), 16 * voiceBytes);
}

bool CVoiceCommands::CanConvert(const std::vector<FILESTS_INFO>& selectedRows) {
    for (const auto& r : selectedRows) {
        if (hasVoicePath(r)) {
            return true;
        }
    }
    return false;
}

bool CVoiceCommands::CanPlay(const std::vector<FILESTS_INFO>& selectedRows) {
    return selectedRows.size() == 1 && hasVoicePath(selectedRows.front());
}

CVoiceCommands::ConvertOutcome CVoiceCommands::Convert(CUserInterface& ui, const std::vector<FILESTS_INFO>& rows) {
    ConvertOutcome outcome;
    ui.setMainWindowEnabled(false);
    CCancelFlag::clear();
    const int n = static_cast<int>(rows.size());

    bool missing = false;
    bool notDownloaded = false;
    for (const auto& r : rows) {
        const QString path = pathOf(r);
        if (path.isEmpty() || !CFileMng::FileExists(path)) {
            missing = true;
        } else if (r.importStatus == 0) {
            notDownloaded = true;
        } else if (path.contains(QLatin1String(".vminf"))) {
            missing = true;
        }
    }

    auto finish = [&ui] {
        ui.setMainWindowEnabled(true);
        ui.activateMainWindow();
    };

    if (n == 0) {
        finish();
        return outcome;
    }
    if (n == 1) {
        if (notDownloaded) {
            error(ui, kNotDownloaded);
            finish();
            return outcome;
        }
        if (missing) {
            error(ui, kAlreadyDeleted);
            finish();
            return outcome;
        }
        const QString path = pathOf(rows.front());
        const qint64 size = openableSize(path);
        if (size < 0) {
            finish();
            return outcome;
        }
        if (!WavFits(path, size)) {
            error(ui, kNoSpace);
            finish();
            return outcome;
        }
    }

    bool noSpace = false;
    bool called = false;
    int lastResult = 0;
    {
        CWavConvDlg dlg(ui, n);
        for (const auto& r : rows) {
            // "キャンセル" pressed between two files closes the dialog: the run must not go on unseen (the next
            // decoder call would clear the flag and convert the rest).
            if (CCancelFlag::isSet()) {
                break;
            }
            const QString path = pathOf(r);
            if (r.importStatus == 0 || path.contains(QLatin1String(".vminf"))) {
                dlg.post(PRG_POSITION, 100);
                dlg.post(PRG_NEXTFILE);
                continue;
            }
            const QString wav = CWavPath::wavFor(path);
            if (!wav.isEmpty() && CFileMng::FileExists(wav)) {
                ui.dispatchPendingEvents(1);
                continue;
            }
            dlg.post(PRG_NEXTFILE);
            dlg.post(PRG_POSITION, 0);
            ui.dispatchPendingEvents(1);
            if (CCancelFlag::isSet()) {
                break;
            }
            const qint64 size = openableSize(path);
            if (size < 0) {
                continue;
            }
            if (!WavFits(path, size)) {
                noSpace = true;
                break;
            }
            lastResult = CFileMng::ConvertToWav(path, &ui);
            called = true;
            if (lastResult == 0) {
                break;
            }
            ++outcome.converted;
            dlg.post(PRG_POSITION, 100);
            ui.dispatchPendingEvents(1);
        }
        dlg.close();
    }

    outcome.cancelled = CCancelFlag::isSet();
    if (!outcome.cancelled) {
        if (outcome.converted > 0) {
            if (notDownloaded || missing) {
                ui.messageBox(
                    QStringLiteral(
                        "一部の音声メッセージはＷＡＶファイルへ変換\nできませんでした(変換元の音声ファイルなし)。"),
                    kDone, MsgIcon::Information);
            }
            if (noSpace) {
                ui.messageBox(
                    QStringLiteral("一部の音声メッセージはＷＡＶファイルへ変換\nできませんでした(ＰＣのメモリ不足)。"),
                    kDone, MsgIcon::Information);
            }
        } else {
            if (notDownloaded) {
                error(ui, kNotDownloaded);
            }
            if (missing) {
                error(ui, kAlreadyDeleted);
            }
            if (noSpace) {
                error(ui, kNoSpace);
            }
        }
        if ((!called || lastResult != 0) && !notDownloaded && !missing && !noSpace) {
            ui.messageBox(QStringLiteral("ＷＡＶファイルへの変換が正常に完了しました。"), kDone, MsgIcon::Information);
        }
        // A file that could not be converted (cut short, unwritable folder) stopped the run: say so rather than
        // end without a word.
        if (called && lastResult == 0) {
            error(ui, kConvertFailed);
        }
    }
    finish();
    return outcome;
}

int CVoiceCommands::Play(CUserInterface& ui, FILESTS_INFO& row, bool deleteAfterPlay, QStringList& deletionQueue) {
    const QString path = pathOf(row);
    if (path.contains(QLatin1String(".vminf"))) {
        ui.messageBox(QStringLiteral("音声ファイルがダウンロードされていません。"), kError, MsgIcon::Exclamation);
        return 0;
    }
    if (path.isEmpty()) {
        return 1;
    }
    const QString wav = CWavPath::wavFor(path);
    if (wav.isEmpty()) {
        return 0;
    }
    if (!CFileMng::FileExists(wav)) {
        if (!CFileMng::FileExists(path)) {
            error(ui, kAlreadyDeleted);
            return 0;
        }
        const qint64 size = openableSize(path);
        if (size < 0) {
            return 0;
        }
        if (!WavFits(path, size)) {
            error(ui, kNoSpace);
            return 0;
        }
        ui.setMainWindowEnabled(false);
        CCancelFlag::clear();
        int rc = 0;
        {
            CWavConvDlg dlg(ui, 1);
            dlg.post(PRG_NEXTFILE);
            for (int i = 0; i < 20; ++i) {
                ui.dispatchPendingEvents(1);
            }
            // A cancel pressed before decoding starts would otherwise be cleared by the decoder and ignored.
            if (!CCancelFlag::isSet()) {
                rc = CFileMng::ConvertToWav(path, &ui);
            }
            dlg.close();
        }
        ui.setMainWindowEnabled(true);
        if (rc == 0) {
            if (!CCancelFlag::isSet()) {
                error(ui, kConvertFailed);
            }
            return 0;
        }
    }
    ui.activateMainWindow();
    ui.openWithDefaultApplication(wav);
    row.played = 1;
    CFileMng::RewriteRecord(row, path);
    if (deleteAfterPlay) {
        deletionQueue.append(wav);
    }
    return 1;
}

void CVoiceCommands::DeleteQueuedWavFiles(CUserInterface& ui, QStringList& queue) {
    if (queue.isEmpty()) {
        return;
    }
    const int count = static_cast<int>(queue.size());
    CPrgWavDelDlg dlg(ui, count);
    for (int i = 0; i < count; ++i) {
        QFile::remove(queue[i]);
        dlg.post(PRG_POSITION, i + 1);
    }
    dlg.post(PRG_POSITION, count);
    for (int i = 0; i < 10; ++i) {
        ui.dispatchPendingEvents(1);
        ui.sleepMs(10);
    }
    dlg.close();
    queue.clear();
}
