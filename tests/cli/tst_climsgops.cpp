// kelda-cli's message operations (delete, move, copy) end to end: exit statuses, the lines on stderr, the files
// on disk and what the simulated unit was sent.
#include "link/CBoxFetch.h"
#include "store/CFileMng.h"
#include "store/CFolderLock.h"
#include "support/CCliRunner.h"
#include "support/CSampleFolder.h"
#include "support/CZunoSimProcess.h"
#include "voice/CG729Decoder.h"

#include "CSampleUnit.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cstddef>
#include <sys/stat.h>

namespace {

using Run = CCliRunner::Result;

CSampleUnit::Message message(const QString& box, int serial) {
    CSampleUnit::Message m;
    m.boxNo = box;
    m.recorded = QDateTime(QDate(2026, 12, 8), QTime(9, serial, 0));
    m.stem = CSampleUnit::makeStem(m.recorded, serial, box, serial);
    m.callerNo = QStringLiteral("0312345678");
    m.frames = 30;
    m.voiceSeed = static_cast<uint64_t>(serial);
    return m;
}

// A message of a box with a short number, named in one of the two forms: the box number padded to four
// characters with "_" (the unit's own form) or running straight on into the serial.
CSampleUnit::Message shortBoxMessage(const QString& box, int serial, bool padded) {
    CSampleUnit::Message m = message(box, serial);
    if (!padded) {
        m.stem = QStringLiteral("2026120809%1_%2_").arg(serial, 6, 10, QChar('0')).arg(box);
        m.stem += QStringLiteral("%1").arg(serial, 26 - m.stem.size(), 10, QChar('0'));
    }
    return m;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Changes bytes of a file in place.
void patch(const QString& path, qint64 at, const QByteArray& bytes) {
    QByteArray all = readAll(path);
    all.replace(at, bytes.size(), bytes);
    writeAll(path, all);
}

// The finding lines of verify's output (the summary line left out), as "kind path".
QStringList findings(const QString& out) {
    QStringList lines;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (!line.startsWith(QLatin1String("verify: "))) {
            lines << line.section(QLatin1Char('\t'), 0, 1).replace(QLatin1Char('\t'), QLatin1Char(' '));
        }
    }
    return lines;
}

} // namespace

class TestCliMsgOps : public QObject {
    Q_OBJECT

    CZunoSimProcess* sim = nullptr;
    QTemporaryDir* local = nullptr;
    QString dl;
    QString passwordFile;
    CSampleUnit::Message a1, a2, e1;

    // killAfterStep: the program kills itself after that step of a move or copy.
    static Run cli(const QStringList& args, int killAfterStep = 0) {
        CCliRunner runner;
        if (killAfterStep > 0) {
            runner.env.insert("KELDA_TEST_KILL_AFTER_STEP", QString::number(killAfterStep));
        }
        return runner.run(args);
    }
    QStringList login() const {
        return {"--unit",          "127.0.0.1",  "--port", QString::number(sim->port()), "--user", "mirta",
                "--password-file", passwordFile, "--yes"};
    }
    QString file(const QString& kindBox, const CSampleUnit::Message& m, const char* ext) const {
        return dl + "/" + kindBox + "/" + m.stem + ext;
    }

private Q_SLOTS:
    void init() {
        sim = new CZunoSimProcess;
        local = new QTemporaryDir;
        dl = local->filePath("folder1");
        QDir().mkpath(dl);
        passwordFile = local->filePath("password");
        QFile f(passwordFile);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("zuno\n");
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        f.close();
        QVERIFY(sim->start());
        a1 = message("0001", 1);
        a2 = message("0001", 2);
        e1 = message("0200", 3);
        for (const auto& [kind, m] : {std::pair{QString("rusuroku"), a1}, {"rusuroku", a2}, {"naisen", e1}}) {
            sim->makeBox(kind, m.boxNo);
            QVERIFY(CSampleUnit::writeMessage(sim->root() + "/" + kind + "/" + m.boxNo, m, false));
        }
        QCOMPARE(cli(QStringList{"folder-download", dl} + login()).code, 0);
        QCOMPARE(cli(QStringList{"download", dl} + login()).code, 0);
        QVERIFY(QFile::exists(file("rusuroku/0001", a1, ".vmdat")));
        sim->clearTranscript();
    }
    void cleanup() {
        delete sim;
        delete local;
    }

    void deleteOnTheUnitKeepsTheVoiceData() {
        Run r = cli(QStringList{"delete", dl, file("rusuroku/0001", a1, ".vmdat"), "--kind", "unit"} + login());
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains("消去の確認: 消去します。よろしいですか？\n対象：1件（ＺＵＮＯのみ） -> yes"),
                 qPrintable(r.err));
        QVERIFY(r.err.endsWith("消去完了: 音声メッセージの消去が正常に完了しました。\n"
                               "消去した音声メッセージ：1件（ＺＵＮＯのみ）\n"));
        QCOMPARE(sim->transcript().filter("DELE"), QStringList{"DELE /rusuroku/0001/" + a1.stem + ".vminf"});
        QVERIFY(!sim->exists("rusuroku/0001/" + a1.stem + ".vminf"));
        FILESTS_INFO rec;
        CFileMng::ReadRecord(file("rusuroku/0001", a1, ".vmdat"), rec);
        QCOMPARE(int(rec.importStatus), 3);

        // Without --yes the question is refused and nothing is sent.
        sim->clearTranscript();
        QStringList noYes = login();
        noYes.removeAll("--yes");
        r = cli(QStringList{"delete", dl, file("rusuroku/0001", a2, ".vmdat"), "--kind", "both"} + noYes);
        QCOMPARE(r.code, 1);
        QVERIFY(sim->transcript().isEmpty());
        QVERIFY(QFile::exists(file("rusuroku/0001", a2, ".vmdat")));

