#include "voice/CVoiceCommands.h"

#include "platform/CCancelFlag.h"
#include "platform/CCommonTexts.h"
#include "platform/CDiskSpace.h"
#include "platform/CUserInterface.h"
#include "store/CFileMng.h"
#include "voice/CPrgWavDelDlg.h"
#include "voice/CWavConvDlg.h"
#include "voice/CWavPath.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString kConvertDoneCaption = QStringLiteral("変換完了");
const QString kConvertDone = QStringLiteral("ＷＡＶファイルへの変換が正常に完了しました。");
const QString kConvertFailed = QStringLiteral("ＷＡＶファイルへの変換ができませんでした。");
const QString kOpenFailed =
    QStringLiteral("ＷＡＶファイルを再生できませんでした。\n再生するアプリケーションを確認ください。");

QString pathOf(const FILESTS_INFO& rec) {
    return FILESTS_INFO::text(rec.filePath);
}

void error(CUserInterface& ui, const QString& text) {
    ui.messageBox(text, CCommonTexts::ErrorCaption(), MsgIcon::Exclamation);
}

void converted(CUserInterface& ui, const QString& text) {
    ui.messageBox(text, kConvertDoneCaption, MsgIcon::Information);
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

bool CVoiceCommands::WavFits(const QString& voiceFile, qint64 voiceBytes, const CDiskSpace::Probe& freeSpace) {
    return CDiskSpace::fits(QFileInfo(voiceFile).path(), 16 * voiceBytes, freeSpace);
}

namespace {

// What a convert run found and did, for its closing messages.
struct ConvertTally {
    bool missing = false;       // a row's voice file is not on the PC
    bool notDownloaded = false; // a row holds recording information only
    bool noSpace = false;       // the run stopped for want of disk space
    bool called = false;        // the decoder ran at least once
    bool lastFailed = false;    // the last file the decoder took was not converted
    CDiskSpace::Probe freeSpace;
};

void scanRows(const std::vector<FILESTS_INFO>& rows, ConvertTally& t) {
    for (const auto& r : rows) {
        const QString path = pathOf(r);
        if (path.isEmpty() || !CFileMng::FileExists(path)) {
            t.missing = true;
        } else if (r.importStatus == 0) {
            t.notDownloaded = true;
        } else if (path.contains(QLatin1String(".vminf"))) {
            t.missing = true;
        }
    }
}

// A single selected row is checked before the dialog opens; false after the message that ends the run.
bool singleRowConvertible(CUserInterface& ui, const FILESTS_INFO& row, const ConvertTally& t) {
    if (t.notDownloaded) {
        error(ui, CCommonTexts::VoiceNotDownloadedWrapped());
        return false;
    }
    if (t.missing) {
        error(ui, CCommonTexts::AlreadyErased());
        return false;
    }
    const QString path = pathOf(row);
    const qint64 size = openableSize(path);
    if (size < 0) {
        return false;
    }
    if (!CVoiceCommands::WavFits(path, size, t.freeSpace)) {
        error(ui, CCommonTexts::NoDiskSpace());
        return false;
    }
    return true;
}

// Converts the rows in order behind the conversion dialog; rows without voice data or with a WAV file are passed.
void convertRows(CUserInterface& ui, const std::vector<FILESTS_INFO>& rows, ConvertTally& t,
                 CVoiceCommands::ConvertOutcome& outcome) {
    CWavConvDlg dlg(ui, static_cast<int>(rows.size()));
    for (const auto& r : rows) {
        // "キャンセル" pressed between two files closes the dialog: the run must not go on unseen (the next
        // decoder call would clear the flag and convert the rest).
        if (CCancelFlag::isSet()) {
            break;
        }
        const QString path = pathOf(r);
        if (r.importStatus == 0 || path.contains(QLatin1String(".vminf"))) {
            dlg.setStepDone(100);
            dlg.nextFile();
            continue;
        }
        const QString wav = CWavPath::wavFor(path);
        if (!wav.isEmpty() && CFileMng::FileExists(wav)) {
            ui.dispatchPendingEvents(1);
            continue;
        }
        dlg.nextFile();
        dlg.setStepDone(0);
        ui.dispatchPendingEvents(1);
        if (CCancelFlag::isSet()) {
            break;
        }
        const qint64 size = openableSize(path);
        if (size < 0) {
            continue;
        }
        if (!CVoiceCommands::WavFits(path, size, t.freeSpace)) {
            t.noSpace = true;
            break;
        }
        t.called = true;
        t.lastFailed = !CFileMng::ConvertToWav(path, &ui, &dlg);
        if (t.lastFailed) {
            break;
        }
        ++outcome.converted;
        dlg.setStepDone(100);
        ui.dispatchPendingEvents(1);
    }
    dlg.close();
}

// The closing messages of a run that was not cancelled.
CVoiceCommands::ConvertResult reportConversion(CUserInterface& ui, const ConvertTally& t, int convertedFiles,
                                               int chosen) {
    const bool someLeft = t.notDownloaded || t.missing || t.noSpace;
    if (convertedFiles > 0) {
        if (t.notDownloaded || t.missing) {
            converted(ui,
                      QStringLiteral(
                          "一部の音声メッセージはＷＡＶファイルへ変換\nできませんでした(変換元の音声ファイルなし)。"));
        }
        if (t.noSpace) {
            converted(
                ui, QStringLiteral("一部の音声メッセージはＷＡＶファイルへ変換\nできませんでした(ＰＣのメモリ不足)。"));
        }
    } else {
        if (t.notDownloaded) {
            error(ui, CCommonTexts::VoiceNotDownloadedWrapped());
        }
        if (t.missing) {
            error(ui, CCommonTexts::AlreadyErased());
        }
        if (t.noSpace) {
            error(ui, CCommonTexts::NoDiskSpace());
        }
    }
    if (!t.lastFailed && !someLeft) {
        // Every chosen message has its WAV file now, converted by this run or before.
        converted(ui, kConvertDone + QStringLiteral("\n対象：%1件").arg(chosen));
        return CVoiceCommands::ConvertResult::Completed;
    }
    // A file that could not be converted (cut short, unwritable folder) stopped the run: say so rather than end
    // without a word.
    if (t.lastFailed) {
        error(ui, kConvertFailed);
    }
    return convertedFiles > 0 && someLeft && !t.lastFailed ? CVoiceCommands::ConvertResult::Partly
                                                           : CVoiceCommands::ConvertResult::Failed;
}

} // namespace

QString CVoiceCommands::ConvertQuestion(int chosen) {
    return QStringLiteral("変換します。よろしいですか？\n対象：%1件").arg(chosen);
}

CVoiceCommands::ConvertOutcome CVoiceCommands::Convert(CUserInterface& ui, const std::vector<FILESTS_INFO>& rows,
                                                       const CDiskSpace::Probe& freeSpace) {
    ConvertOutcome outcome;
    ui.setMainWindowEnabled(false);
    CCancelFlag::clear();
    ConvertTally tally;
    tally.freeSpace = freeSpace;
    scanRows(rows, tally);
    if (rows.empty()) {
        outcome.result = ConvertResult::NothingToConvert;
    } else if (rows.size() == 1 && !singleRowConvertible(ui, rows.front(), tally)) {
        outcome.result = ConvertResult::Failed;
    } else {
        convertRows(ui, rows, tally, outcome);
        outcome.cancelled = CCancelFlag::isSet();
        outcome.result = outcome.cancelled ? ConvertResult::Cancelled
                                           : reportConversion(ui, tally, outcome.converted, int(rows.size()));
    }
    ui.setMainWindowEnabled(true);
    ui.activateMainWindow();
    return outcome;
}

bool CVoiceCommands::Play(CUserInterface& ui, FILESTS_INFO& row, bool deleteAfterPlay, QStringList& deletionQueue,
                          const CDiskSpace::Probe& freeSpace) {
    const QString path = pathOf(row);
    if (path.contains(QLatin1String(".vminf"))) {
        error(ui, CCommonTexts::VoiceNotDownloaded());
        return false;
    }
    if (path.isEmpty()) {
        return true;
    }
    const QString wav = CWavPath::wavFor(path);
    if (wav.isEmpty()) {
        return false;
    }
    // A WAV file cut short is made again before it is played, never played as the whole message.
    if (!CFileMng::FileExists(wav) || (CFileMng::FileExists(path) && !CFileMng::WavIsComplete(path))) {
        if (!CFileMng::FileExists(path)) {
            error(ui, CCommonTexts::AlreadyErased());
            return false;
        }
        const qint64 size = openableSize(path);
        if (size < 0) {
            return false;
        }
        if (!WavFits(path, size, freeSpace)) {
            error(ui, CCommonTexts::NoDiskSpace());
            return false;
        }
        ui.setMainWindowEnabled(false);
        CCancelFlag::clear();
        bool converted = false;
        {
            CWavConvDlg dlg(ui, 1);
            dlg.nextFile();
            for (int i = 0; i < 20; ++i) {
                ui.dispatchPendingEvents(1);
            }
            // A cancel pressed before decoding starts would otherwise be cleared by the decoder and ignored.
            if (!CCancelFlag::isSet()) {
                converted = CFileMng::ConvertToWav(path, &ui, &dlg);
            }
            dlg.close();
        }
        ui.setMainWindowEnabled(true);
        if (!converted) {
            if (!CCancelFlag::isSet()) {
                error(ui, kConvertFailed);
            }
            return false;
        }
    }
    ui.activateMainWindow();
    // A desktop that cannot open WAV files plays nothing: the row is not marked played.
    if (!ui.openWithDefaultApplication(wav)) {
        error(ui, kOpenFailed);
        return false;
    }
    row.played = 1;
    CFileMng::RewriteRecord(row, path);
    if (deleteAfterPlay) {
        deletionQueue.append(wav);
    }
    return true;
}

void CVoiceCommands::DeleteQueuedWavFiles(CUserInterface& ui, QStringList& queue) {
    if (queue.isEmpty()) {
        return;
    }
    const int count = static_cast<int>(queue.size());
    CPrgWavDelDlg dlg(ui, count);
    for (int i = 0; i < count; ++i) {
        QFile::remove(queue[i]);
        dlg.setStepDone(i + 1);
    }
    dlg.setStepDone(count);
    for (int i = 0; i < 10; ++i) {
        ui.dispatchPendingEvents(1);
        ui.sleepMs(10);
    }
    dlg.close();
    queue.clear();
}
