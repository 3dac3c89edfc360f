// The sample message generator: what tests, the unit simulator and benchmarks build on must itself be right.
#include "CSampleEncoder.h"
#include "CSampleSpeech.h"
#include "CSampleUnit.h"
#include "store/CFileMng.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

// Every file below root with its content's hash, keyed by relative path.
QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> out;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        QFile f(p);
        f.open(QIODevice::ReadOnly);
        out.insert(QDir(root).relativeFilePath(p), QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1));
    }
    return out;
}

} // namespace

class TstSample : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void speechIsSpeechLike() {
        const std::vector<int16_t> pcm = CSampleSpeech::generate(4, 8000 * 6);
        QCOMPARE(pcm.size(), size_t(8000 * 6));
        // Loud stretches and near-silent pauses, no clipping at full scale.
        int loud = 0, quiet = 0, peak = 0;
        for (size_t at = 0; at + 160 <= pcm.size(); at += 160) {
            double e = 0;
            for (size_t i = at; i < at + 160; ++i) {
                e += double(pcm[i]) * pcm[i];
                peak = std::max(peak, std::abs(int(pcm[i])));
            }
            const double rms = std::sqrt(e / 160);
            loud += rms > 1000 ? 1 : 0;
            quiet += rms < 100 ? 1 : 0;
        }
        QVERIFY(loud > 50);
        QVERIFY(quiet > 20);
        QVERIFY(peak < 32000);
        QCOMPARE(CSampleSpeech::generate(4, 8000 * 6), pcm);
        QVERIFY(CSampleSpeech::generate(5, 8000 * 6) != pcm);
    }

    void framesAreStoredInTheUnitsWordOrder() {
        const std::vector<int16_t> pcm = CSampleSpeech::generate(9, 80 * 50 + 30);
        const QByteArray stored = CSampleEncoder::encode(pcm);
        QCOMPARE(stored.size(), 500); // the trailing 30 samples make no frame
        QCOMPARE(CSampleEncoder::swapWords(CSampleEncoder::swapWords(stored)), stored);
        QCOMPARE(CSampleUnit::voiceFrames(9, 50), CSampleUnit::voiceFrames(9, 50));
    }

    void headerCarriesWhatTheRecordIsBuiltFrom() {
        CSampleUnit::Message m;
        m.boxNo = QStringLiteral("4001");
        m.recorded = QDateTime(QDate(2026, 12, 8), QTime(9, 15, 42));
        m.callerName = QStringLiteral("田中工業（株）");
        m.callerNo = QStringLiteral("03-1234-5678");
        m.playedOnUnit = true;
        m.protectedOnUnit = true;
        m.frames = 36000; // six minutes
        m.stem = CSampleUnit::makeStem(m.recorded, 3, m.boxNo, 77);
        QCOMPARE(m.stem.size(), 26);
        QCOMPARE(m.stem.at(16), QLatin1Char('_'));
        QCOMPARE(CFileMng::BoxNoFromName(m.stem + ".vmdat"), QStringLiteral("4001"));
        QCOMPARE(CFileMng::BoxNoFromName(CSampleUnit::makeStem(m.recorded, 3, "7", 77) + ".vminf"),
                 QStringLiteral("7"));

        const QByteArray h = CSampleUnit::unitHeader(m);
        QCOMPARE(h.size(), 256);
        QCOMPARE(h.mid(32, 29), QByteArray("Tue, 08 Dec 2026 09:15:42 GMT"));
        QCOMPARE(quint8(h[129]), quint8(3));
        QCOMPARE(h.mid(130, 4), QByteArray::fromHex("00000e10"));
        QCOMPARE(h.mid(136, 4), QByteArray("4001"));

        QTemporaryDir dir;
        const QString file = dir.filePath(m.stem + ".vmdat");
        QVERIFY(CSampleUnit::writeLocalVoiceFile(file, m, CSampleUnit::voiceFrames(1, 20)));
        QCOMPARE(QFileInfo(file).size(), qint64(FILESTS_INFO::VOICE_OFFSET + 200));
        FILESTS_INFO rec;
        CFileMng::ReadRecord(file, rec);
        QCOMPARE(FILESTS_INFO::text(rec.recDateTime), QStringLiteral("2026/12/08 09:15"));
        QCOMPARE(FILESTS_INFO::text(rec.recTime), QStringLiteral("00:06:00"));
        QCOMPARE(FILESTS_INFO::text(rec.callerName), m.callerName);
        QCOMPARE(FILESTS_INFO::text(rec.callerNo), m.callerNo);
        QCOMPARE(FILESTS_INFO::text(rec.boxNo), m.boxNo);
        QCOMPARE(rec.importStatus, uint8_t(1));
        QCOMPARE(rec.protect, uint8_t(1));
    }

    void localFolderAsTheListLoadsIt() {
        QTemporaryDir dir;
        CSampleUnit::Options o;
        o.seed = 12;
        o.messages = 12;
        o.answeringBoxes = 2;
        o.extensionBoxes = 2;
        o.seconds = 1;
        o.local = true;
        o.infoOnlyShare = 0.5;
        const QStringList files = CSampleUnit::writeTree(dir.path(), o);
        QVERIFY(!files.isEmpty());
        QVERIFY(CFileMng::IsDownloadFolder(dir.path()));
        int messages = 0, voice = 0;
        for (const CSampleUnit::Message& m : CSampleUnit::plan(o)) {
            ++messages;
            voice += m.infoOnly ? 0 : 1;
        }
        QCOMPARE(messages, 12);
        QVERIFY(voice > 0 && voice < 12);
        QCOMPARE(files.size(), messages + voice);
        int loaded = 0;
        QStringList boxes;
        for (const QString kind : {"rusuroku", "naisen"}) {
            QStringList sub;
            CFileMng::ListSubfolders(dir.filePath(kind), sub);
            boxes << sub;
        }
        QCOMPARE(boxes.size(), 4);
        for (const QString& box : boxes) {
            std::vector<FILESTS_INFO> recs;
            QCOMPARE(CFileMng::LoadRecords(box, recs).unreadable, 0);
            for (const auto& r : recs) {
                QCOMPARE(FILESTS_INFO::text(r.boxNo), QFileInfo(box).fileName());
                const bool isVoice = FILESTS_INFO::text(r.filePath).endsWith(".vmdat");
                QCOMPARE(r.importStatus == 0, !isVoice);
            }
            loaded += static_cast<int>(recs.size());
            QVERIFY(!CFileMng::GetBoxName(box).isEmpty());
        }
        QCOMPARE(loaded, messages);
    }

    void toolIsDeterministic() {
        const QString tool = QStringLiteral(KELDA_BIN_DIR "/kelda-sample-unit");
        if (!QFile::exists(tool)) {
            QSKIP("kelda-sample-unit not built");
        }
        QTemporaryDir a, b, c;
        const QStringList args = {"--messages", "6", "--seed", "3", "--seconds", "2", "--quiet"};
        QCOMPARE(QProcess::execute(tool, QStringList{"--out", a.path()} + args), 0);
        QCOMPARE(QProcess::execute(tool, QStringList{"--out", b.path()} + args), 0);
        QCOMPARE(QProcess::execute(tool, {"--out", c.path(), "--messages", "6", "--seed", "4", "--quiet"}), 0);
        const auto sa = snapshot(a.path());
        QCOMPARE(sa.size(), 12);
        QCOMPARE(snapshot(b.path()), sa);
        QVERIFY(snapshot(c.path()) != sa);
        for (const QString& name : sa.keys()) {
            const QString file = QFileInfo(name).fileName();
            QCOMPARE(file.size(), 32);
            if (file.endsWith(".vmdat")) {
                QCOMPARE(QFileInfo(a.filePath(name)).size(), qint64(256 + 2 * 100 * 10));
            } else {
                QCOMPARE(QFileInfo(a.filePath(name)).size(), qint64(256));
            }
        }
        QCOMPARE(QProcess::execute(tool, {"--file", a.filePath("one.vmdat"), "--frames", "7", "--local", "--quiet"}),
                 0);
        QCOMPARE(QFileInfo(a.filePath("one.vmdat")).size(), qint64(FILESTS_INFO::VOICE_OFFSET + 70));
        QCOMPARE(QProcess::execute(tool, {"--bogus"}), 2);
    }
};

QTEST_GUILESS_MAIN(TstSample)
#include "tst_sample.moc"
