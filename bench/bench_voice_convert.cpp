// Conversion of a one-hour voice file (360,000 frames) against a bare decoding loop over the same frames.
#include "CSampleEncoder.h"
#include "CSampleUnit.h"
#include "platform/CCancelFlag.h"
#include "platform/CProgressView.h"
#include "platform/CUserInterface.h"
#include "store/CFileMng.h"
#include "voice/CWavConvDlg.h"

extern "C" {
#include <bcg729/decoder.h>
}

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// The machine is shared with other work: the processor time this process spends is compared, not wall time.
class CpuTimer {
public:
    CpuTimer() { m_start = now(); }
    double seconds() const { return now() - m_start; }

private:
    static double now() {
        timespec ts{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
    }
    double m_start;
};

class NullView : public CProgressView {
public:
    void setText(const QString&) override {}
    void setCounterText(const QString&) override {}
    void setRange(int, int) override {}
    void setPosition(int) override {}
    void repaint() override {}
    void close() override {}
};

// The event handling a windowed run pays per dispatch. A windowed user interface looks into its event queue at
// most once a millisecond (a person notices nothing finer, and a frame decodes in a few microseconds); with
// gated off it asks the event loop on every call.
class BenchUi : public CUserInterface {
public:
    explicit BenchUi(bool gated) : m_gated(gated) {}
    MsgResult messageBox(const QString&, const QString&, MsgIcon, MsgButtons) override { return MsgResult::Ok; }
    std::unique_ptr<CProgressView> createProgressView(const ProgressLook&) override {
        return std::make_unique<NullView>();
    }
    void dispatchPendingEvents(int) override {
        ++calls;
        if (m_gated && m_lastPoll.isValid() && m_lastPoll.nsecsElapsed() < 1000000) {
            return;
        }
        m_lastPoll.start();
        QCoreApplication::processEvents();
    }
    long long calls = 0;
    void sleepMs(int) override {}
    void setMainWindowEnabled(bool) override {}
    void activateMainWindow() override {}
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    QString chooseOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
    bool openWithDefaultApplication(const QString&) override { return true; }

private:
    bool m_gated;
    QElapsedTimer m_lastPoll;
};

// The least any conversion has to do: hand every frame to the library.
double baseline(const QByteArray& stored, long long& checksum) {
    CpuTimer t;
    bcg729DecoderChannelContextStruct* ctx = initBcg729DecoderChannel();
    int16_t pcm[80];
    uint8_t rfc[10];
    checksum = 0;
    for (qsizetype at = 0; at + 10 <= stored.size(); at += 10) {
        const auto* f = reinterpret_cast<const uint8_t*>(stored.constData() + at);
        bool erased = false;
        for (int i = 0; i < 10; i += 2) {
            rfc[i] = f[i + 1];
            rfc[i + 1] = f[i];
            erased = erased || (f[i] == 0 && f[i + 1] == 0);
        }
        bcg729Decoder(ctx, rfc, 10, erased ? 1 : 0, 0, 0, pcm);
        checksum += pcm[at / 10 % 80];
    }
    closeBcg729DecoderChannel(ctx);
    return t.seconds();
}

double ours(BenchUi& ui, const QString& voiceFile) {
    CpuTimer t;
    CWavConvDlg dlg(ui, 1);
    dlg.nextFile();
    const bool converted = CFileMng::ConvertToWav(voiceFile, &ui, &dlg);
    dlg.close();
    const double s = t.seconds();
    if (!converted) {
        std::fprintf(stderr, "conversion failed\n");
        std::exit(1);
    }
    return s;
}

void ffmpegForInformation(const QByteArray& stored, const QString& dir) {
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty()) {
        std::printf("ffmpeg: not installed, its G.729 decoder not timed\n");
        return;
    }
    const QString in = dir + "/frames.g729";
    QFile f(in);
    if (!f.open(QIODevice::WriteOnly)) {
        return;
    }
    f.write(CSampleEncoder::swapWords(stored));
    f.close();
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(ffmpeg, {"-v", "error", "-y", "-f", "g729", "-i", in, "-f", "s16le", dir + "/ffmpeg.pcm"});
    p.waitForFinished(-1);
    std::printf("ffmpeg -f g729: %.3f s (exit %d; for information only)\n", static_cast<double>(t.nsecsElapsed()) / 1e9,
                p.exitCode());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int frames = 360000;
    if (argc > 1) {
        frames = std::max(1, std::atoi(argv[1]));
    }
    QTemporaryDir dir;
    const QString voiceFile = dir.filePath("2026120109000000_01_000001.vmdat");

    QElapsedTimer gen;
    gen.start();
    CSampleUnit::Message m;
    m.boxNo = "01";
    m.recorded = QDateTime(QDate(2026, 12, 1), QTime(9, 0));
    m.frames = frames;
    const QByteArray stored = CSampleUnit::voiceFrames(20261208, frames);
    if (!CSampleUnit::writeLocalVoiceFile(voiceFile, m, stored)) {
        std::fprintf(stderr, "cannot write the sample file\n");
        return 1;
    }
    std::printf("sample: %d frames (%.1f min of speech) made in %.1f s\n", frames, frames / 6000.0,
                static_cast<double>(gen.elapsed()) / 1000);

    BenchUi ui(true);
    long long sum = 0;
    double best = 1e30, mine = 1e30;
    // Alternate the two so that neither gains from a warmer machine; the best of each counts.
    for (int round = 0; round < 3; ++round) {
        const double b = baseline(stored, sum);
        const double o = ours(ui, voiceFile);
        best = std::min(best, b);
        mine = std::min(mine, o);
        std::printf("round %d (processor time): baseline %.3f s, ConvertToWav %.3f s\n", round + 1, b, o);
    }
    const QString wav = dir.filePath("2026120109000000_01_000001.wav");
    std::printf("wav: %lld bytes (checksum %lld)\n", static_cast<long long>(QFileInfo(wav).size()), sum);
    std::printf("dispatches: %lld per conversion (%d frames)\n", ui.calls / 3, frames);
    BenchUi ungated(false);
    const double everyCall = ours(ungated, voiceFile);
    std::printf("for information: with the event loop asked on every dispatch ConvertToWav takes %.3f s (ratio %.3f)\n",
                everyCall, everyCall / best);
    ffmpegForInformation(stored, dir.path());
    std::printf("voice-convert ratio=%.3f ours=%.3f baseline=%.3f\n", mine / best, mine, best);
    return 0;
}
