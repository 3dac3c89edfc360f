#include "voice/CAudioExport.h"

#include "platform/CCancelFlag.h"
#include "platform/CCommonTexts.h"
#include "platform/CUserInterface.h"
#include "store/CDurableFile.h"
#include "voice/CAudioExportDlg.h"
#include "voice/CAudioExportName.h"
#include "voice/CG729Decoder.h"
#include "voice/COpusFileWriter.h"
#include "voice/CVoiceMeasure.h"
#include "voice/CVoiceStream.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One second of voice between two looks at the cancel flag and the window.
constexpr int CHUNK_FRAMES = 100;
constexpr int FRAME_SAMPLES = 80;
// Far more than any folder holds of one message; past it the folder is taken to refuse new names.
constexpr int MAX_CANDIDATES = 9999;

enum class One { Written, Cut, Failed, Cancelled };

bool hasVoice(const FILESTS_INFO& rec) {
    return rec.importStatus != 0 && FILESTS_INFO::text(rec.filePath).endsWith(QLatin1String(".vmdat"));
}

// Encodes the stream's samples into the device in chunks, following them in the window; false when cancelled or
// when writing failed (failed tells which).
// gainDb: the levelling gain applied to every sample (0: the samples as decoded).
bool encode(CVoiceStream& stream, QIODevice& out, CAudioExport::Format format, const FILESTS_INFO& rec, double gainDb,
            CAudioExportDlg& dlg, bool& failed) {
    const double factor = std::pow(10.0, gainDb / 20.0);
    std::vector<int16_t> levelled;
    const int frames = stream.totalFrames();
    COpusFileWriter opus(out);
    if (format == CAudioExport::Format::Opus) {
        if (!opus.open(CVoiceStream::SAMPLE_RATE, CAudioExport::Tags(rec))) {
            failed = true;
            return false;
        }
    } else {
        uint8_t header[CG729Decoder::WAV_HEADER_BYTES];
        const auto dataSize = static_cast<quint32>(stream.totalSamples() * 2);
        CG729Decoder::makeWavHeader(header, dataSize, dataSize + 36);
        if (out.write(reinterpret_cast<const char*>(header), sizeof(header)) != sizeof(header)) {
            failed = true;
            return false;
        }
    }
    dlg.setStepTotal(frames);
    for (int at = 0; at < frames; at += CHUNK_FRAMES) {
        const int end = std::min(frames, at + CHUNK_FRAMES);
        stream.decodeUpTo(end);
        const int16_t* samples = stream.samples() + static_cast<qsizetype>(at) * FRAME_SAMPLES;
        const int count = (end - at) * FRAME_SAMPLES;
        if (gainDb != 0.0) {
            // The gain is limited by the message's peak, so no sample should clip; one that would is held.
            levelled.resize(static_cast<size_t>(count));
            for (int i = 0; i < count; ++i) {
                levelled[static_cast<size_t>(i)] =
                    static_cast<int16_t>(std::clamp(std::lround(samples[i] * factor), -32768L, 32767L));
            }
            samples = levelled.data();
        }
        const bool ok = format == CAudioExport::Format::Opus
                            ? opus.write(samples, count)
                            : out.write(reinterpret_cast<const char*>(samples), qint64(count) * 2) == qint64(count) * 2;
        if (!ok) {
            failed = true;
            return false;
        }
        dlg.setStepDone(end);
        if (CCancelFlag::isSet()) {
            return false;
        }
    }
    if (format == CAudioExport::Format::Opus && !opus.finish()) {
        failed = true;
        return false;
    }
    return true;
}

One exportOne(const FILESTS_INFO& rec, const CAudioExport::Options& o, CAudioExportDlg& dlg, QString& placed) {
    const QString path = FILESTS_INFO::text(rec.filePath);
    CVoiceStream stream;
    const CVoiceStream::LoadResult loaded = stream.load(path);
    if (loaded == CVoiceStream::LoadResult::Unreadable || stream.totalFrames() == 0) {
        return One::Failed;
    }
    // Written under a name no list or count takes for a message, and named only once it is whole: a cancel or a
    // kill leaves no file that looks exported.
    QTemporaryFile part(o.folder + QStringLiteral("/.kelda-export-XXXXXX.part"));
    if (!part.open()) {
        return One::Failed;
    }
    bool failed = false;
    const double gainDb = o.normalize ? CVoiceMeasure::levellingGainDb(CVoiceMeasure::measure(stream)) : 0.0;
    if (!encode(stream, part, o.format, rec, gainDb, dlg, failed)) {
        return failed ? One::Failed : One::Cancelled;
    }
    if (!part.flush() || !CDurableFile::SyncData(part.handle())) {
        return One::Failed;
    }
    part.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);
    part.close();
    const QString stem = CAudioExportName::stem(rec, path);
    const QString suffix = CAudioExport::Suffix(o.format);
    for (int n = 1; n <= MAX_CANDIDATES; ++n) {
        const QString target = o.folder + QLatin1Char('/') + CAudioExportName::candidate(stem, n, suffix);
        // A name that exists is never taken over: the next number is tried.
        if (!CDurableFile::RenameOnly(QFile::encodeName(part.fileName()), QFile::encodeName(target),
                                      CDurableFile::Name::NoReplace)) {
            if (errno == EEXIST) {
                continue;
            }
            return One::Failed;
        }
        part.setAutoRemove(false);
        if (!CDurableFile::SyncFolder(QFile::encodeName(o.folder))) {
            return One::Failed;
        }
        placed = target;
        return loaded == CVoiceStream::LoadResult::DamagedTail ? One::Cut : One::Written;
    }
    return One::Failed;
}