        // On the PC only: no unit needed, every local file goes.
        r = cli({"delete", dl, file("naisen/0200", e1, ".vmdat"), "--kind", "pc", "--yes"});
        QCOMPARE(r.code, 0);
        QVERIFY(!QFile::exists(file("naisen/0200", e1, ".vmdat")));
        QVERIFY(!QFile::exists(file("naisen/0200", e1, ".vminf")));
        QVERIFY(sim->exists("naisen/0200/" + e1.stem + ".vminf"));

        QCOMPARE(cli({"delete", dl, file("rusuroku/0001", a2, ".vmdat"), "--kind", "all", "--yes"}).code, 2);
        QCOMPARE(cli({"delete", dl, "/etc/passwd", "--kind", "pc", "--yes"}).code, 2);
    }

    void deleteOnTheUnitInBoxesWithShortNumbers_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("padded");
        for (const char* kind : {"unit", "both"}) {
            QTest::addRow("%s padded", kind) << kind << true;
            QTest::addRow("%s short", kind) << kind << false;
        }
    }
    void deleteOnTheUnitInBoxesWithShortNumbers() {
        QFETCH(QString, kind);
        QFETCH(bool, padded);
        const CSampleUnit::Message a = shortBoxMessage("02", 11, padded);
        const CSampleUnit::Message e = shortBoxMessage("201", 12, padded);
        QCOMPARE(a.stem.size(), 26);
        for (const auto& [unitKind, m] : {std::pair{QString("rusuroku"), a}, {"naisen", e}}) {
            sim->makeBox(unitKind, m.boxNo);
            QVERIFY(CSampleUnit::writeMessage(sim->root() + "/" + unitKind + "/" + m.boxNo, m, false));
        }
        QCOMPARE(cli(QStringList{"folder-download", dl} + login()).code, 0);
        QCOMPARE(cli(QStringList{"download", dl} + login()).code, 0);
        sim->clearTranscript();
        const Run r = cli(QStringList{"delete", dl, file("rusuroku/02", a, ".vmdat"), file("naisen/201", e, ".vmdat"),
                                      "--kind", kind} +
                          login());
        QVERIFY2(r.err.contains("消去完了: 音声メッセージの消去が正常に完了しました。\n"), qPrintable(r.err));
        QCOMPARE(r.code, 0);
        QCOMPARE(sim->transcript().filter("DELE"),
                 (QStringList{"DELE /rusuroku/02/" + a.stem + ".vminf", "DELE /naisen/201/" + e.stem + ".vminf"}));
        QVERIFY(!sim->exists("rusuroku/02/" + a.stem + ".vminf"));
        QVERIFY(!sim->exists("naisen/201/" + e.stem + ".vminf"));
        QCOMPARE(QFile::exists(file("rusuroku/02", a, ".vmdat")), kind == "unit");
        QCOMPARE(QFile::exists(file("naisen/201", e, ".vmdat")), kind == "unit");
    }

    void deleteOfAProtectedMessageAlone_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("unit") << "unit";
        QTest::newRow("both") << "both";
        QTest::newRow("pc") << "pc";
    }
    void deleteOfAProtectedMessageAlone() {
        QFETCH(QString, kind);
        const QString path = file("rusuroku/0001", a1, ".vmdat");
        FILESTS_INFO rec;
        CFileMng::ReadRecord(path, rec);
        rec.protect = 1;
        QCOMPARE(CFileMng::RewriteRecord(rec, path), CFileMng::WriteResult::Written);
        const QByteArray before = readAll(path);
        const Run r =
            cli(QStringList{"delete", dl, path, "--kind", kind} + (kind == "pc" ? QStringList{"--yes"} : login()));
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.endsWith("エラー: 音声メッセージがありません。\nまたは｢保護｣に設定されています。\n"),
                 qPrintable(r.err));
        QCOMPARE(readAll(path), before);
        QVERIFY(QFile::exists(file("rusuroku/0001", a1, ".vminf")));
        QVERIFY(sim->transcript().filter("DELE").isEmpty());
        QVERIFY(sim->exists("rusuroku/0001/" + a1.stem + ".vminf"));
    }

    void deleteOnTheUnitNamesARecordItCouldNotMark() {
        // The unit takes its time over DELE; meanwhile the voice file's place becomes one that cannot be written.
        sim->setFaults("DELE silence 2");
        const QString path = file("rusuroku/0001", a1, ".vmdat");
        QProcess p;
        CCliRunner runner;
        runner.timeoutMs = 30000;
        runner.start(p,
                     QStringList{"delete", dl, path, file("rusuroku/0001", a2, ".vmdat"), "--kind", "unit"} + login());
        QTRY_VERIFY_WITH_TIMEOUT(!sim->transcript().filter("DELE").isEmpty(), 10000);
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path + "/inside"));
        const Run r = runner.finish(p);
        const QString err = r.err;
        QCOMPARE(r.code, 1);
        QVERIFY2(err.contains("録音情報を更新できませんでした。\n" + path + "\n"), qPrintable(err));
        QVERIFY2(!err.contains("正常に完了しました"), qPrintable(err));
        QCOMPARE(sim->transcript().filter("DELE"), (QStringList{"DELE /rusuroku/0001/" + a1.stem + ".vminf",
                                                                "DELE /rusuroku/0001/" + a2.stem + ".vminf"}));
        FILESTS_INFO rec;
        CFileMng::ReadRecord(file("rusuroku/0001", a2, ".vmdat"), rec);
        QCOMPARE(int(rec.importStatus), 3);
    }

    void moveAndCopy() {
        QDir().mkpath(dl + "/rusuroku/0002");
        Run r = cli({"copy", dl, file("rusuroku/0001", a1, ".vmdat"), "--to", "rusuroku/0002", "--yes"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.endsWith("コピー完了: 音声メッセージのコピーが正常に完了しました。\n"
                                "コピーした音声メッセージ：1件（留守録BOX0002へ）\n"),
                 qPrintable(r.err));
        QCOMPARE(readAll(file("rusuroku/0002", a1, ".vmdat")), readAll(file("rusuroku/0001", a1, ".vmdat")));

        // A second copy meets its own files: without --overwrite the question is answered "いいえ(&N)".
        QFile::remove(file("rusuroku/0002", a1, ".vmdat"));
        QFile stale(file("rusuroku/0002", a1, ".vminf"));
        QVERIFY(stale.open(QIODevice::WriteOnly | QIODevice::Truncate));
        stale.write("stale");
        stale.close();
        r = cli({"copy", dl, file("rusuroku/0001", a1, ".vmdat"), "--to", "rusuroku/0002", "--yes"});
        QVERIFY(r.err.contains("このﾌｫﾙﾀﾞには既に " + a1.stem + ".vminf ﾌｧｲﾙが存在します。 -> いいえ(&N)"));
        QCOMPARE(readAll(file("rusuroku/0002", a1, ".vminf")), QByteArray("stale"));
        // The target lacked the voice data: that message was not there yet, so its voice data is added.
        QCOMPARE(readAll(file("rusuroku/0002", a1, ".vmdat")), readAll(file("rusuroku/0001", a1, ".vmdat")));
        QCOMPARE(r.code, 0);
        r = cli(
            {"move", dl, file("rusuroku/0001", a1, ".vmdat"), "--to", "rusuroku/0002", "--overwrite", "all", "--yes"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.err.contains("移動完了: 音声メッセージの移動が正常に完了しました。\n移動した音声メッセージ：1件"));
        QVERIFY(!QFile::exists(file("rusuroku/0001", a1, ".vmdat")));
        QVERIFY(!QFile::exists(file("rusuroku/0001", a1, ".vminf")));
        QCOMPARE(readAll(file("rusuroku/0002", a1, ".vminf")).size(), 990 + 256);

        QCOMPARE(cli({"move", dl, file("rusuroku/0001", a2, ".vmdat"), "--to", "rusuroku/9999", "--yes"}).code, 2);
        QCOMPARE(cli({"copy", dl, file("rusuroku/0001", a2, ".vmdat"), "--to", "naisen/0200", "--overwrite", "some",
                      "--yes"})
                     .code,
                 2);
        QVERIFY(sim->transcript().isEmpty());
    }

    // Two downloads into one download folder at once (the nightly run and a person, say): the second waits for the
    // first or stops with a message, and every message arrives whole, fetched once.
    void twoDownloadsIntoOneFolder_data() {
        QTest::addColumn<QStringList>("secondOptions");
        QTest::addColumn<bool>("waits");
        QTest::newRow("the second stops") << QStringList{} << false;
        QTest::newRow("the second waits") << QStringList{"--wait", "30"} << true;
    }
    void twoDownloadsIntoOneFolder() {
        QFETCH(QStringList, secondOptions);
        QFETCH(bool, waits);
        sim->makeBox("rusuroku", "0003");
        QStringList unitFiles;
        for (int i = 10; i < 22; ++i) {
            const CSampleUnit::Message m = message("0003", i);
            QVERIFY(CSampleUnit::writeMessage(sim->root() + "/rusuroku/0003", m, false));
        }
        QDirIterator it(sim->root(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            unitFiles << QDir(sim->root()).relativeFilePath(it.next());
        }
        const QString dl2 = local->filePath("folder2");
        QCOMPARE(cli(QStringList{"folder-download", dl2} + login()).code, 0);
        // Each run's first transfer pauses, so that the runs overlap.
        sim->setFaults("times=1 RETR stall-data 100 2\n");
        sim->clearTranscript();
        const CCliRunner runner;
        QProcess first;
        runner.start(first, QStringList{"download", dl2} + login());
        QElapsedTimer started;
        started.start();
        bool receiving = false;
        while (!receiving && started.elapsed() < 20000) {
            QDirIterator r(dl2, {".kelda-receiving*"}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            receiving = r.hasNext();
            QTest::qWait(20);
        }
        QVERIFY(receiving);
        QProcess second;
        runner.start(second, QStringList{"download", dl2} + login() + secondOptions);
        const Run r2 = runner.finish(second);
        const Run r1 = runner.finish(first);
        QCOMPARE(r1.code, 0);
        if (waits) {
            QCOMPARE(r2.code, 0);
            QVERIFY2(r2.err.endsWith("ダウンロード完了: ファイルのダウンロードが正常に完了しました。\n") ||
                         r2.err.contains("音声メッセージがありません。"),
                     qPrintable(r2.err));
        } else {
            QCOMPARE(r2.code, 1);
            QVERIFY2(r2.err.contains("エラー: このフォルダは他の処理で使用中です。"), qPrintable(r2.err));
        }
        // Every file came once, whole, with its record.
        QCOMPARE(sim->transcript().filter("RETR").size(), unitFiles.size());
        for (const QString& f : unitFiles) {
            const QByteArray local = readAll(dl2 + "/" + f);
            QCOMPARE(local.size(), 990 + sim->readFile(f).size());
            QCOMPARE(local.mid(990), sim->readFile(f));
        }
        QDirIterator left(dl2, {".kelda-receiving*"}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        QVERIFY(!left.hasNext());
    }

    // kelda-cli killed after each step of one message's move or copy (note written, each file, note removed): the
    // next command on the folder leaves the message whole in one box folder.
    void aKilledMoveOrCopyIsFinishedByTheNextCommand_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("next");
        QTest::addColumn<int>("nextCode");
        for (int step = 1; step <= 6; ++step) {
            QTest::addRow("move, killed after step %d, then list", step) << "move" << step << "list" << 0;
        }
        QTest::newRow("move, killed after the information file, then a move") << "move" << 3 << "move" << 0;
        QTest::newRow("move, killed after the voice data, then a download") << "move" << 4 << "download" << 0;
        QTest::newRow("copy, killed before its note, then list") << "copy" << 1 << "list" << 0;
        QTest::newRow("copy, killed after the information file, then list") << "copy" << 3 << "list" << 0;
        QTest::newRow("copy, killed after the WAV file, then list") << "copy" << 5 << "list" << 0;
        // The copy itself was finished before this run looked: nothing was left for it to copy.
        QTest::newRow("copy, killed, then copy again") << "copy" << 3 << "copy" << 1;
        // A target left by a program that wrote no note: the lone information file is the source's.
        QTest::newRow("copy, killed, note lost, then copy again") << "copy" << 3 << "copy-without-note" << 0;
    }
    void aKilledMoveOrCopyIsFinishedByTheNextCommand() {
        QFETCH(QString, command);
        QFETCH(int, step);
        QFETCH(QString, next);
        QFETCH(int, nextCode);
        QDir().mkpath(dl + "/rusuroku/0002");
        {
            QFile wav(file("rusuroku/0001", a1, ".wav"));
            QVERIFY(wav.open(QIODevice::WriteOnly));
            wav.write("RIFF and the rest of a WAV file");
        }
        const QList<const char*> exts{".vminf", ".vmdat", ".wav"};
        QMap<QString, QByteArray> original;
        for (const char* ext : exts) {
            original[ext] = readAll(file("rusuroku/0001", a1, ext));
        }
        const QStringList args{command, dl, file("rusuroku/0001", a1, ".vmdat"), "--to", "rusuroku/0002", "--yes"};
        QCOMPARE(cli(args, step).code, -1);

        Run r;
        if (next == "list") {
            r = cli({"list", dl});
            // A moved message is one row, not one in each box; a copied one is in both once it has arrived.
            QCOMPARE(r.out.count(a1.stem), command == "copy" && step >= 2 ? 2 : 1);
        } else if (next == "move") {
            r = cli({"move", dl, file("rusuroku/0001", a2, ".vmdat"), "--to", "rusuroku/0002", "--yes"});
        } else if (next == "download") {
            // Deleted on the unit meanwhile, so the download brings nothing back into the box it left.
            for (const char* ext : {".vminf", ".vmdat"}) {
                QVERIFY(QFile::remove(sim->root() + "/rusuroku/0001/" + a1.stem + ext));
            }
            r = cli(QStringList{"download", dl} + login());
        } else {
            if (next == "copy-without-note") {
                QVERIFY(QFile::remove(dl + "/.kelda-moving.ini"));
            }
            r = cli(args + QStringList{"--overwrite", "none"});
        }
        QVERIFY2(r.code == nextCode, qPrintable(r.err));

        const bool arrived = step >= 2;
        for (const char* ext : exts) {
            QCOMPARE(readAll(file(arrived ? "rusuroku/0002" : "rusuroku/0001", a1, ext)), original[ext]);
            if (command == "move") {
                QVERIFY(!QFile::exists(file(arrived ? "rusuroku/0001" : "rusuroku/0002", a1, ext)));
            } else {
                QCOMPARE(readAll(file("rusuroku/0001", a1, ext)), original[ext]);
                QCOMPARE(QFile::exists(file("rusuroku/0002", a1, ext)), arrived);
            }
        }
        QCOMPARE(QDir(dl).entryList({".kelda-moving*"}, QDir::Files | QDir::Hidden), QStringList{});
    }

    void verifyReportsEachFaultOnce_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("path"); // below the download folder; A1 and A2 stand for the stems
        QTest::newRow("status byte out of range") << "flag"
                                                  << "record"
                                                  << "rusuroku/0001/A1.vmdat";
        QTest::newRow("text field without its end") << "title"
                                                    << "record"
                                                    << "rusuroku/0001/A1.vmdat";
        QTest::newRow("date text of another form") << "date"
                                                   << "record"
                                                   << "rusuroku/0001/A1.vminf";
        QTest::newRow("voice data not whole frames") << "cut"
                                                     << "cut"
                                                     << "rusuroku/0001/A1.vmdat";
        QTest::newRow("information file without its header") << "cut-info"
                                                             << "cut"
                                                             << "rusuroku/0001/A1.vminf";
        QTest::newRow("played state against the header") << "played"
                                                         << "header"
                                                         << "rusuroku/0001/A1.vmdat";
        QTest::newRow("information file of another message") << "pair"
                                                             << "pair"
                                                             << "rusuroku/0001/A1.vmdat";
        QTest::newRow("WAV cut short") << "wav-cut"
                                       << "wav-incomplete"
                                       << "rusuroku/0001/A1.wav";
        QTest::newRow("WAV of another version") << "wav-longer"
                                                << "wav-mismatch"
                                                << "rusuroku/0001/A1.wav";
        QTest::newRow("inf.ini missing") << "no-ini"
                                         << "inf-ini"
                                         << "naisen/0200/inf.ini";
        QTest::newRow("inf.ini no file") << "fifo-ini"
                                         << "inf-ini"
                                         << "naisen/0200/inf.ini";
        QTest::newRow("box folder name too long") << "box-name"
                                                  << "box-name"
                                                  << "rusuroku/00001";
        QTest::newRow("stray file") << "notes"
                                    << "stray"
                                    << "rusuroku/0001/notes.txt";
        QTest::newRow("message name not of the unit's form") << "short-name"
                                                             << "stray"
                                                             << "rusuroku/0001/x.vmdat";
        QTest::newRow("interrupted download") << "receiving"
                                              << "leftover"
                                              << "rusuroku/0001/.kelda-receiving.ini";
        QTest::newRow("interrupted conversion") << "wav-part"
                                                << "leftover"
                                                << "rusuroku/0001/A1.wav.part";
        QTest::newRow("conversion staging file") << "staging"
                                                 << "leftover"
                                                 << "rusuroku/0001/A1.tmp";
        QTest::newRow("voice file that is no file") << "fifo-voice"
                                                    << "unreadable"
                                                    << "rusuroku/0001/A1.vmdat";
    }
    void verifyReportsEachFaultOnce() {
        QFETCH(QString, fault);
        QFETCH(QString, kind);
        QFETCH(QString, path);
        const QString voice = file("rusuroku/0001", a1, ".vmdat");
        const QString info = file("rusuroku/0001", a1, ".vminf");
        const QString wav = file("rusuroku/0001", a1, ".wav");
        // A sound folder first: downloaded from the unit, with a WAV file converted from its voice data, and the
        // measurements of its voice data kept beside it (no finding of their own).
        QCOMPARE(CFileMng::ConvertToWav(voice, nullptr, nullptr), true);
        QCOMPARE(cli({"info", voice}).code, 0);
        QVERIFY(QFile::exists(dl + "/rusuroku/0001/kelda-voice.ini"));
        Run r = cli({"verify", dl});
        QCOMPARE(r.out, QString("verify: 2 box folders, 3 messages: nothing wrong\n"));
        QCOMPARE(r.code, 0);

        if (fault == "flag") {
            patch(voice, 0, QByteArray(1, 7));
        } else if (fault == "title") {
            patch(voice, offsetof(FILESTS_INFO, title), QByteArray(82, 'a'));
        } else if (fault == "date") {
            patch(info, offsetof(FILESTS_INFO, recDateTime), QByteArray("2\0000\0002\0006\0-\0", 10));
        } else if (fault == "cut") {
            writeAll(voice, readAll(voice).chopped(3));
        } else if (fault == "cut-info") {
            writeAll(info, readAll(info).left(1000));
        } else if (fault == "played") {
            FILESTS_INFO rec;
            CFileMng::ReadRecord(voice, rec);
            patch(voice, 2, QByteArray(1, char(rec.importStatus == 1 ? 2 : 1)));
        } else if (fault == "pair") {
            writeAll(info, readAll(file("rusuroku/0001", a2, ".vminf")));
        } else if (fault == "wav-cut") {
            writeAll(wav, readAll(wav).chopped(100));
        } else if (fault == "wav-longer") {
            QByteArray longer = readAll(wav) + QByteArray(160, '\0');
            uint8_t h[CG729Decoder::WAV_HEADER_BYTES];
            CG729Decoder::makeWavHeader(h, quint32(longer.size() - 44), quint32(longer.size() - 8));
            longer.replace(0, 44, QByteArray(reinterpret_cast<const char*>(h), 44));
            writeAll(wav, longer);
        } else if (fault == "no-ini") {
            QVERIFY(QFile::remove(dl + "/naisen/0200/inf.ini"));
        } else if (fault == "fifo-ini") {
            QVERIFY(QFile::remove(dl + "/naisen/0200/inf.ini"));
            QCOMPARE(::mkfifo(QFile::encodeName(dl + "/naisen/0200/inf.ini").constData(), 0600), 0);
        } else if (fault == "box-name") {
            QVERIFY(QDir().mkpath(dl + "/rusuroku/00001"));
            CFileMng::SetBoxName(dl + "/rusuroku/00001", "");
        } else if (fault == "notes") {
            writeAll(dl + "/rusuroku/0001/notes.txt", "notes");
        } else if (fault == "short-name") {
            QVERIFY(QFile::copy(voice, dl + "/rusuroku/0001/x.vmdat"));
        } else if (fault == "receiving") {
            writeAll(dl + "/rusuroku/0001/.kelda-receiving.ini", QByteArray(990, '\0'));
        } else if (fault == "wav-part") {
            writeAll(wav + ".part", "RIFF");
        } else if (fault == "staging") {
            writeAll(file("rusuroku/0001", a1, ".tmp"), "frames");
        } else if (fault == "fifo-voice") {
            QVERIFY(QFile::remove(voice));
            QVERIFY(QFile::remove(wav));
            QCOMPARE(::mkfifo(QFile::encodeName(voice).constData(), 0600), 0);
        }
        r = cli({"verify", dl});
        const QString where = dl + "/" + QString(path).replace("A1", a1.stem).replace("A2", a2.stem);
        QCOMPARE(findings(r.out), QStringList{kind + " " + where});
        QVERIFY2(r.out.endsWith(QString(": 1 findings (%1 1)\n").arg(kind)), qPrintable(r.out));
        QCOMPARE(r.code, 1);
        // The same as CSV for a spreadsheet, the summary on stderr.
        r = cli({"verify", dl, "--csv"});
        QCOMPARE(r.out.count('\n'), 2);
        QVERIFY(r.out.startsWith("kind,path,problem,advice\n" + kind + ",\"" + where + "\","));
        QVERIFY(r.err.contains("1 findings"));
        QCOMPARE(r.code, 1);
    }

    void verifyFindsNothingInSoundSampleFolders() {
        const QString made = CSampleFolder::makeDownloadFolder(local->path(), "made", {"01", "0002"}, {"100"}, 6);
        Run r = cli({"verify", made});
        QCOMPARE(r.out, QString("verify: 3 box folders, 18 messages: nothing wrong\n"));
        QCOMPARE(r.code, 0);
        CSampleUnit::Options o;
        o.local = true;
        o.messages = 30;
        QVERIFY(!CSampleUnit::writeTree(local->filePath("sample"), o).isEmpty());
        r = cli({"verify", local->filePath("sample")});
        QVERIFY2(r.out.endsWith("30 messages: nothing wrong\n") && findings(r.out).isEmpty(), qPrintable(r.out));
        QCOMPARE(r.code, 0);
        QCOMPARE(cli({"verify", local->filePath("sample/rusuroku")}).code, 2);
        QCOMPARE(cli({"verify", made, "--user", "mirta"}).code, 2);
    }

    void verifyAgainstTheUnitAndRepair() {
        // On the unit a message the PC never got; on the PC a message without its voice data, one shorter than the
        // unit's by whole frames, one cut within a frame with a WAV of another version, and a leftover.
        const CSampleUnit::Message a3 = message("0001", 4);
        QVERIFY(CSampleUnit::writeMessage(sim->root() + "/rusuroku/0001", a3, false));
        QVERIFY(QFile::remove(file("rusuroku/0001", a2, ".vmdat")));
        writeAll(file("naisen/0200", e1, ".vmdat"), readAll(file("naisen/0200", e1, ".vmdat")).chopped(20));
        QCOMPARE(CFileMng::ConvertToWav(file("naisen/0200", e1, ".vmdat"), nullptr, nullptr), true);
        writeAll(file("rusuroku/0001", a1, ".vmdat"), readAll(file("rusuroku/0001", a1, ".vmdat")).chopped(7));
        // Played on the unit since it was downloaded: the voice file fetched again says so in its record.
        CSampleUnit::Message played = a1;
        played.playedOnUnit = true;
        QVERIFY(CSampleUnit::writeMessage(sim->root() + "/rusuroku/0001", played, false));
        writeAll(dl + "/naisen/0200/.kelda-receiving.ini", "half");

        Run r = cli(QStringList{"verify", dl} + login());
        QCOMPARE(findings(r.out), (QStringList{"cut " + file("rusuroku/0001", a1, ".vmdat"),
                                               "leftover " + dl + "/naisen/0200/.kelda-receiving.ini",
                                               "info-only " + file("rusuroku/0001", a2, ".vminf"),
                                               "not-on-pc " + file("rusuroku/0001", a3, ".vmdat"),
                                               "shorter " + file("naisen/0200", e1, ".vmdat")}));
        QCOMPARE(r.code, 1);
        // Listing only: nothing fetched, nothing deleted.
        QVERIFY(sim->transcript().filter(QRegularExpression("^(RETR|DELE)")).isEmpty());

        r = cli(QStringList{"verify", dl, "--repair"} + login());
        QVERIFY2(r.out.contains("repaired\t" + file("rusuroku/0001", a3, ".vmdat")), qPrintable(r.out));
        QVERIFY2(r.out.endsWith("after the repair 0 findings remain\n"), qPrintable(r.out + r.err));
        QCOMPARE(r.code, 0);
        for (const auto& [kindBox, m] : {std::pair{QString("rusuroku/0001"), a1},
                                         {"rusuroku/0001", a2},
                                         {"rusuroku/0001", a3},
                                         {"naisen/0200", e1}}) {
            QCOMPARE(readAll(file(kindBox, m, ".vmdat")).mid(990), sim->readFile(kindBox + "/" + m.stem + ".vmdat"));
        }
        QVERIFY(!QFile::exists(dl + "/naisen/0200/.kelda-receiving.ini"));
        QVERIFY(QFile::exists(file("rusuroku/0001", a2, ".vminf")));
        FILESTS_INFO rec;
        CFileMng::ReadRecord(file("rusuroku/0001", a1, ".vmdat"), rec);
        QCOMPARE(int(rec.importStatus), 1);
        QVERIFY(sim->transcript().filter("DELE").isEmpty());
        QCOMPARE(cli(QStringList{"verify", dl} + login()).code, 0);
    }

    // A message is on the unit while its recording information is: the unit deletes a message whole, and voice data
    // that another server keeps after the deletion is neither reported missing nor fetched back.
    void verifyLeavesAloneVoiceDataADeletionLeftBehind() {
        QCOMPARE(cli(QStringList{"delete", dl, file("rusuroku/0001", a1, ".vmdat"), "--kind", "unit"} + login()).code,
                 0);
        QVERIFY(!sim->exists("rusuroku/0001/" + a1.stem + ".vminf"));
        QVERIFY(!sim->exists("rusuroku/0001/" + a1.stem + ".vmdat"));
        QVERIFY(QFile::remove(file("rusuroku/0001", a1, ".vmdat")));
        QVERIFY(QFile::remove(file("rusuroku/0001", a1, ".vminf")));
        // What a server that deletes only the named file leaves: the voice data alone.
        const CSampleUnit::Message a3 = message("0001", 4);
        QVERIFY(CSampleUnit::writeMessage(sim->root() + "/rusuroku/0001", a3, false));
        QVERIFY(QFile::remove(sim->root() + "/rusuroku/0001/" + a3.stem + ".vminf"));
        sim->clearTranscript();
        Run r = cli(QStringList{"verify", dl, "--repair"} + login());
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        QCOMPARE(findings(r.out), QStringList{});
        QVERIFY(sim->transcript().filter("RETR").isEmpty());
        QVERIFY(!QFile::exists(file("rusuroku/0001", a3, ".vmdat")));
        QVERIFY(!QFile::exists(file("rusuroku/0001", a1, ".vmdat")));
    }

    void deleteVerifiedFreesOnlyWhatThePcVouchesFor() {
        const QString a1Voice = file("rusuroku/0001", a1, ".vmdat");
        const QByteArray whole = readAll(a1Voice);
        QVERIFY(QFile::remove(file("rusuroku/0001", a2, ".vmdat")));
        for (int cut : {10, 3}) {
            // Shorter than the unit's by whole frames (only the listing tells), then cut within a frame.
            writeAll(a1Voice, whole.chopped(cut));
            sim->clearTranscript();
            Run r = cli(QStringList{"delete", dl, a1Voice, file("rusuroku/0001", a2, ".vminf"),
                                    file("naisen/0200", e1, ".vmdat"), "--kind", "unit", "--verified"} +
                        login());
            QCOMPARE(sim->transcript().filter("DELE"), QStringList{"DELE /naisen/0200/" + e1.stem + ".vminf"});
            QVERIFY2(r.err.contains(a1Voice + " not deleted"), qPrintable(r.err));
            QVERIFY(r.err.contains(file("rusuroku/0001", a2, ".vminf") + " not deleted"));
            QCOMPARE(r.code, 1);
            // e1 is gone on the unit now; put it back for the next round.
            QVERIFY(CSampleUnit::writeMessage(sim->root() + "/naisen/0200", e1, false));
        }
        // Nothing that passes: nothing is sent at all.
        sim->clearTranscript();
        Run r = cli(QStringList{"delete", dl, a1Voice, "--kind", "unit", "--verified"} + login());
        QCOMPARE(r.code, 1);
        QVERIFY(sim->transcript().filter("DELE").isEmpty());
        QCOMPARE(cli(QStringList{"delete", dl, a1Voice, "--kind", "pc", "--verified", "--yes"}).code, 2);
    }

    void verifyRepairWithoutTheUnit_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("action"); // the first word of the action line, empty for none
        QTest::addColumn<bool>("stays");     // the file named by the finding is still there afterwards
        QTest::addColumn<int>("remaining");
        QTest::newRow("WAV cut short is converted again") << "wav-cut"
                                                          << "repaired" << true << 0;
        QTest::newRow("WAV of another version is converted again") << "wav-longer"
                                                                   << "repaired" << true << 0;
        QTest::newRow("leftover of a download is removed") << "receiving"
                                                           << "repaired" << false << 0;
        QTest::newRow("staging file is removed") << "staging"
                                                 << "repaired" << false << 0;
        QTest::newRow("cut voice file needs the unit") << "cut"
                                                       << "not-repaired" << true << 1;
        QTest::newRow("backup of box names is kept") << "inf-tmp"
                                                     << "" << true << 1;
        QTest::newRow("stray file is kept") << "notes"
                                            << "" << true << 1;
        QTest::newRow("a running download's file is no leftover") << "live-receiving"
                                                                  << "" << true << 0;
        QTest::newRow("nothing is mended while another operation holds the folder") << "busy"
                                                                                    << "not-repaired" << true << 1;
    }
    void verifyRepairWithoutTheUnit() {
        QFETCH(QString, fault);
        QFETCH(QString, action);
        QFETCH(bool, stays);
        QFETCH(int, remaining);
        const QString voice = file("rusuroku/0001", a1, ".vmdat");
        const QString wav = file("rusuroku/0001", a1, ".wav");
        QCOMPARE(CFileMng::ConvertToWav(voice, nullptr, nullptr), true);
        const QByteArray goodWav = readAll(wav);
        const QByteArray goodVoice = readAll(voice);
        QString target = wav;
        if (fault == "wav-cut") {
            writeAll(wav, goodWav.chopped(100));
        } else if (fault == "wav-longer") {
            QByteArray longer = goodWav + QByteArray(1600, '\0');
            uint8_t h[CG729Decoder::WAV_HEADER_BYTES];
            CG729Decoder::makeWavHeader(h, quint32(longer.size() - 44), quint32(longer.size() - 8));
            longer.replace(0, 44, QByteArray(reinterpret_cast<const char*>(h), 44));
            writeAll(wav, longer);
        } else if (fault == "receiving") {
            target = dl + "/rusuroku/0001/.kelda-receiving.ini";
            writeAll(target, goodVoice);
        } else if (fault == "staging") {
            target = file("rusuroku/0001", a1, ".tmp");
            writeAll(target, goodVoice.mid(1246));
        } else if (fault == "cut") {
            target = voice;
            writeAll(voice, goodVoice.chopped(3));
        } else if (fault == "inf-tmp") {
            target = dl + "/rusuroku/0001/inf.tmp";
            writeAll(target, "[INF]\nNAME=\"before\"\n");
        } else if (fault == "notes") {
            target = dl + "/rusuroku/0001/notes.txt";
            writeAll(target, "notes");
        } else if (fault == "live-receiving") {
            // Named after this test's own process, which is alive while kelda-cli looks.
            target = dl + "/rusuroku/0001/" + CBoxFetch::receivingName();
            writeAll(target, goodVoice);
        }
        CFolderLock held;
        if (fault == "busy") {
            target = dl + "/rusuroku/0001/.kelda-receiving.ini";
            writeAll(target, goodVoice);
            QCOMPARE(held.acquire(dl, 0), CFolderLock::State::Held);
        }
        // Without --yes the question is refused and nothing changes.
        const QByteArray before = readAll(target);
        Run r;
        if (remaining > 0 || !action.isEmpty()) {
            r = cli({"verify", dl, "--repair"});
            QCOMPARE(r.code, 1);
            QVERIFY(r.err.contains("修復の確認"));
            QCOMPARE(readAll(target), before);
        }

        r = cli({"verify", dl, "--repair", "--yes"});
        const QStringList actions = r.out.split('\n').filter(QRegularExpression("^(repaired|not-repaired)\t"));
        QCOMPARE(actions.size(), action.isEmpty() ? 0 : 1);
        if (!action.isEmpty()) {
            QCOMPARE(actions.first().section('\t', 0, 1), action + "\t" + (fault == "busy" ? dl : target));
        }
        QCOMPARE(QFile::exists(target), stays);
        QVERIFY2(r.out.endsWith(QString("after the repair %1 findings remain\n").arg(remaining)), qPrintable(r.out));
        QCOMPARE(r.code, remaining == 0 ? 0 : 1);
        // Message files are never removed, and a WAV file made again is the one the voice data gives.
        QVERIFY(QFile::exists(file("rusuroku/0001", a1, ".vminf")) && QFile::exists(voice));
        if (target == wav) {
            QCOMPARE(readAll(wav), goodWav);
        }
    }

    // What a person did on the PC stays done: a message moved to another box is not downloaded into its first box
    // again, and one deleted on the PC alone stays on the unit until it is asked for or the unit no longer has it.
    void movesAndPcDeletionsOutliveTheNextDownload() {
        QDir().mkpath(dl + "/rusuroku/0002");
        CFileMng::SetBoxName(dl + "/rusuroku/0002", "");
        QCOMPARE(cli({"move", dl, file("rusuroku/0001", a1, ".vmdat"), "--to", "rusuroku/0002", "--yes"}).code, 0);
        QCOMPARE(cli({"delete", dl, file("rusuroku/0001", a2, ".vmdat"), "--kind", "pc", "--yes"}).code, 0);
        const QString deletions = dl + "/.kelda-deleted-on-pc.txt";
        QVERIFY(readAll(deletions).contains(a2.stem.toUtf8() + '\n'));
        sim->clearTranscript();

        Run r = cli(QStringList{"download", dl, "--info-only"} + login());
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(sim->transcript().filter("RETR").isEmpty());
        r = cli(QStringList{"download", dl} + login());
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(r.err.contains("ＰＣで他のBOXへ移動・コピーしたメッセージ1件と、"), qPrintable(r.err));
        QVERIFY2(r.err.contains("ＰＣのみで消去したメッセージ1件はダウンロードしていません。"), qPrintable(r.err));
        QVERIFY(sim->transcript().filter("RETR").isEmpty());
        for (const char* ext : {".vminf", ".vmdat"}) {
            QVERIFY(!QFile::exists(file("rusuroku/0001", a1, ext)));
            QVERIFY(!QFile::exists(file("rusuroku/0001", a2, ext)));
            QVERIFY(QFile::exists(file("rusuroku/0002", a1, ext)));
        }
        // The check leaves the PC deletion alone as well, and says so.
        r = cli(QStringList{"verify", dl} + login());
        QVERIFY2(findings(r.out).isEmpty(), qPrintable(r.out));
        QVERIFY2(r.out.contains("1 messages deleted on the PC alone are still on the unit"), qPrintable(r.out));
        QCOMPARE(r.code, 0);

        // Asked for, it comes back and is crossed off the list.
        r = cli(QStringList{"download", dl, "--include-deleted"} + login());
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(readAll(file("rusuroku/0001", a2, ".vmdat")).mid(990),
                 sim->readFile("rusuroku/0001/" + a2.stem + ".vmdat"));
        QVERIFY(!QFile::exists(deletions));
        QVERIFY(!QFile::exists(file("rusuroku/0001", a1, ".vmdat")));

        // Deleted on the PC again, then gone from the unit: the next download crosses it off.
        QCOMPARE(cli({"delete", dl, file("rusuroku/0001", a2, ".vmdat"), "--kind", "pc", "--yes"}).code, 0);
        QVERIFY(QFile::exists(deletions));
        for (const char* ext : {".vminf", ".vmdat"}) {
            QVERIFY(QFile::remove(sim->root() + "/rusuroku/0001/" + a2.stem + ext));
        }
        QCOMPARE(cli(QStringList{"download", dl} + login()).code, 0);
        QVERIFY(!QFile::exists(deletions));
    }

    void verifyAgainstTheUnitFindsMovedMessagesAndNewBoxes() {
        // A message moved to another box on the PC is still the PC's; a box the PC has no folder for is named,
        // with what to run, and cannot be mended by fetching voice data.
        QDir().mkpath(dl + "/rusuroku/0002");
        CFileMng::SetBoxName(dl + "/rusuroku/0002", "");
        QCOMPARE(cli({"move", dl, file("rusuroku/0001", a1, ".vmdat"), "--to", "rusuroku/0002", "--yes"}).code, 0);
        const CSampleUnit::Message n1 = message("0003", 5);
        sim->makeBox("rusuroku", "0003");
        QVERIFY(CSampleUnit::writeMessage(sim->root() + "/rusuroku/0003", n1, false));
        Run r = cli(QStringList{"verify", dl} + login());
        QCOMPARE(findings(r.out), QStringList{"not-on-pc " + file("rusuroku/0003", n1, ".vmdat")});
        QVERIFY(r.out.contains("folder-download"));
        QCOMPARE(r.code, 1);
        r = cli(QStringList{"verify", dl, "--repair"} + login());
        QVERIFY2(r.out.contains("not-repaired\t" + file("rusuroku/0003", n1, ".vmdat")), qPrintable(r.out));
        QCOMPARE(r.code, 1);
        QVERIFY(sim->transcript().filter(QRegularExpression("^(RETR|DELE)")).isEmpty());

        // A listing the unit breaks off, or no unit at all: the PC's own findings are still written, and the run
        // says what is missing.
        writeAll(dl + "/rusuroku/0001/notes.txt", "notes");
        const QStringList local{"stray " + dl + "/rusuroku/0001/notes.txt"};
        sim->setFaults("NLST arg=-l abort-data 10");
        r = cli(QStringList{"verify", dl, "--repair"} + login());
        QVERIFY2(findings(r.out) == local, qPrintable(r.out + r.err));
        QVERIFY2(r.out.contains("not compared with the unit"), qPrintable(r.out));
        QVERIFY2(r.err.contains("listings could not be read; the findings above are those of the PC alone, and "
                                "nothing was repaired"),
                 qPrintable(r.err));
        QCOMPARE(r.code, 1);
        QVERIFY(QFile::exists(dl + "/rusuroku/0001/notes.txt"));
        const QStringList toNoUnit = login();
        sim->stop();
        r = cli(QStringList{"verify", dl} + toNoUnit);
        QVERIFY2(findings(r.out) == local, qPrintable(r.out + r.err));
        QCOMPARE(r.code, 3);
    }
};

QTEST_GUILESS_MAIN(TestCliMsgOps)
#include "tst_climsgops.moc"
