// The conversion of one voice-data file into a WAV file: file handling, header, progress, cancel, known answers;
// and the in-memory player that decodes the same frames: samples, speed, seek, pause and the played mark; the
// measurements of the voice data (loudness, speech), their cache beside the messages, and the player's levelling,
// silence skipping and resuming that use them.
#include "CSampleEncoder.h"
#include "CSampleSpeech.h"
#include "CSampleUnit.h"
#include "platform/CCancelFlag.h"
#include "platform/CProgressDlg.h"
#include "store/CFileMng.h"
#include "support/CScriptedUi.h"
#include "support/CTestFiles.h"
#include "voice/CG729Decoder.h"
#include "voice/CMeasureRun.h"
#include "voice/CVoiceMeasure.h"
#include "voice/CVoiceMeasureCache.h"
#include "voice/CVoiceOutput.h"
#include "voice/CVoicePlayer.h"

extern "C" {
#include <bcg729/decoder.h>
}

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

// Records what it is told, as the conversion or download dialog handed to the conversion would be told it.
class SpyDlg : public CProgressDlg {
public:
    SpyDlg(CUserInterface& ui, const QString& title) : CProgressDlg(ui, look(title)) {}
    void setStepTotal(long long total) override { totals << total; }
    void setStepDone(long long done) override { dones << done; }
    void nextFile() override { ++others; }
    void setPhase(Phase) override { ++others; }
    void countFile() override { ++others; }
    QList<long long> totals;
    QList<long long> dones;
    int others = 0;
    bool toldNothing() const { return totals.isEmpty() && dones.isEmpty() && others == 0; }

private:
    static ProgressLook look(const QString& title) {
        ProgressLook s;
        s.title = title;
        return s;
    }
};

quint32 le32(const QByteArray& b, int at) {
    return static_cast<quint8>(b[at]) | static_cast<quint8>(b[at + 1]) << 8 | static_cast<quint8>(b[at + 2]) << 16 |
           static_cast<quint32>(static_cast<quint8>(b[at + 3])) << 24;
}

quint16 le16(const QByteArray& b, int at) {
    return static_cast<quint16>(static_cast<quint8>(b[at]) | static_cast<quint8>(b[at + 1]) << 8);
}

// A local voice-data file: record and unit header (not read by the conversion, so any bytes do), then payload.
void writeVoiceFile(const QString& path, const QByteArray& payload, int headerBytes = FILESTS_INFO::VOICE_OFFSET) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QByteArray(headerBytes, '\x5a'));
    f.write(payload);
}

// Frames decoded straight by the library, as the unit's format prescribes: words byte-swapped into RFC 3551
// order, a frame with an all-zero word handed over as erased.
QByteArray referencePcm(const QByteArray& stored) {
    bcg729DecoderChannelContextStruct* ctx = initBcg729DecoderChannel();
    QByteArray pcm;
    for (qsizetype at = 0; at + 10 <= stored.size(); at += 10) {
        uint8_t rfc[10];
        bool erased = false;
        for (int i = 0; i < 10; i += 2) {
            rfc[i] = static_cast<uint8_t>(stored[at + i + 1]);
            rfc[i + 1] = static_cast<uint8_t>(stored[at + i]);
            erased = erased || (stored[at + i] == 0 && stored[at + i + 1] == 0);
        }
        int16_t out[80];
        bcg729Decoder(ctx, rfc, 10, erased ? 1 : 0, 0, 0, out);
        pcm.append(reinterpret_cast<const char*>(out), sizeof(out));
    }
    closeBcg729DecoderChannel(ctx);
    return pcm;
}

// A fixed frame sequence that depends on nothing but this function: the known-answer fixture.
QByteArray fixtureFrames() {
    QByteArray b;
    quint32 x = 0x1234567u;
    for (int i = 0; i < 40 * 10; ++i) {
        x = x * 1103515245u + 12345u;
        b.append(static_cast<char>((x >> 16) & 0xff));
    }
    return b;
}

// A sound device for the player: takes a fixed number of samples per step (50 ms) and hears them at once.
class TestOutput : public CVoiceOutput {
public:
    bool start() override { return hasDevice; }
    qint64 room() const override { return paused ? 0 : 400; }
    void write(const int16_t* s, qint64 n) override { heard.insert(heard.end(), s, s + n); }
    // A sound server may never report its last few samples heard: the queue then stays at keepsLast.
    qint64 pending() const override { return heard.empty() ? 0 : keepsLast; }
    void discard() override {}
    void setPaused(bool p) override { paused = p; }
    void stop() override {}
    void setVolume(double) override {}
    qint64 keepsLast = 0;
    QByteArray bytes() const {
        return QByteArray(reinterpret_cast<const char*>(heard.data()), qsizetype(heard.size()) * 2);
    }
    std::vector<int16_t> heard;
    bool paused = false;
    bool hasDevice = true;
};

// A local voice file as a download leaves it: a record naming the file, the unit's header, the frames.
void writeMessage(const QString& path, const QByteArray& frames, uint8_t played = 0) {
    FILESTS_INFO rec;
    rec.clear();
    rec.played = played;
    rec.importStatus = 2;
    FILESTS_INFO::setText(rec.filePath, path);
    writeVoiceFile(path,
                   QByteArray(reinterpret_cast<const char*>(&rec), FILESTS_INFO::SIZE) +
                       QByteArray(FILESTS_INFO::UNIT_HEADER_SIZE, '\x5a') + frames,
                   0);
}

FILESTS_INFO rowOf(const QString& path) {
    FILESTS_INFO rec;
    rec.clear();
    CFileMng::ReadRecord(path, rec);
    return rec;
}

// Pumps until the player leaves "playing" or the step budget runs out.
void playOut(CVoicePlayer& player, int maxSteps = 100000) {
    for (int i = 0; i < maxSteps && player.state() == CVoicePlayer::State::Playing; ++i) {
        player.pump();
    }
}

// A steady tone of the given frequency, encoded as the unit stores it.
QByteArray toneFrames(double hz, int frames) {
    std::vector<int16_t> pcm(static_cast<size_t>(frames) * 80);
    for (size_t i = 0; i < pcm.size(); ++i) {
        pcm[i] = static_cast<int16_t>(8000.0 * std::sin(2.0 * M_PI * hz * double(i) / 8000.0));
    }
    return CSampleEncoder::encode(pcm);
}

