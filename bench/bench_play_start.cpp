// From "play" to the first samples handed to the sound device for a three-minute message, against decoding the
// message's first second alone; and the processor time of playing it at double speed.
#include "CBenchRuns.h"
#include "CSampleUnit.h"
#include "store/CFileMng.h"
#include "voice/CVoiceOutput.h"
#include "voice/CVoicePlayer.h"

extern "C" {
#include <bcg729/decoder.h>
}

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double cpuNow() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// A device with a fifth of a second of room, as the desktop's output has; it notes when the first samples came.
class StampOutput : public CVoiceOutput {
public:
    bool start() override { return true; }
    qint64 room() const override { return 1600; }
    void write(const int16_t*, qint64 n) override {
        if (firstAt < 0) {
            firstAt = clock.nsecsElapsed();
        }
        samples += n;
    }
    qint64 pending() const override { return 0; }
    void discard() override {}
    void setPaused(bool) override {}
    void stop() override {}
    void setVolume(double) override {}
    QElapsedTimer clock;
    qint64 firstAt = -1;
    qint64 samples = 0;
};

// The least a start can do: read the file and hand its first second of frames to the library.
double baseline(const QString& file) {
    QElapsedTimer t;
    t.start();
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        return 0;
    }
    f.seek(FILESTS_INFO::VOICE_OFFSET);
    const QByteArray stored = f.read(100 * 10);
    bcg729DecoderChannelContextStruct* ctx = initBcg729DecoderChannel();
    int16_t pcm[80];
    uint8_t rfc[10];
    for (qsizetype at = 0; at + 10 <= stored.size(); at += 10) {
        for (int i = 0; i < 10; i += 2) {
            rfc[i] = static_cast<uint8_t>(stored[at + i + 1]);
            rfc[i + 1] = static_cast<uint8_t>(stored[at + i]);
        }
        bcg729Decoder(ctx, rfc, 10, 0, 0, 0, pcm);
    }
    closeBcg729DecoderChannel(ctx);
    return static_cast<double>(t.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString file = dir.filePath("2026120109300001_01_100001.vmdat");
    CSampleUnit::Message m;
    m.boxNo = QStringLiteral("01");
    m.recorded = QDateTime(QDate(2026, 12, 8), QTime(9, 30));
    m.frames = 18000;
    m.voiceSeed = 3;
    if (!CSampleUnit::writeLocalVoiceFile(file, m, CSampleUnit::voiceFrames(3, m.frames))) {
        std::fprintf(stderr, "cannot write the sample file\n");
        return 1;
    }
    FILESTS_INFO row;
    row.clear();
    CFileMng::ReadRecord(file, row);
    FILESTS_INFO::setText(row.filePath, file);
    // Marked already, so that the runs leave the file as it is.
    row.played = 1;

    std::vector<double> starts;
    std::vector<double> bases;
    for (int round = 0; round < 15; ++round) {
        bases.push_back(baseline(file));
        StampOutput out;
        CVoicePlayer player(out);
        player.setPumpInterval(0);
        out.clock.start();
        player.open(row);
        player.play();
        starts.push_back(static_cast<double>(out.firstAt) / 1e9);
    }
    const double ours = CBenchRuns::median(starts);
    const double base = CBenchRuns::median(bases);
    std::printf("message: %d frames (%.1f min); first samples after %.2f ms (median of %zu), first second decoded "
                "alone in %.2f ms\n",
                m.frames, m.frames / 6000.0, ours * 1000, starts.size(), base * 1000);

    // Double speed: the processor time of the whole message against the time it plays.
    StampOutput out;
    CVoicePlayer player(out);
    player.setPumpInterval(0);
    player.open(row);
    player.setSpeed(2.0);
    const double cpu0 = cpuNow();
    player.play();
    while (player.state() == CVoicePlayer::State::Playing) {
        player.pump();
    }
    const double cpu = cpuNow() - cpu0;
    const double playSeconds = static_cast<double>(out.samples) / 8000.0;
    std::printf("2x: %.1f s of sound in %.3f s of processor time: %.2f %% of one core\n", playSeconds, cpu,
                100.0 * cpu / playSeconds);
    std::printf("play-start ratio=%.3f ours=%.5f baseline=%.5f\n", ours / base, ours, base);
    return 0;
}
