// Measuring an hour of voice data (loudness, peak, speech) against decoding it alone, in the same run; then a
// list of 1,000 messages opened with its box folders' measurement caches built, against the same list without
// them, and the background steps that then fill its speech column from those caches. Processor time of this
// process, medians of alternating rounds.
// Arguments: the frames of the long message (default 360,000: one hour), the rounds (default 5).

#include "CBenchRuns.h"
#include "CSampleUnit.h"
#include "list/CListModel.h"
#include "settings/CKeldaSession.h"
#include "support/CSampleFolder.h"
#include "support/CScriptedUi.h"
#include "voice/CMeasureRun.h"
#include "voice/CVoiceMeasure.h"
#include "voice/CVoiceMeasureCache.h"
#include "voice/CVoiceStream.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// The machine is shared with other work: the processor time this process spends is compared, not wall time.
double cpuNow() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

double decodeOnly(const QString& file, long long& checksum) {
    const double start = cpuNow();
    CVoiceStream stream;
    stream.load(file);
    stream.decodeUpTo(stream.totalFrames());
    checksum = stream.totalSamples() > 0 ? stream.samples()[stream.totalSamples() / 2] : 0;
    return cpuNow() - start;
}

double decodeAndMeasure(const QString& file, CVoiceMeasure::Figures& figures) {
    const double start = cpuNow();
    CVoiceStream stream;
    stream.load(file);
    figures = CVoiceMeasure::measure(stream);
    return cpuNow() - start;
}

double openList(CKeldaSession& doc, CScriptedUi& ui, int& rows) {
    const double start = cpuNow();
    CListModel model(doc, 1, ui);
    model.rebuildColumns();
    model.load(CListModel::Load::Fresh);
    rows = model.rowCount();
    return cpuNow() - start;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int frames = argc > 1 ? std::max(100, std::atoi(argv[1])) : 360000;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    QTemporaryDir dir;

    // Six minutes of generated speech, repeated to the length asked for: encoding is slow, decoding the same
    // whichever frames it meets.
    QElapsedTimer gen;
    gen.start();
    const QByteArray part = CSampleUnit::voiceFrames(20261209, std::min(frames, 36000));
    QByteArray stored;
    while (stored.size() < qsizetype(frames) * 10) {
        stored += part;
    }
    stored.truncate(qsizetype(frames) * 10);
    CSampleUnit::Message m;
    m.boxNo = "01";
    m.recorded = QDateTime(QDate(2026, 12, 9), QTime(9, 0));
    m.frames = frames;
    const QString voiceFile = dir.filePath("2026120909000000_01_000001.vmdat");
    if (!CSampleUnit::writeLocalVoiceFile(voiceFile, m, stored)) {
        std::fprintf(stderr, "cannot write the sample file\n");
        return 1;
    }
    std::printf("sample: %d frames (%.1f min) made in %.1f s\n", frames, frames / 6000.0, gen.elapsed() / 1000.0);

    std::vector<double> base, mine;
    long long sum = 0;
    CVoiceMeasure::Figures f;
    for (int r = 0; r < rounds; ++r) {
        base.push_back(decodeOnly(voiceFile, sum));
        mine.push_back(decodeAndMeasure(voiceFile, f));
        std::printf("round %d: decoding %.3f s, decoding and measuring %.3f s\n", r + 1, base.back(), mine.back());
    }
    std::printf("figures: %.1f LUFS, peak %.1f dBFS, speech %.1f s of %.1f s (checksum %lld)\n", f.loudnessLufs,
                f.peakDbfs, f.speechMs / 1000.0, f.totalMs / 1000.0, sum);

    // A list of 1,000 messages in four boxes, 20 s of voice data each.
    const QString root = dir.filePath("root");
    const QStringList boxes = {"01", "02", "03", "04"};
    const QByteArray voice = CSampleUnit::voiceFrames(7, 2000);
    for (int b = 0; b < boxes.size(); ++b) {
        for (int k = 0; k < 250; ++k) {
            CSampleFolder::Message msg;
            msg.dateTime = QStringLiteral("2026/12/%1 %2:%3")
                               .arg(1 + k % 28, 2, 10, QChar('0'))
                               .arg(k % 24, 2, 10, QChar('0'))
                               .arg(k % 60, 2, 10, QChar('0'));
            const QString file =
                CSampleFolder::writeMessage(root + "/dl/rusuroku/" + boxes[b], boxes[b], b * 250 + k + 1, msg);
            QFile out(file);
            if (!out.open(QIODevice::ReadWrite) || !out.resize(FILESTS_INFO::VOICE_OFFSET) ||
                !out.seek(FILESTS_INFO::VOICE_OFFSET) || out.write(voice) != voice.size()) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                return 1;
            }
        }
    }
    CKeldaSession doc;
    doc.folder = root + '/';
    doc.folderName = "dl";
    doc.num = 1;
    doc.slotFolderName[0] = "dl";
    doc.slotDisp[0] = QStringLiteral("留守録BOX：01,02,03,04");
    doc.resetColumns();
    CScriptedUi ui;
    int rows = 0;
    {
        CListModel model(doc, 1, ui);
        model.rebuildColumns();
        model.load(CListModel::Load::Fresh);
        const double start = cpuNow();
        model.measureNow();
        std::printf("list: %d rows measured in %.2f s\n", model.rowCount(), cpuNow() - start);
    }
    auto hideCaches = [&](bool hide) {
        for (const QString& b : boxes) {
            const QString cache = CVoiceMeasureCache::pathIn(root + "/dl/rusuroku/" + b);
            if (hide) {
                QFile::rename(cache, cache + ".away");
            } else {
                QFile::rename(cache + ".away", cache);
            }
        }
    };
    std::vector<double> plain, cached;
    openList(doc, ui, rows); // warms the file cache
    for (int r = 0; r < 2 * rounds + 1; ++r) {
        hideCaches(true);
        plain.push_back(openList(doc, ui, rows));
        hideCaches(false);
        cached.push_back(openList(doc, ui, rows));
    }
    const double p = CBenchRuns::median(plain);
    const double c = CBenchRuns::median(cached);
    std::printf("list-open: %d rows, without caches %.4f s, with built caches %.4f s (medians of %zu): %+.1f %%\n",
                rows, p, c, plain.size(), (c / p - 1) * 100);
    // After the list is open, its window's background run tells the figures the caches hold, step by step.
    {
        CListModel model(doc, 1, ui);
        model.rebuildColumns();
        model.load(CListModel::Load::Fresh);
        CMeasureRun run;
        run.setManual(true);
        int told = 0;
        QObject::connect(&run, &CMeasureRun::measured, [&](const QString& path, const CVoiceMeasure::Figures& f) {
            model.setFigures(path, f);
            ++told;
        });
        run.start(model.voicePaths());
        double longest = 0;
        int steps = 0;
        const double start = cpuNow();
        for (bool more = true; more; ++steps) {
            const double s0 = cpuNow();
            more = run.step();
            longest = std::max(longest, cpuNow() - s0);
        }
        std::printf("column filled from the caches after opening: %d figures in %d steps, %.4f s (longest step "
                    "%.1f ms)\n",
                    told, steps, cpuNow() - start, longest * 1000);
    }
    const double b = CBenchRuns::median(base);
    const double o = CBenchRuns::median(mine);
    std::printf("medians of %d rounds\n", rounds);
    std::printf("voice-measure ratio=%.3f ours=%.3f baseline=%.3f\n", o / b, o, b);
    return 0;
}