// The strongest frequency between 200 and 1000 Hz, in 1 Hz steps, of a stretch of samples.
double dominantHz(const int16_t* s, int n) {
    double best = 0;
    double bestPower = -1;
    for (int hz = 200; hz <= 1000; ++hz) {
        double re = 0;
        double im = 0;
        for (int i = 0; i < n; ++i) {
            re += s[i] * std::cos(2.0 * M_PI * hz * i / 8000.0);
            im += s[i] * std::sin(2.0 * M_PI * hz * i / 8000.0);
        }
        if (re * re + im * im > bestPower) {
            bestPower = re * re + im * im;
            best = hz;
        }
    }
    return best;
}

using Pcm = std::vector<int16_t>;

// Speech-like samples of the sample generator, scaled.
Pcm speech(double seconds, double scale, uint64_t seed = 7) {
    Pcm pcm = CSampleSpeech::generate(seed, static_cast<int64_t>(seconds * 8000));
    for (int16_t& v : pcm) {
        v = static_cast<int16_t>(std::clamp(std::lrint(v * scale), -32768L, 32767L));
    }
    return pcm;
}

// White noise of the given RMS level (dBFS); 0 dBFS... -inf: digital silence.
Pcm noise(double seconds, double dbfs, uint32_t seed = 1) {
    Pcm pcm(static_cast<size_t>(seconds * 8000), 0);
    const double amplitude = std::isfinite(dbfs) ? 32768.0 * std::pow(10.0, dbfs / 20.0) * std::sqrt(3.0) : 0.0;
    for (int16_t& v : pcm) {
        seed = seed * 1664525u + 1013904223u;
        v = static_cast<int16_t>(std::lrint(amplitude * (double(seed >> 8) / double(1 << 24) * 2.0 - 1.0)));
    }
    return pcm;
}

Pcm operator+(Pcm a, const Pcm& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The message's samples as the decoder gives them.
Pcm decodedOf(const QString& vmdat) {
    CVoiceStream stream;
    stream.load(vmdat);
    stream.decodeUpTo(stream.totalFrames());
    return Pcm(stream.samples(), stream.samples() + stream.totalSamples());
}

// The integrated loudness ffmpeg's ebur128 filter gives the samples; NaN when ffmpeg is not at hand.
double ffmpegLoudness(const Pcm& pcm, const QString& wavPath) {
    const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    if (ffmpeg.isEmpty()) {
        return std::nan("");
    }
    QFile wav(wavPath);
    if (!wav.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return std::nan("");
    }
    uint8_t header[CG729Decoder::WAV_HEADER_BYTES];
    const auto bytes = static_cast<quint32>(pcm.size() * 2);
    CG729Decoder::makeWavHeader(header, bytes, bytes + 36);
    wav.write(reinterpret_cast<const char*>(header), sizeof(header));
    wav.write(reinterpret_cast<const char*>(pcm.data()), bytes);
    wav.close();
    QProcess p;
    p.start(ffmpeg, {"-hide_banner", "-nostats", "-i", wavPath, "-af", "ebur128", "-f", "null", "-"});
    if (!p.waitForFinished(30000)) {
        return std::nan("");
    }
    const QString out = QString::fromUtf8(p.readAllStandardError());
    const QRegularExpressionMatch m =
        QRegularExpression(R"(Integrated loudness:\s*I:\s*(-?[0-9.]+|-inf) LUFS)").match(out);
    return m.hasMatch() ? (m.captured(1) == "-inf" ? -HUGE_VAL : m.captured(1).toDouble()) : std::nan("");
}

} // namespace

Q_DECLARE_METATYPE(CVoicePlayer::OpenResult)

class TstConvert : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString voice() const { return path("2026120109300001_01_100001.vmdat"); }
    QStringList leftovers() const { return QDir(m_dir.path()).entryList({"*.tmp", "*.wav"}, QDir::Files); }

