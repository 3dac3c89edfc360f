// The conversion of one voice-data file into a WAV file: file handling, header, progress, cancel, known answers.
#include "CSampleUnit.h"
#include "platform/CCancelFlag.h"
#include "platform/CProgressDlg.h"
#include "store/CFileMng.h"
#include "support/CScriptedUi.h"
#include "support/CTestFiles.h"
#include "voice/CG729Decoder.h"

extern "C" {
#include <bcg729/decoder.h>
}

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

// Records what is posted to it, as the conversion or download dialog would receive it.
class SpyDlg : public CProgressDlg {
public:
    SpyDlg(CUserInterface& ui, const QString& title) : CProgressDlg(ui, look(title)) {}
    void post(int msg, long long wParam, long long) override { posts.append({msg, wParam}); }
    QList<QPair<int, long long>> posts;
    QList<long long> values(int msg) const {
        QList<long long> v;
        for (const auto& p : posts) {
            if (p.first == msg) {
                v << p.second;
            }
        }
        return v;
    }

private:
    static ProgressSpec look(const QString& title) {
        ProgressSpec s;
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

} // namespace

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
        QCOMPARE(CFileMng::ConvertToWav(voice(), &ui), 0);
        QVERIFY(leftovers().isEmpty());
        QVERIFY(spy.posts.isEmpty());
        QCOMPARE(CFileMng::ConvertToWav(path("absent.vmdat"), &ui), 0);
        QVERIFY(leftovers().isEmpty());
    }

    void headerOnlyGivesEmptyWav() {
        CScriptedUi ui;
        SpyDlg spy(ui, QStringLiteral("変換中"));
        writeVoiceFile(voice(), QByteArray());
        QCOMPARE(CFileMng::ConvertToWav(voice(), &ui), 1);
        const QByteArray wav = CTestFiles::read(path(QFileInfo(voice()).completeBaseName() + ".wav"));
        QCOMPARE(wav.size(), 44);
        QCOMPARE(le32(wav, 4), 36u);
        QCOMPARE(le32(wav, 40), 0u);
        QCOMPARE(spy.values(PRG_FRAMETOTAL), QList<long long>{0});
        QVERIFY(spy.values(PRG_POSITION).isEmpty());
        QCOMPARE(leftovers(), QStringList{QFileInfo(voice()).completeBaseName() + ".wav"});
    }

    void partFrameIsIgnoredAndProgressCountsFrames() {
        CScriptedUi ui;
        SpyDlg spy(ui, QStringLiteral("変換中"));
        writeVoiceFile(voice(), CSampleUnit::voiceFrames(3, 3).left(25));
        QCOMPARE(CFileMng::ConvertToWav(voice(), &ui), 1);
        const QByteArray wav = CTestFiles::read(path(QFileInfo(voice()).completeBaseName() + ".wav"));
        QCOMPARE(wav.size(), 44 + 320);
        QCOMPARE(le32(wav, 4), 356u);
        QCOMPARE(le32(wav, 40), 320u);
        QCOMPARE(spy.values(PRG_FRAMETOTAL), QList<long long>{2});
        QCOMPARE(spy.values(PRG_POSITION), (QList<long long>{1, 2}));
        // One pending event is dispatched per frame, so the window stays alive during long files.
        QCOMPARE(ui.dispatchCalls, 2);
    }

    void hundredFramesGiveFinalHeader() {
        CScriptedUi ui;
        writeVoiceFile(voice(), CSampleUnit::voiceFrames(5, 100));
        QCOMPARE(CFileMng::ConvertToWav(voice(), &ui), 1);
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
        QCOMPARE(CFileMng::ConvertToWav(voice(), nullptr), 1);
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
        QCOMPARE(CFileMng::ConvertToWav(voice(), nullptr), 1);
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
        QCOMPARE(CFileMng::ConvertToWav(voice(), &ui), 0);
        QVERIFY(!wavNamedEarly);
        QVERIFY(leftovers().isEmpty());
        QVERIFY(QDir(m_dir.path()).entryList({"*.part"}, QDir::Files).isEmpty());
        QCOMPARE(CTestFiles::read(voice()), before);
        // The decoder stops after the frame in hand; the download dialog followed it in the absence of "変換中".
        QCOMPARE(spy.values(PRG_FRAMETOTAL), QList<long long>{60});
        QCOMPARE(spy.values(PRG_POSITION).size(), 7);
        QCOMPARE(CCancelFlag::value(), 1);

        // The next conversion clears the flag itself.
        ui.onDispatch = nullptr;
        QCOMPARE(CFileMng::ConvertToWav(voice(), &ui), 1);
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
        QCOMPARE(CFileMng::ConvertToWav(voice(), nullptr), 1);
        QVERIFY(!QFile::exists(tmp));
        const QByteArray first = CTestFiles::read(wav);
        QCOMPARE(first.size(), 44 + 80 * 160);
        // A second run of the same file starts from a fresh decoder and overwrites the WAV identically.
        QCOMPARE(CFileMng::ConvertToWav(voice(), nullptr), 1);
        QCOMPARE(CTestFiles::read(wav), first);
    }

    void pathsOutsideThePlainCodePage() {
        const QString folder = path(QStringLiteral("留守録 ＢＯＸ"));
        QVERIFY(QDir().mkpath(folder));
        const QString file = folder + "/2026120109300001_01_000002.vmdat";
        writeVoiceFile(file, CSampleUnit::voiceFrames(2, 10));
        QCOMPARE(CFileMng::ConvertToWav(file, nullptr), 1);
        QCOMPARE(QFileInfo(folder + "/2026120109300001_01_000002.wav").size(), 44 + 10 * 160);
        QVERIFY(!QFile::exists(folder + "/2026120109300001_01_000002.tmp"));
    }

    void onlyVoiceFilesAreConverted() {
        // Anything but a ".vmdat" would make the staging file the source itself; it is refused untouched.
        const QString info = path("2026120109300001_01_000003.vminf");
        writeVoiceFile(info, CSampleUnit::voiceFrames(2, 5));
        const QByteArray before = CTestFiles::read(info);
        QCOMPARE(CFileMng::ConvertToWav(info, nullptr), 0);
        QCOMPARE(CTestFiles::read(info), before);
        // A folder named like a voice file does not redirect the output.
        const QString odd = path("x.vmdat");
        QVERIFY(QDir().mkpath(odd));
        writeVoiceFile(odd + "/2026120109300001_01_000004.vmdat", CSampleUnit::voiceFrames(2, 5));
        QCOMPARE(CFileMng::ConvertToWav(odd + "/2026120109300001_01_000004.vmdat", nullptr), 1);
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
            QCOMPARE(CFileMng::ConvertToWav(voice(), nullptr), 1);
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
        QCOMPARE(CFileMng::ConvertToWav(file, nullptr), 0);
        QVERIFY(!QFile::exists(folder + "/2026120109300001_01_000005.tmp"));
        QVERIFY(QFileInfo(folder + "/2026120109300001_01_000005.wav").isDir());
    }
};

QTEST_GUILESS_MAIN(TstConvert)
#include "tst_convert.moc"
