// The conversion of one voice-data file into a WAV file: file handling, header, progress, cancel, known answers;
// and the in-memory player that decodes the same frames: samples, speed, seek, pause and the played mark.
#include "CSampleEncoder.h"
#include "CSampleUnit.h"
#include "platform/CCancelFlag.h"
#include "platform/CProgressDlg.h"
#include "store/CFileMng.h"
#include "support/CScriptedUi.h"
#include "support/CTestFiles.h"
#include "voice/CG729Decoder.h"
#include "voice/CVoiceOutput.h"
#include "voice/CVoicePlayer.h"

extern "C" {
#include <bcg729/decoder.h>
}

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
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
    qint64 pending() const override { return 0; }
    void discard() override {}
    void setPaused(bool p) override { paused = p; }
    void stop() override {}
    void setVolume(double) override {}
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
            CG729Decoder::setVerbose(verbose);
            QCOMPARE(CFileMng::ConvertToWav(voice(), nullptr, nullptr), true);
            CG729Decoder::setVerbose(false);
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
};

QTEST_GUILESS_MAIN(TstConvert)
#include "tst_convert.moc"