private Q_SLOTS:
    void init() {
        CCancelFlag::clear();
        for (const QString& f : QDir(m_dir.path()).entryList(QDir::Files)) {
            QFile::remove(path(f));
        }
    }

    void stemIsTheUnitsLength() { QCOMPARE(QFileInfo(voice()).fileName().size(), 32); }

    void shorterThanHeaderConvertsNothing() {
        CScriptedUi ui;
        SpyDlg spy(ui, QStringLiteral("変換中"));
        writeVoiceFile(voice(), QByteArray(), FILESTS_INFO::VOICE_OFFSET - 1);
        QCOMPARE(CFileMng::ConvertToWav(voice(), &ui, &spy), false);
        QVERIFY(leftovers().isEmpty());
        QVERIFY(spy.toldNothing());
        QCOMPARE(CFileMng::ConvertToWav(path("absent.vmdat"), &ui, &spy), false);
        QVERIFY(leftovers().isEmpty());
    }

    void headerOnlyGivesEmptyWav() {
        CScriptedUi ui;
        SpyDlg spy(ui, QStringLiteral("変換中"));
        writeVoiceFile(voice(), QByteArray());
        QCOMPARE(CFileMng::ConvertToWav(voice(), &ui, &spy), true);
        const QByteArray wav = CTestFiles::read(path(QFileInfo(voice()).completeBaseName() + ".wav"));
        QCOMPARE(wav.size(), 44);
        QCOMPARE(le32(wav, 4), 36u);
        QCOMPARE(le32(wav, 40), 0u);
        QCOMPARE(spy.totals, QList<long long>{0});
        QVERIFY(spy.dones.isEmpty());
        QCOMPARE(leftovers(), QStringList{QFileInfo(voice()).completeBaseName() + ".wav"});
    }

    void partFrameIsIgnoredAndProgressCountsFrames() {
        CScriptedUi ui;
        SpyDlg spy(ui, QStringLiteral("変換中"));
        writeVoiceFile(voice(), CSampleUnit::voiceFrames(3, 3).left(25));
        QCOMPARE(CFileMng::ConvertToWav(voice(), &ui, &spy), true);
        const QByteArray wav = CTestFiles::read(path(QFileInfo(voice()).completeBaseName() + ".wav"));
        QCOMPARE(wav.size(), 44 + 320);
        QCOMPARE(le32(wav, 4), 356u);
        QCOMPARE(le32(wav, 40), 320u);
        QCOMPARE(spy.totals, QList<long long>{2});
        QCOMPARE(spy.dones, (QList<long long>{1, 2}));
        // One pending event is dispatched per frame, so the window stays alive during long files.
        QCOMPARE(ui.dispatchCalls, 2);
    }

    void hundredFramesGiveFinalHeader() {
        CScriptedUi ui;
        writeVoiceFile(voice(), CSampleUnit::voiceFrames(5, 100));
        QCOMPARE(CFileMng::ConvertToWav(voice(), &ui, nullptr), true);
        const QByteArray wav = CTestFiles::read(path(QFileInfo(voice()).completeBaseName() + ".wav"));
        QCOMPARE(wav.size(), 16044);
        QCOMPARE(wav.left(4), QByteArray("RIFF"));
        QCOMPARE(le32(wav, 4), 16036u);
        QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(le32(wav, 16), 16u);
        QCOMPARE(le16(wav, 20), quint16(1));
        QCOMPARE(le16(wav, 22), quint16(1));
        QCOMPARE(le32(wav, 24), 8000u);
        QCOMPARE(le32(wav, 28), 16000u);
        QCOMPARE(le16(wav, 32), quint16(2));
        QCOMPARE(le16(wav, 34), quint16(16));
        QCOMPARE(wav.mid(36, 4), QByteArray("data"));
        QCOMPARE(le32(wav, 40), 16000u);
    }

    void samplesMatchTheLibraryBitForBit() {
        // Real speech frames, one with an all-zero third word (a lost frame) and one opening with 0x12 0x34.
        QByteArray frames = CSampleUnit::voiceFrames(11, 120);
        frames[50 * 10 + 4] = 0;
        frames[50 * 10 + 5] = 0;
        frames[70 * 10 + 0] = 0x12;
        frames[70 * 10 + 1] = 0x34;
        writeVoiceFile(voice(), frames);
        QCOMPARE(CFileMng::ConvertToWav(voice(), nullptr, nullptr), true);
        const QByteArray pcm = CTestFiles::read(path(QFileInfo(voice()).completeBaseName() + ".wav")).mid(44);
        QCOMPARE(pcm.size(), 120 * 160);
        QVERIFY(pcm == referencePcm(frames));

        // The comparison has teeth: the same frames without the erasure, or in stored order, decode otherwise.
        QByteArray notErased = frames;
        notErased[50 * 10 + 4] = 1;
        QVERIFY(referencePcm(notErased).mid(50 * 160, 160) != pcm.mid(50 * 160, 160));
        QByteArray unswapped = frames;
        std::swap(unswapped[70 * 10 + 0], unswapped[70 * 10 + 1]);
        QVERIFY(referencePcm(unswapped).mid(70 * 160, 160) != pcm.mid(70 * 160, 160));
    }

    void byteOrderOfTheFirstWord() {
        const uint8_t stored[10] = {0x12, 0x34, 1, 2, 3, 4, 5, 6, 7, 8};
        uint8_t rfc[10];
        CG729Decoder::toRfc3551(stored, rfc);
        // L0/L1 are the first eight bits on the wire; L2/L3 start with the next eight.
        QCOMPARE(rfc[0], uint8_t(0x34));
        QCOMPARE(rfc[1], uint8_t(0x12));
        QCOMPARE(rfc[9], uint8_t(7));
        QVERIFY(!CG729Decoder::isErased(stored));
        const uint8_t lost[10] = {1, 2, 3, 4, 0, 0, 5, 6, 7, 8};
        QVERIFY(CG729Decoder::isErased(lost));
        const uint8_t halfZero[10] = {1, 2, 3, 4, 0, 9, 9, 0, 7, 8};
        QVERIFY(!CG729Decoder::isErased(halfZero));
    }

    void knownAnswerOfTheFixture() {
        writeVoiceFile(voice(), fixtureFrames());
        QCOMPARE(CFileMng::ConvertToWav(voice(), nullptr, nullptr), true);
        const QByteArray pcm = CTestFiles::read(path(QFileInfo(voice()).completeBaseName() + ".wav")).mid(44);
        QCOMPARE(pcm.size(), 40 * 160);
        QVERIFY(pcm.count('\0') < pcm.size() / 2);
        // Recorded from the decoder as shipped; a change in the wrapper or the library shows here first.
        const QByteArray sum = QCryptographicHash::hash(pcm, QCryptographicHash::Sha256).toHex();
        QCOMPARE(sum, QByteArray("63b03a73867617886a8c7de7b6cddcc1723d1d6a871594738bd10aa1d89e53ff"));
    }

    void cancelLeavesNothingBehind() {
        CScriptedUi ui;
        SpyDlg spy(ui, QStringLiteral("ダウンロード中"));
        writeVoiceFile(voice(), CSampleUnit::voiceFrames(8, 60));
        const QByteArray before = CTestFiles::read(voice());
        // While decoding, nothing carries the WAV name yet: a run killed now must not leave a file that would
        // be taken as converted.
        bool wavNamedEarly = false;
        ui.onDispatch = [&](int n) {
            wavNamedEarly = wavNamedEarly || !leftovers().filter(".wav").isEmpty();
            if (n == 7) {
                CCancelFlag::set(1);
            }
        };
        QCOMPARE(CFileMng::ConvertToWav(voice(), &ui, &spy), false);
        QVERIFY(!wavNamedEarly);
        QVERIFY(leftovers().isEmpty());
        QVERIFY(QDir(m_dir.path()).entryList({"*.part"}, QDir::Files).isEmpty());
        QCOMPARE(CTestFiles::read(voice()), before);
        // The decoder stops after the frame in hand; the download dialog handed in followed it.
        QCOMPARE(spy.totals, QList<long long>{60});
        QCOMPARE(spy.dones.size(), 7);
        QCOMPARE(CCancelFlag::value(), 1);

        // The next conversion clears the flag itself.
        ui.onDispatch = nullptr;
        QCOMPARE(CFileMng::ConvertToWav(voice(), &ui, &spy), true);
    }

    void staleTemporaryFileAndRepeatedConversion() {
        writeVoiceFile(voice(), CSampleUnit::voiceFrames(9, 80));
        const QString tmp = path(QFileInfo(voice()).completeBaseName() + ".tmp");
        const QString wav = path(QFileInfo(voice()).completeBaseName() + ".wav");
        {
            QFile stale(tmp);
            QVERIFY(stale.open(QIODevice::WriteOnly));
            stale.write(QByteArray(100000, '\x77'));
        }
        QCOMPARE(CFileMng::ConvertToWav(voice(), nullptr, nullptr), true);
        QVERIFY(!QFile::exists(tmp));
        const QByteArray first = CTestFiles::read(wav);
        QCOMPARE(first.size(), 44 + 80 * 160);
        // A second run of the same file starts from a fresh decoder and overwrites the WAV identically.
        QCOMPARE(CFileMng::ConvertToWav(voice(), nullptr, nullptr), true);
        QCOMPARE(CTestFiles::read(wav), first);
    }

    void pathsOutsideThePlainCodePage() {
        const QString folder = path(QStringLiteral("留守録 ＢＯＸ"));
        QVERIFY(QDir().mkpath(folder));
        const QString file = folder + "/2026120109300001_01_000002.vmdat";
        writeVoiceFile(file, CSampleUnit::voiceFrames(2, 10));
        QCOMPARE(CFileMng::ConvertToWav(file, nullptr, nullptr), true);
        QCOMPARE(QFileInfo(folder + "/2026120109300001_01_000002.wav").size(), 44 + 10 * 160);
        QVERIFY(!QFile::exists(folder + "/2026120109300001_01_000002.tmp"));
    }

    void onlyVoiceFilesAreConverted() {
        // Anything but a ".vmdat" would make the staging file the source itself; it is refused untouched.
        const QString info = path("2026120109300001_01_000003.vminf");
        writeVoiceFile(info, CSampleUnit::voiceFrames(2, 5));
        const QByteArray before = CTestFiles::read(info);
        QCOMPARE(CFileMng::ConvertToWav(info, nullptr, nullptr), false);
        QCOMPARE(CTestFiles::read(info), before);
        // A folder named like a voice file does not redirect the output.
        const QString odd = path("x.vmdat");
        QVERIFY(QDir().mkpath(odd));
        writeVoiceFile(odd + "/2026120109300001_01_000004.vmdat", CSampleUnit::voiceFrames(2, 5));
        QCOMPARE(CFileMng::ConvertToWav(odd + "/2026120109300001_01_000004.vmdat", nullptr, nullptr), true);
        QVERIFY(QFile::exists(odd + "/2026120109300001_01_000004.wav"));
    }

    void consoleLinesOnlyWhenVerbose() {
        writeVoiceFile(voice(), CSampleUnit::voiceFrames(2, 3));
        const QString capture = path("stdout.txt");
        auto run = [&](bool verbose) {
            std::fflush(stdout);
            const int saved = dup(fileno(stdout));
            QVERIFY(std::freopen(QFile::encodeName(capture).constData(), "w", stdout));
            CScriptedUi ui;
            ui.verboseLines = verbose;
            QCOMPARE(CFileMng::ConvertToWav(voice(), &ui, nullptr), true);
            std::fflush(stdout);
            dup2(saved, fileno(stdout));
            close(saved);
        };
        run(false);
        QVERIFY(CTestFiles::read(capture).isEmpty());
        run(true);
        const QByteArray out = CTestFiles::read(capture);
        const QByteArray tmp = QFile::encodeName(path("2026120109300001_01_100001.tmp"));
        QVERIFY(out.startsWith("\n************ TOLKA-ZUNO 8.0 KBIT/S SPEECH DECODER  ************\n\n"));
        QVERIFY(out.contains("\n-----------------          Version 1.1        ---------------\n\n"));
        QVERIFY(out.contains("Input bitstream file  :   " + tmp + "\n"));
        QVERIFY(out.endsWith("Frame =0\rFrame =1\rFrame =2\r"));
    }

    void unwritableOutputIsAFailure() {
        const QString folder = path("ro");
        QVERIFY(QDir().mkpath(folder));
        const QString file = folder + "/2026120109300001_01_000005.vmdat";
        writeVoiceFile(file, CSampleUnit::voiceFrames(2, 5));
        // A WAV name taken by a folder cannot be created: nothing is converted, and the staging file goes.
        QVERIFY(QDir().mkpath(folder + "/2026120109300001_01_000005.wav"));
        QCOMPARE(CFileMng::ConvertToWav(file, nullptr, nullptr), false);
        QVERIFY(!QFile::exists(folder + "/2026120109300001_01_000005.tmp"));
        QVERIFY(QFileInfo(folder + "/2026120109300001_01_000005.wav").isDir());
    }
    void playerDeliversTheDecodersSamples_data() {
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("tailBytes");
        QTest::addColumn<CVoicePlayer::OpenResult>("opened");
        QTest::addColumn<int>("playable");
        QTest::newRow("whole") << 300 << 0 << CVoicePlayer::OpenResult::Ready << 300;
        // A cut file plays its whole frames and says the rest is damaged.
        QTest::newRow("cut in a frame") << 120 << 7 << CVoicePlayer::OpenResult::Damaged << 120;
        QTest::newRow("header only") << 0 << 0 << CVoicePlayer::OpenResult::NoVoiceData << 0;
        QTest::newRow("cut in the header") << 0 << -100 << CVoicePlayer::OpenResult::Damaged << 0;
    }
    void playerDeliversTheDecodersSamples() {
        QFETCH(int, frames);
        QFETCH(int, tailBytes);
        QFETCH(CVoicePlayer::OpenResult, opened);
        QFETCH(int, playable);
        const QByteArray voiceData = CSampleUnit::voiceFrames(21, frames);
        QByteArray payload = voiceData + QByteArray(std::max(0, tailBytes), '\x11');
        writeMessage(voice(), payload);
        if (tailBytes < 0) {
            QVERIFY(QFile::resize(voice(), QFileInfo(voice()).size() + tailBytes));
        }
        const QByteArray before = CTestFiles::read(voice());
        TestOutput out;
        CVoicePlayer player(out);
        player.setPumpInterval(0);
        QCOMPARE(player.open(rowOf(voice())), opened);
        QCOMPARE(player.totalFrames(), playable);
        QCOMPARE(player.play(), playable > 0);
        playOut(player);
        QVERIFY(out.bytes() == referencePcm(voiceData.left(playable * 10)));
        if (playable > 0) {
            QCOMPARE(player.state(), CVoicePlayer::State::Finished);
            QCOMPARE(player.positionMs(), qint64(playable) * 10);
        } else {
            // Nothing played, nothing written.
            QCOMPARE(CTestFiles::read(voice()), before);
        }
    }

    void infoOnlyAndUnreadableRows() {
        TestOutput out;
        CVoicePlayer player(out);
        FILESTS_INFO info;
        info.clear();
        FILESTS_INFO::setText(info.filePath, path("2026120109300001_01_100009.vminf"));
        QCOMPARE(player.open(info), CVoicePlayer::OpenResult::NoVoiceData);
        QVERIFY(!player.play());
        FILESTS_INFO gone = info;
        FILESTS_INFO::setText(gone.filePath, path("2026120109300001_01_100009.vmdat"));
        QCOMPARE(player.open(gone), CVoicePlayer::OpenResult::Unreadable);
        QVERIFY(out.heard.empty());
        // No device: nothing starts, the message stays ready to play.
        writeMessage(voice(), CSampleUnit::voiceFrames(3, 50));
        out.hasDevice = false;
        QCOMPARE(player.open(rowOf(voice())), CVoicePlayer::OpenResult::Ready);
        QVERIFY(!player.play());
        QCOMPARE(player.state(), CVoicePlayer::State::Stopped);
    }

    void speedKeepsThePitch_data() {
        QTest::addColumn<double>("speed");
        QTest::newRow("0.75") << 0.75;
        QTest::newRow("1.5") << 1.5;
        QTest::newRow("2") << 2.0;
    }
    void speedKeepsThePitch() {
        QFETCH(double, speed);
        const int frames = 400;
        writeMessage(voice(), toneFrames(500, frames));
        TestOutput out;
        CVoicePlayer player(out);
        player.setPumpInterval(0);
        QCOMPARE(player.open(rowOf(voice())), CVoicePlayer::OpenResult::Ready);
        player.setSpeed(speed);
        QVERIFY(player.play());
        playOut(player);
        QCOMPARE(player.state(), CVoicePlayer::State::Finished);
        const double expected = frames * 80 / speed;
        QVERIFY2(std::abs(double(out.heard.size()) - expected) <= 0.03 * expected,
                 qPrintable(QString::number(out.heard.size())));
        const QByteArray pcm = referencePcm(toneFrames(500, frames));
        const double decodedHz = dominantHz(reinterpret_cast<const int16_t*>(pcm.constData()) + 8000, 4000);
        const double playedHz = dominantHz(out.heard.data() + out.heard.size() / 3, 4000);
        QVERIFY2(std::abs(playedHz - decodedHz) <= 0.03 * decodedHz,
                 qPrintable(QStringLiteral("%1 %2").arg(playedHz).arg(decodedHz)));
    }

    void seekDeliversTheRightFrame_data() {
        QTest::addColumn<int>("playFirst"); // steps played before the seek
        QTest::addColumn<int>("percent");
        QTest::newRow("50 % before playing") << 0 << 50;
        QTest::newRow("forward past the decoded part") << 2 << 90;
        QTest::newRow("back to 50 % after playing") << 100 << 50;
        QTest::newRow("to the start") << 50 << 0;
    }
    void seekDeliversTheRightFrame() {
        QFETCH(int, playFirst);
        QFETCH(int, percent);
        const int frames = 600;
        const QByteArray voiceData = CSampleUnit::voiceFrames(5, frames);
        writeMessage(voice(), voiceData);
        const QByteArray pcm = referencePcm(voiceData);
        TestOutput out;
        CVoicePlayer player(out);
        player.setPumpInterval(0);
        player.open(rowOf(voice()));
        QVERIFY(player.play());
        for (int i = 0; i < playFirst; ++i) {
            player.pump();
        }
        const int frame = frames * percent / 100;
        player.seekToFrame(frame);
        QCOMPARE(player.positionFrame(), frame);
        const size_t mark = out.heard.size();
        player.pump();
        player.pump();
        const QByteArray after(reinterpret_cast<const char*>(out.heard.data() + mark), 800 * 2);
        QVERIFY(after == pcm.mid(qsizetype(frame) * 160, 1600));
    }

    void pauseDeliversNothing() {
        const QByteArray voiceData = CSampleUnit::voiceFrames(8, 200);
        writeMessage(voice(), voiceData);
        TestOutput out;
        CVoicePlayer player(out);
        player.setPumpInterval(0);
        player.open(rowOf(voice()));
        QVERIFY(player.play());
        player.pump();
        player.pause();
        const size_t held = out.heard.size();
        const int at = player.positionFrame();
        for (int i = 0; i < 50; ++i) {
            player.pump();
        }
        QCOMPARE(out.heard.size(), held);
        QCOMPARE(player.positionFrame(), at);
        QCOMPARE(player.heardMs(), qint64(held) / 8);
        // Going on continues from the same sample.
        QVERIFY(player.play());
        playOut(player);
        QVERIFY(out.bytes() == referencePcm(voiceData));
    }

    void playedMarkFallsDueOnce_data() {
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("steps"); // 50 ms each
        QTest::addColumn<double>("speed");
        QTest::addColumn<uint8_t>("playedBefore");
        QTest::addColumn<int>("marks");
        QTest::addColumn<uint8_t>("playedOnDisk");
        QTest::newRow("only opened") << 500 << 0 << 1.0 << uint8_t(0) << 0 << uint8_t(0);
        QTest::newRow("1.95 s heard") << 500 << 39 << 1.0 << uint8_t(0) << 0 << uint8_t(0);
        QTest::newRow("2 s heard") << 500 << 40 << 1.0 << uint8_t(0) << 1 << uint8_t(1);
        QTest::newRow("heard to the end") << 500 << 1000 << 1.0 << uint8_t(0) << 1 << uint8_t(1);
        // Two seconds of listening, whatever part of the message they cover.
        QTest::newRow("2 s heard at 2x") << 500 << 40 << 2.0 << uint8_t(0) << 1 << uint8_t(1);
        QTest::newRow("short message to its end") << 120 << 1000 << 1.0 << uint8_t(0) << 1 << uint8_t(1);
        QTest::newRow("already played") << 500 << 1000 << 1.0 << uint8_t(1) << 1 << uint8_t(1);
    }
    void playedMarkFallsDueOnce() {
        QFETCH(int, frames);
        QFETCH(int, steps);
        QFETCH(double, speed);
        QFETCH(uint8_t, playedBefore);
        QFETCH(int, marks);
        QFETCH(uint8_t, playedOnDisk);
        const QByteArray voiceData = CSampleUnit::voiceFrames(4, frames);
        writeMessage(voice(), voiceData, playedBefore);
        const QByteArray before = CTestFiles::read(voice());
        TestOutput out;
        CVoicePlayer player(out);
        player.setPumpInterval(0);
        int seen = 0;
        int written = 0;
        connect(&player, &CVoicePlayer::marked, this, [&](CVoicePlayer::MarkResult r, const FILESTS_INFO& row) {
            ++seen;
            written += r == CVoicePlayer::MarkResult::Written ? 1 : 0;
            QCOMPARE(row.played, uint8_t(1));
        });
        player.open(rowOf(voice()));
        player.setSpeed(speed);
        if (steps > 0) {
            QVERIFY(player.play());
        }
        for (int i = 1; i < steps && player.state() == CVoicePlayer::State::Playing; ++i) {
            player.pump();
        }
        // Playing on, seeking back and playing again never mark twice.
        if (marks > 0) {
            player.seekToFrame(0);
            player.play();
            playOut(player);
        }
        QCOMPARE(seen, marks);
        QCOMPARE(written, playedBefore ? 0 : marks);
        const QByteArray after = CTestFiles::read(voice());
        QCOMPARE(uint8_t(after[1]), playedOnDisk);
        // Only the played byte changes; the voice data stays as it was.
        QCOMPARE(after.mid(2), before.mid(2));
    }

    // A message ends, and is marked played, also on a sound server whose queue never empties.
    void messageEndsWhereTheQueueStandsStill() {
        const QByteArray voiceData = CSampleUnit::voiceFrames(5, 150);
        writeMessage(voice(), voiceData);
        TestOutput out;
        out.keepsLast = 160;
        CVoicePlayer player(out);
        player.setPumpInterval(0);
        player.setEndStallMs(40);
        player.open(rowOf(voice()));
        QVERIFY(player.play());
        QElapsedTimer clock;
        clock.start();
        qint64 handedOverAt = -1;
        while (player.state() == CVoicePlayer::State::Playing && clock.elapsed() < 3000) {
            player.pump();
            if (handedOverAt < 0 && out.heard.size() == size_t(150 * 80)) {
                handedOverAt = clock.elapsed();
            }
            QTest::qWait(5);
        }
        QCOMPARE(player.state(), CVoicePlayer::State::Finished);
        QVERIFY(handedOverAt >= 0);
        QVERIFY2(clock.elapsed() - handedOverAt >= 40, "ended before the queue had stood still long enough");
        QCOMPARE(uint8_t(CTestFiles::read(voice())[1]), uint8_t(1));
    }

    // The loudness of messages at several levels agrees with an independent meter within 0.5 LU; the peak is the
    // highest decoded sample.
    void loudnessAgreesWithAnIndependentMeter_data() {
        QTest::addColumn<double>("scale");
        QTest::addColumn<double>("noiseDbfs");
        QTest::newRow("loud") << 1.0 << -HUGE_VAL;
        QTest::newRow("speaker phone (-10 dB)") << 0.3 << -HUGE_VAL;
        QTest::newRow("mobile far away (-20 dB)") << 0.1 << -60.0;
        QTest::newRow("whisper (-30 dB) in line noise") << 0.03 << -55.0;
    }
    void loudnessAgreesWithAnIndependentMeter() {
        QFETCH(double, scale);
        QFETCH(double, noiseDbfs);
        const Pcm pcm = speech(6, scale) + noise(1, noiseDbfs) + speech(4, scale, 9);
        writeMessage(voice(), CSampleEncoder::encode(pcm));
        CVoiceMeasureCache cache(m_dir.path());
        const auto f = cache.measure(voice());
        QVERIFY(f);
        const Pcm decoded = decodedOf(voice());
        const double reference = ffmpegLoudness(decoded, path("reference.wav"));
        if (std::isnan(reference)) {
            QSKIP("ffmpeg is not installed");
        }
        QVERIFY2(std::abs(f->loudnessLufs - reference) <= 0.5,
                 qPrintable(QStringLiteral("%1 against %2").arg(f->loudnessLufs).arg(reference)));
        int peak = 0;
        for (int16_t v : decoded) {
            peak = std::max(peak, std::abs(int(v)));
        }
        QCOMPARE(qRound(f->peakDbfs * 10), qRound(200 * std::log10(peak / 32768.0)));
        QCOMPARE(f->totalMs, qint64(decoded.size() / 8));
    }

    // The energy rule's thresholds, on frame levels (dBFS) made up for it: 10 dB above the floor (the 10th
    // percentile, digital silence counting as -70 dBFS) and above -60 dBFS, at least 3 loud frames and a spread
    // of 6 dB in a run of 30 or more; 5 frames before and 20 after a loud run count too.
    void speechRuleThresholds_data() {
        QTest::addColumn<float>("floor");
        QTest::addColumn<float>("loud");
        QTest::addColumn<int>("loudFrames");
        QTest::addColumn<int>("speechFrames");
        QTest::newRow("11 dB above the floor") << -50.f << -39.f << 10 << 10 + 5 + 20;
        QTest::newRow("9 dB above the floor") << -50.f << -41.f << 10 << 0;
        QTest::newRow("above a silent floor, below -60 dBFS") << -90.f << -61.f << 10 << 0;
        QTest::newRow("above a silent floor and -60 dBFS") << -90.f << -59.f << 10 << 10 + 5 + 20;
        QTest::newRow("a click of 2 frames") << -50.f << -20.f << 2 << 0;
        QTest::newRow("3 frames") << -50.f << -20.f << 3 << 3 + 5 + 20;
        QTest::newRow("29 level frames") << -50.f << -30.f << 29 << 29 + 5 + 20;
        QTest::newRow("30 level frames: a noise, not speech") << -50.f << -30.f << 30 << 0;
        QTest::newRow("loud line noise is its own floor") << -25.f << -25.f << 0 << 0;
    }
    void speechRuleThresholds() {
        QFETCH(float, floor);
        QFETCH(float, loud);
        QFETCH(int, loudFrames);
        QFETCH(int, speechFrames);
        std::vector<float> levels(300, floor);
        std::fill(levels.begin() + 200, levels.begin() + 200 + loudFrames, loud);
        const std::vector<bool> speech = CVoiceMeasure::speechFrames(levels);
        QCOMPARE(int(std::count(speech.begin(), speech.end(), true)), speechFrames);
        if (speechFrames > 0) {
            QVERIFY(speech[195] && !speech[194] && speech[200 + loudFrames + 19] && !speech[200 + loudFrames + 20]);
        }
    }

    // Messages of the voice-mail unit through the decoder: an empty call has less than 0.5 s of speech.
    void emptyCallsAreFound_data() {
        QTest::addColumn<QString>("make");
        QTest::addColumn<double>("minSpeech");
        QTest::addColumn<double>("maxSpeech");
        QTest::newRow("silence, then line noise") << "silence+noise" << 0.0 << 0.3;
        QTest::newRow("loud line noise") << "loud noise" << 0.0 << 0.3;
        QTest::newRow("1 s of speech in line noise") << "speech 1s" << 0.8 << 1.5;
        QTest::newRow("quiet speech, no noise") << "quiet speech" << 2.5 << 4.0;
    }
    void emptyCallsAreFound() {
        QFETCH(QString, make);
        QFETCH(double, minSpeech);
        QFETCH(double, maxSpeech);
        Pcm pcm;
        if (make == "silence+noise") {
            pcm = noise(2, -HUGE_VAL) + noise(4, -50);
        } else if (make == "loud noise") {
            pcm = noise(6, -25);
        } else if (make == "speech 1s") {
            pcm = noise(2, -50) + (speech(1, 1.0) + noise(2, -50, 3));
        } else {
            pcm = speech(4, 0.05);
        }
        writeMessage(voice(), CSampleEncoder::encode(pcm));
        CVoiceMeasureCache cache(m_dir.path());
        const auto f = cache.measure(voice());
        QVERIFY(f);
        const double seconds = double(f->speechMs) / 1000.0;
        QVERIFY2(seconds >= minSpeech && seconds <= maxSpeech, qPrintable(QString::number(seconds)));
        QCOMPARE(f->isEmptyCall(), maxSpeech < 0.5);
    }

    // 無音を飛ばす: speech, 3 s of silence, speech plays about 2.7 s shorter, and what is played is the decoder's
    // samples with only part of the silence taken out; the position is the message's own time.
    void skipSilenceKeepsEverySpeechSample_data() {
        QTest::addColumn<double>("speed");
        QTest::addColumn<bool>("skip");
        QTest::newRow("1x") << 1.0 << true;
        QTest::newRow("1.5x") << 1.5 << true;
        QTest::newRow("off") << 1.0 << false;
    }
    void skipSilenceKeepsEverySpeechSample() {
        QFETCH(double, speed);
        QFETCH(bool, skip);
        writeMessage(voice(), CSampleEncoder::encode(speech(2, 1.0) + noise(3, -HUGE_VAL) + speech(2, 1.0, 11)));
        CVoiceMeasureCache cache(m_dir.path());
        const auto f = cache.measure(voice());
        QVERIFY(f);
        QCOMPARE(f->gaps.size(), size_t(1));
        TestOutput out;
        CVoicePlayer player(out);
        player.setPumpInterval(0);
        QCOMPARE(player.open(rowOf(voice())), CVoicePlayer::OpenResult::Ready);
        player.setFigures(*f);
        player.setSkipSilence(skip);
        player.setSpeed(speed);
        QVERIFY(player.play());
        int maxFrame = 0;
        bool backwards = false;
        while (player.state() == CVoicePlayer::State::Playing) {
            player.pump();
            backwards = backwards || player.positionFrame() < maxFrame;
            maxFrame = std::max(maxFrame, player.positionFrame());
        }
        QVERIFY(!backwards);
        const double total = 7.0;
        const double expected = (skip ? total - 2.7 : total) / speed;
        const double played = double(out.heard.size()) / 8000.0;
        QVERIFY2(std::abs(played - expected) <= 0.35,
                 qPrintable(QStringLiteral("%1 s, %2 s").arg(played).arg(expected)));
        if (speed != 1.0) {
            return;
        }
        // The decoder's samples without the part of the gap that was jumped, nothing else.
        const Pcm decoded = decodedOf(voice());
        const auto [from, to] = f->gaps.front();
        const qsizetype cutFrom = skip ? qsizetype(from + 15) * 80 : qsizetype(decoded.size());
        const qsizetype cutTo = skip ? qsizetype(to - 15) * 80 : qsizetype(decoded.size());
        Pcm kept(decoded.begin(), decoded.begin() + cutFrom);
        kept.insert(kept.end(), decoded.begin() + cutTo, decoded.end());
        QVERIFY(out.heard == kept);
        for (qsizetype i = cutFrom; i < cutTo; ++i) {
            QVERIFY2(std::abs(decoded[size_t(i)]) < 300, "speech was skipped");
        }
    }

    // 音量を揃える: the played samples measure the target within 1 LU, no more than +20 dB is added, and a
    // message whose peak allows less is raised only up to its peak (not one sample clips).
    void levellingReachesTheTarget_data() {
        QTest::addColumn<double>("scale");
        QTest::addColumn<bool>("click");
        QTest::addColumn<QString>("expect"); // "target", "+20 dB", "peak"
        // The generator's speech measures about -31 LUFS with its peak at -13.5 dBFS.
        QTest::newRow("quiet (+13 dB)") << 1.0 << false << "target";
        QTest::newRow("very quiet (+19 dB)") << 0.5 << false << "target";
        QTest::newRow("loud, turned down") << 8.0 << false << "target";
        QTest::newRow("too quiet for +20 dB") << 0.2 << false << "+20 dB";
        QTest::newRow("quiet with a loud click") << 0.5 << true << "peak";
    }
    void levellingReachesTheTarget() {
        QFETCH(double, scale);
        QFETCH(bool, click);
        QFETCH(QString, expect);
        Pcm pcm = speech(8, scale);
        if (click) {
            for (size_t i = 4000; i < 4400; ++i) {
                pcm[i] = static_cast<int16_t>(i % 16 < 8 ? 10000 : -10000);
            }
        }
        writeMessage(voice(), CSampleEncoder::encode(pcm));
        CVoiceMeasureCache cache(m_dir.path());
        const auto f = cache.measure(voice());
        QVERIFY(f);
        TestOutput out;
        CVoicePlayer player(out);
        player.setPumpInterval(0);
        QCOMPARE(player.open(rowOf(voice())), CVoicePlayer::OpenResult::Ready);
        player.setFigures(*f);
        player.setLevelling(true);
        QVERIFY(player.play());
        playOut(player);
        CVoiceMeasure ours;
        ours.add(out.heard.data(), qint64(out.heard.size()));
        const CVoiceMeasure::Figures heard = ours.finish();
        if (expect == "target") {
            QVERIFY2(std::abs(heard.loudnessLufs - CVoiceMeasure::TARGET_LUFS) <= 1.0,
                     qPrintable(QString::number(heard.loudnessLufs)));
        } else if (expect == "+20 dB") {
            QCOMPARE(player.gainDb(), CVoiceMeasure::MAX_GAIN_DB);
            QVERIFY(std::abs(heard.loudnessLufs - (f->loudnessLufs + 20)) <= 1.0);
        } else {
            QVERIFY(player.gainDb() < CVoiceMeasure::TARGET_LUFS - f->loudnessLufs - 1);
            QVERIFY2(heard.peakDbfs < 0 && heard.peakDbfs > -1, qPrintable(QString::number(heard.peakDbfs)));
        }
        // Not one sample held at full scale, as clipping would leave it.
        QVERIFY(std::none_of(out.heard.begin(), out.heard.end(), [](int16_t v) { return v == 32767 || v == -32768; }));
        player.setLevelling(false);
        QCOMPARE(player.gainDb(), 0.0);
    }

    // The cache beside the messages: no message count or list takes it for a message, it is written whole (no
    // temporary file left), and a figure counts only while the file is as it was measured.
    void measureCacheFollowsTheFiles_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("stillValid");
        QTest::newRow("untouched") << "" << true;
        QTest::newRow("played mark written (time changed)") << "time" << false;
        QTest::newRow("voice data cut (size changed)") << "size" << false;
        QTest::newRow("cache garbled") << "garble" << false;
        QTest::newRow("cache removed") << "remove" << false;
    }
    void measureCacheFollowsTheFiles() {
        QFETCH(QString, change);
        QFETCH(bool, stillValid);
        writeMessage(voice(), CSampleEncoder::encode(speech(3, 1.0)));
        {
            CVoiceMeasureCache cache(m_dir.path());
            cache.load();
            QVERIFY(cache.obtain(voice()));
            cache.setResumeFrame(voice(), 150);
            QCOMPARE(cache.save(), CVoiceMeasureCache::SaveResult::Written);
            QCOMPARE(cache.save(), CVoiceMeasureCache::SaveResult::Unchanged);
        }
        const QString file = CVoiceMeasureCache::pathIn(m_dir.path());
        QVERIFY(QFile::exists(file));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
        QCOMPARE(CFileMng::CountMessages(m_dir.path()), 1);
        QCOMPARE(CFileMng::ListBox(m_dir.path()).messages.size(), size_t(1));
        if (change == "time") {
            QFile f(voice());
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
        } else if (change == "size") {
            QVERIFY(QFile::resize(voice(), QFileInfo(voice()).size() - 10));
        } else if (change == "garble") {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("# kelda voice measurements 1\n" + QFileInfo(voice()).fileName().toUtf8() + "\tgarbage\n");
        } else if (change == "remove") {
            QVERIFY(QFile::remove(file));
        }
        CVoiceMeasureCache again(m_dir.path());
        again.load();
        QCOMPARE(bool(again.valid(voice())), stillValid);
        QCOMPARE(again.resumeFrame(voice()), stillValid ? 150 : 0);
        // Whatever happened, it is measured again when asked for.
        QVERIFY(again.obtain(voice()));
        QVERIFY(again.valid(voice()));
    }

    // The background measuring: bounded steps, every file measured once and kept; a file whose figures hold is
    // told from the cache, and a resume position the player wrote meanwhile survives the run's save.
    void measureRunTakesSmallSteps() {
        const QStringList files{path("2026120109300001_01_100001.vmdat"), path("2026120109310001_01_100002.vmdat"),
                                path("2026120109320001_01_100003.vmdat")};
        for (const QString& f : files) {
            writeMessage(f, CSampleEncoder::encode(speech(6, 1.0)));
        }
        CMeasureRun run;
        run.setManual(true);
        QStringList measured;
        connect(&run, &CMeasureRun::measured, this, [&](const QString& p, const CVoiceMeasure::Figures& f) {
            measured << p + ":" + QString::number(f.totalMs);
        });
        run.start(files);
        {
            CVoiceMeasureCache player(m_dir.path());
            player.setResumeFrame(files[0], 300);
            QCOMPARE(player.save(), CVoiceMeasureCache::SaveResult::Written);
        }
        int steps = 0;
        while (run.step()) {
            ++steps;
        }
        // 600 frames each, CMeasureRun::STEP_FRAMES a step.
        QVERIFY2(steps >= 3 * 600 / CMeasureRun::STEP_FRAMES - 1, qPrintable(QString::number(steps)));
        QCOMPARE(measured.size(), 3);
        QVERIFY(measured[0].endsWith(":6000"));
        CVoiceMeasureCache cache(m_dir.path());
        cache.load();
        for (const QString& f : files) {
            QVERIFY(cache.valid(f));
        }
        QCOMPARE(cache.resumeFrame(files[0]), 300);
        // Again: the figures come from the cache, all in one step.
        const QStringList first = measured;
        measured.clear();
        run.start(files);
        QVERIFY(!run.step());
        QCOMPARE(measured, first);
        // A message deleted since loses its line with the next write.
        QVERIFY(QFile::remove(files[2]));
        cache.setResumeFrame(files[1], 250);
        QCOMPARE(cache.save(), CVoiceMeasureCache::SaveResult::Written);
        QVERIFY(!cache.kept(QFileInfo(files[2]).fileName()) && cache.kept(QFileInfo(files[1]).fileName()));
        QVERIFY(!CTestFiles::read(CVoiceMeasureCache::pathIn(m_dir.path()))
                     .contains(QFileInfo(files[2]).fileName().toUtf8()));
    }

    // Two holders of one folder's cache, each with the message's line loaded: the measuring writes its figures
    // and the player the place it stopped, in either order; neither undoes the other.
    void twoHoldersOfOneLine() {
        writeMessage(voice(), CSampleEncoder::encode(speech(4, 1.0)));
        {
            CVoiceMeasureCache first(m_dir.path());
            first.load();
            first.setResumeFrame(voice(), 40);
            QCOMPARE(first.save(), CVoiceMeasureCache::SaveResult::Written);
        }
        CVoiceMeasureCache measuring(m_dir.path());
        measuring.load();
        CVoiceMeasureCache player(m_dir.path());
        player.load();
        player.setResumeFrame(voice(), 220);
        QCOMPARE(player.save(), CVoiceMeasureCache::SaveResult::Written);
        QVERIFY(measuring.measure(voice()));
        QCOMPARE(measuring.save(), CVoiceMeasureCache::SaveResult::Written);
        CVoiceMeasureCache after(m_dir.path());
        after.load();
        QCOMPARE(after.resumeFrame(voice()), 220);
        QVERIFY(after.valid(voice()));
        // The player, holding the line from before the figures, keeps them when it writes its place again.
        player.setResumeFrame(voice(), 260);
        QCOMPARE(player.save(), CVoiceMeasureCache::SaveResult::Written);
        after.load();
        QCOMPARE(after.resumeFrame(voice()), 260);
        QVERIFY(after.valid(voice()));
    }

    // Where a message left part-way resumes.
    void resumePoint_data() {
        QTest::addColumn<int>("leftAt");
        QTest::addColumn<int>("resumeAt");
        QTest::newRow("in the first 2 s") << 150 << 0;
        QTest::newRow("half way") << 500 << 300;
        QTest::newRow("at the end") << 1000 << 0;
    }
    void resumePoint() {
        QFETCH(int, leftAt);
        QFETCH(int, resumeAt);
        QCOMPARE(CVoicePlayer::resumeFrameFor(leftAt, 1000), resumeAt);
    }
};

QTEST_GUILESS_MAIN(TstConvert)
#include "tst_convert.moc"