QString fileNames(const QStringList& paths) {
    QStringList names;
    for (const QString& p : paths) {
        names << QStringLiteral("  ") + QFileInfo(p).fileName();
    }
    return names.join(QLatin1Char('\n'));
}

void report(CUserInterface& ui, const CAudioExport::Outcome& out, const QString& folder) {
    using R = CAudioExport::Result;
    QStringList lines;
    if (out.result == R::Cancelled) {
        lines << QStringLiteral("書き出しを中止しました。");
        if (!out.written.isEmpty()) {
            lines << QStringLiteral("中止までに書き出した%1件はそのまま残してあります。").arg(out.written.size());
        }
    } else if (!out.written.isEmpty()) {
        lines << QStringLiteral("%1件の音声ファイルを書き出しました。").arg(out.written.size())
              << QStringLiteral("書き出し先：%1").arg(folder);
    } else if (out.failed.isEmpty()) {
        lines << QStringLiteral("書き出す音声ファイルがありません。");
    }
    if (!out.cut.isEmpty()) {
        lines << QStringLiteral("音声ファイルが途中で切れていたため、切れた所まで書き出したもの（%1件）：")
                     .arg(out.cut.size())
              << fileNames(out.cut);
    }
    if (!out.failed.isEmpty()) {
        lines << QStringLiteral("書き出せなかったもの（%1件）：").arg(out.failed.size()) << fileNames(out.failed);
    }
    if (out.infoOnly > 0) {
        lines << QStringLiteral("録音情報のみのメッセージ%1件は書き出していません。").arg(out.infoOnly);
    }
    const bool bad = out.result == R::Nothing || !out.failed.isEmpty();
    const QString caption = out.result == R::Cancelled ? QStringLiteral("書き出し中止")
                            : out.written.isEmpty()    ? CCommonTexts::ErrorCaption()
                                                       : QStringLiteral("書き出し完了");
    ui.messageBox(lines.join(QLatin1Char('\n')), caption, bad ? MsgIcon::Exclamation : MsgIcon::Information);
}

} // namespace

QString CAudioExport::Suffix(Format format) {
    return format == Format::Opus ? QStringLiteral(".opus") : QStringLiteral(".wav");
}

std::vector<std::pair<QByteArray, QString>> CAudioExport::Tags(const FILESTS_INFO& rec) {
    const QString callerNo = FILESTS_INFO::text(rec.callerNo);
    const QString callerName = FILESTS_INFO::text(rec.callerName);
    const QString recorded = FILESTS_INFO::text(rec.recDateTime);
    const QDateTime when = QDateTime::fromString(recorded.trimmed(), QStringLiteral("yyyy/MM/dd HH:mm"));
    return {
        {"TITLE", FILESTS_INFO::text(rec.title)},
        // What a player shows beside the title: who called.
        {"ARTIST", callerName.isEmpty() ? callerNo : callerName},
        {"DATE", when.isValid() ? when.toString(QStringLiteral("yyyy-MM-ddTHH:mm")) : QString()},
        {"COMMENT", FILESTS_INFO::text(rec.memo)},
        {"CALLER_NUMBER", callerNo},
        {"CALLER_NAME", callerName},
        {"BOX_NUMBER", FILESTS_INFO::text(rec.boxNo)},
        {"BOX_NAME", FILESTS_INFO::text(rec.boxName)},
        {"RECORDED", recorded},
    };
}

CAudioExport::Outcome CAudioExport::Run(CUserInterface& ui, const std::vector<FILESTS_INFO>& rows,
                                        const Options& options) {
    Outcome out;
    if (!QFileInfo(options.folder).isDir()) {
        out.result = Result::Nothing;
        ui.messageBox(QStringLiteral("書き出し先のフォルダがありません。\n%1").arg(options.folder),
                      CCommonTexts::ErrorCaption(), MsgIcon::Exclamation);
        return out;
    }
    int voiceRows = 0;
    for (const FILESTS_INFO& r : rows) {
        voiceRows += hasVoice(r) ? 1 : 0;
    }
    out.infoOnly = static_cast<int>(rows.size()) - voiceRows;
    ui.setMainWindowEnabled(false);
    CCancelFlag::clear();
    bool cancelled = false;
    if (voiceRows > 0) {
        CAudioExportDlg dlg(ui, voiceRows);
        for (const FILESTS_INFO& r : rows) {
            if (!hasVoice(r)) {
                continue;
            }
            dlg.nextFile();
            QString placed;
            const One one = CCancelFlag::isSet() ? One::Cancelled : exportOne(r, options, dlg, placed);
            if (one == One::Cancelled) {
                cancelled = true;
                break;
            }
            if (one == One::Failed) {
                out.failed << FILESTS_INFO::text(r.filePath);
                continue;
            }
            out.written << placed;
            if (one == One::Cut) {
                out.cut << placed;
            }
        }
        dlg.close();
    }
    if (cancelled) {
        out.result = Result::Cancelled;
    } else if (out.written.isEmpty()) {
        out.result = Result::Nothing;
    } else {
        out.result = out.cut.isEmpty() && out.failed.isEmpty() ? Result::Completed : Result::Partly;
    }
    report(ui, out, options.folder);
    ui.setMainWindowEnabled(true);
    ui.activateMainWindow();
    return out;
}
