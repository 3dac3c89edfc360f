// kelda-cli end to end against the simulated unit: exit statuses, what is told on stderr and what lands on disk.
#include "cli/CCliCommandTable.h"
#include "platform/CCp932.h"
#include "store/CFileMng.h"
#include "support/CCliRunner.h"
#include "support/CSoundServer.h"
#include "support/CTestFiles.h"
#include "support/CZunoSimProcess.h"
#include "voice/CVoiceMeasure.h"
#include "voice/CVoiceStream.h"

#include "CSampleEncoder.h"
#include "CSampleSpeech.h"
#include "CSampleUnit.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <numeric>
#include <sys/stat.h>
#include <tuple>

namespace {

using Run = CCliRunner::Result;

CSampleUnit::Message message(const QString& box, int serial) {
    CSampleUnit::Message m;
    m.boxNo = box;
    m.recorded = QDateTime(QDate(2026, 12, 8), QTime(9, serial, 0));
    m.stem = CSampleUnit::makeStem(m.recorded, serial, box, serial);
    m.callerName = QStringLiteral("山田");
    m.callerNo = QStringLiteral("0312345678");
    m.frames = 30;
    m.voiceSeed = static_cast<uint64_t>(serial);
    return m;
}

// First and one past the last sample louder than a whisper.
std::pair<qsizetype, qsizetype> soundSpan(const int16_t* s, qsizetype n) {
    qsizetype first = 0;
    while (first < n && std::abs(s[first]) < 200) {
        ++first;
    }
    qsizetype last = n;
    while (last > first && std::abs(s[last - 1]) < 200) {
        --last;
    }
    return {first, last};
}

// The best normalised cross-correlation of the reference against the recording, at lags around the given start.
double bestCorrelation(const std::vector<int16_t>& rec, const int16_t* ref, qsizetype n, qsizetype around) {
    double best = 0;
    for (qsizetype lag = std::max<qsizetype>(0, around - 400); lag <= around + 400; ++lag) {
        if (lag + n > static_cast<qsizetype>(rec.size())) {
            break;
        }
        double xy = 0;
        double xx = 0;
        double yy = 0;
        for (qsizetype i = 0; i < n; ++i) {
            const double x = rec[static_cast<size_t>(lag + i)];
            xy += x * ref[i];
            xx += x * x;
            yy += double(ref[i]) * ref[i];
        }
        if (xx > 0 && yy > 0) {
            best = std::max(best, xy / std::sqrt(xx * yy));
        }
    }
    return best;
}

// What the bash completion shipped with kelda-cli offers for the words typed so far (the last one being
// completed).
QStringList completions(const QStringList& words) {
    QProcess bash;
    bash.start("bash", QStringList{"-c",
                                   "source \"$1\"; shift; COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); _kelda_cli; "
                                   "printf '%s\\n' \"${COMPREPLY[@]}\"",
                                   "bash", KELDA_SOURCE_DIR "/dist/completion/kelda-cli"} +
                           words);
    if (!bash.waitForFinished(10000) || bash.exitCode() != 0) {
        return {"(bash failed)"};
    }
    return QString::fromUtf8(bash.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

// The commands the manual page describes: the first word of each of its subsections.
QStringList manualPageCommands() {
    QStringList names;
    const QString page = QString::fromUtf8(CTestFiles::read(KELDA_SOURCE_DIR "/dist/man/kelda-cli.1"));
    for (const QString& line : page.split('\n')) {
        if (line.startsWith(".SS ")) {
            names << line.mid(4).section(' ', 0, 0).replace("\\-", "-");
        }
    }
    return names;
}

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

    CZunoSimProcess* sim = nullptr;
    QTemporaryDir* local = nullptr;
    QString dl;
    QString passwordFile;
    // Variables the next runs of kelda-cli get on top of this process's environment.
    QHash<QString, QString> extraEnv;

    Run cli(const QStringList& args, const QString& envPassword = QString()) {
        CCliRunner runner;
        runner.env = extraEnv;
        if (!envPassword.isEmpty()) {
            runner.env.insert("KELDA_PASSWORD", envPassword);
        }
        return runner.run(args);
    }
    QStringList unit() const {
        return {"--unit", "127.0.0.1", "--port", QString::number(sim->port()), "--user", "mirta"};
    }
    void unitMessage(const QString& kind, const CSampleUnit::Message& m) {
        sim->makeBox(kind, m.boxNo);
        QVERIFY(CSampleUnit::writeMessage(sim->root() + "/" + kind + "/" + m.boxNo, m, false));
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
    }
    void cleanup() {
        extraEnv.clear();
        delete sim;
        delete local;
    }

    // The nightly backup: box folders, information first, one voice file, the rest with conversion, the list.
    void backupThenList() {
        const auto a1 = message("0001", 1);
        const auto a2 = message("0001", 2);
        const auto e1 = message("0200", 3);
        unitMessage("rusuroku", a1);
        unitMessage("rusuroku", a2);
        unitMessage("naisen", e1);
        const QStringList login = unit() + QStringList{"--password-file", passwordFile, "--yes"};

        Run r = cli(QStringList{"folder-download", dl} + login);
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains("ダウンロード完了: フォルダのダウンロードが正常に完了しました。"), qPrintable(r.err));
        QVERIFY(QFileInfo(dl + "/rusuroku/0001").isDir());
        QVERIFY(QFileInfo(dl + "/naisen/0200").isDir());

        r = cli(QStringList{"download", dl, "--info-only"} + login);
        QCOMPARE(r.code, 0);
        QVERIFY(r.err.contains("ダウンロード確認画面: folder1にダウンロードします。\nよろしいですか？ -> yes"));
        QVERIFY(r.err.endsWith("ダウンロード完了: ファイルのダウンロードが正常に完了しました。\n"));
        QCOMPARE(QDir(dl + "/rusuroku/0001").entryList({"*.vmdat"}).size(), 0);

        r = cli(QStringList{"voice-download", dl, dl + "/rusuroku/0001/" + a1.stem + ".vminf"} + login);
        QCOMPARE(r.code, 0);
        QVERIFY(QFile::exists(dl + "/rusuroku/0001/" + a1.stem + ".vmdat"));
        QVERIFY(!QFile::exists(dl + "/rusuroku/0001/" + a2.stem + ".vmdat"));

        r = cli(QStringList{"download", dl, "--convert", "--box", "rusuroku/0001", "--box", "naisen/0200"} + login);
        QCOMPARE(r.code, 0);
        QVERIFY(QFile::exists(dl + "/rusuroku/0001/" + a2.stem + ".wav"));
        QVERIFY(QFile::exists(dl + "/naisen/0200/" + e1.stem + ".wav"));
        QVERIFY(sim->transcript().contains("QUIT"));

        r = cli({"list", dl, "--csv"});
        QCOMPARE(r.code, 0);
        QVERIFY(!r.bytes.contains('\r'));
        QVERIFY(r.bytes.endsWith('\n'));
        const QStringList lines = CCp932::toUnicode(r.bytes.chopped(1)).split('\n');
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], QStringLiteral(
                               "ﾌﾗｸﾞ,取込,再生/未再生,保護/非保護,BOX番号,相手番号,相手名称,日時,録音時間,ファイル名"));
        // Box number ascending, newest first within a box; the flag and import columns in words.
        const QStringList boxes{"0001", "0001", "0200"};
        const QStringList stems{a2.stem, a1.stem, e1.stem};
        for (int i = 0; i < 3; ++i) {
            const QStringList f = lines[i + 1].split(',');
            QCOMPARE(f.size(), 10);
            QCOMPARE(f[0], QString());
            QCOMPARE(f[1], QStringLiteral("情報+音声(未再生)"));
            QCOMPARE(f[4], boxes[i]);
            QCOMPARE(f[6], QStringLiteral("山田"));
            QVERIFY2(f[9].endsWith(stems[i] + ".vmdat"), qPrintable(f[9]));
        }

        // Rows whose only field is empty keep their lines.
        r = cli({"list", dl, "--csv", "--columns", "メモ"});
        QCOMPARE(CCp932::toUnicode(r.bytes), QStringLiteral("メモ\n\n\n\n"));

        // The plain list: tab-separated UTF-8, the cells as the list shows them, chosen columns and boxes.
        r = cli({"list", dl, "--boxes", "内線BOX：0200", "--columns", "BOX番号,取込,相手名称"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QStringLiteral("BOX番号\t取込\t相手名称\n0200\t0\t山田\n"));
        // A box that is not there is bad usage, not an empty list.
        r = cli({"list", dl, "--boxes", "内線BOX：0299"});
        QCOMPARE(r.code, 2);
        QVERIFY(r.bytes.isEmpty());
    }

    // One message whose voice file the unit no longer has; the password comes from the environment.
    void erasedVoiceFile() {
        const auto m = message("0001", 1);
        unitMessage("rusuroku", m);
        QDir().mkpath(dl + "/rusuroku/0001");
        QDir().mkpath(dl + "/naisen");
        sim->setFaults("RETR arg=*.vmdat reply 550 No such file\n");
        const Run r = cli(QStringList{"download", dl, "--yes"} + unit(), "zuno");
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.endsWith("エラー: 音声ファイルは既に消去されています。\n"), qPrintable(r.err));
        QVERIFY(QFile::exists(dl + "/rusuroku/0001/" + m.stem + ".vminf"));
        QVERIFY(!QFile::exists(dl + "/rusuroku/0001/" + m.stem + ".vmdat"));
    }

    // Nothing reaches the unit without a password, on a refused question, or with bad words; a refused login
    // has its own status.
    void refusals() {
        unitMessage("rusuroku", message("0001", 1));
        QDir().mkpath(dl + "/rusuroku/0001");
        QDir().mkpath(dl + "/naisen");
        Run r = cli(QStringList{"download", dl, "--yes"} + unit());
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains("エラー: パスワードを入力してください。"));

        r = cli(QStringList{"download", dl, "--password", "zuno"} + unit());
        QCOMPARE(r.code, 2);
        r = cli(QStringList{"download", dl, "--box", "rusuroku/0002", "--yes"} + unit(), "zuno");
        QCOMPARE(r.code, 2);
        r = cli(QStringList{"download", dl + "/rusuroku", "--yes"} + unit(), "zuno");
        QCOMPARE(r.code, 2);

        r = cli(QStringList{"download", dl} + unit(), "zuno");
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("よろしいですか？ -> no"));
        QVERIFY(QDir(dl + "/rusuroku/0001").entryList(QDir::Files).isEmpty());
        QCOMPARE(sim->transcript(), QStringList());

        r = cli(QStringList{"folder-download", dl, "--yes"} + unit(), "wrong");
        QCOMPARE(r.code, 3);
        QVERIFY(r.err.contains("エラー: ログインに失敗しました。"));
    }

    // The first night of a nightly backup: folder-download makes the missing download folder, not its parent.
    void folderDownloadMakesTheFolder() {
        unitMessage("rusuroku", message("0001", 1));
        const QString fresh = local->filePath("fresh");
        const QString orphan = local->filePath("none/fresh");
        Run r = cli(QStringList{"folder-download", orphan, "--yes"} + unit(), "zuno");
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains("cannot make " + orphan + ": its parent folder " + local->filePath("none") +
                                " does not exist"),
                 qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(local->filePath("none")));
        QCOMPARE(sim->transcript(), QStringList());

        r = cli(QStringList{"folder-download", fresh + "/", "--yes"} + unit(), "zuno");
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains("ダウンロード完了: フォルダのダウンロードが正常に完了しました。"), qPrintable(r.err));
        QVERIFY(QFileInfo(fresh + "/rusuroku/0001").isDir());
        QVERIFY(QFileInfo(fresh + "/naisen").isDir());

        // A file in the folder's place is not a folder to make.
        QFile file(local->filePath("plain"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        r = cli(QStringList{"folder-download", file.fileName(), "--yes"} + unit(), "zuno");
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains("is not a folder"));
    }

    // A nightly converting download leaves a complete WAV file newer than its voice file as it is; a cut or older
    // one is converted again.
    void convertingDownloadKeepsCurrentWavFiles() {
        const auto current = message("0001", 1);
        const auto cut = message("0001", 2);
        const auto older = message("0001", 3);
        for (const auto& m : {current, cut, older}) {
            unitMessage("rusuroku", m);
        }
        const QStringList login = unit() + QStringList{"--password-file", passwordFile, "--yes"};
        QCOMPARE(cli(QStringList{"folder-download", dl} + login).code, 0);
        const QStringList download = QStringList{"download", dl, "--convert"} + login;
        QCOMPARE(cli(download).code, 0);
        const QString box = dl + "/rusuroku/0001/";
        auto wavOf = [&](const CSampleUnit::Message& m) { return box + m.stem + ".wav"; };
        auto voiceTime = [&](const CSampleUnit::Message& m) {
            return QFileInfo(box + m.stem + ".vmdat").lastModified();
        };
        auto setTime = [](const QString& path, const QDateTime& t) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(t, QFileDevice::FileModificationTime));
        };
        for (const auto& m : {current, cut, older}) {
            QCOMPARE(QFileInfo(wavOf(m)).size(), 44 + m.frames * 160);
        }
        const QDateTime marked = voiceTime(current).addSecs(3600);
        setTime(wavOf(current), marked);
        QVERIFY(QFile::resize(wavOf(cut), 44 + 160));
        setTime(wavOf(cut), voiceTime(cut).addSecs(3600));
        setTime(wavOf(older), voiceTime(older).addSecs(-3600));

        const Run r = cli(download);
        QCOMPARE(r.code, 0);
        QCOMPARE(QFileInfo(wavOf(current)).lastModified(), marked);
        QCOMPARE(QFileInfo(wavOf(cut)).size(), 44 + cut.frames * 160);
        QVERIFY(QFileInfo(wavOf(older)).lastModified() > voiceTime(older));
        // What the windows' conversion makes: the same bytes whichever way the file came.
        QFile kept(wavOf(current));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        const QByteArray keptBytes = kept.readAll();
        kept.close();
        QVERIFY(QFile::remove(wavOf(current)));
        QCOMPARE(cli(download).code, 0);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), keptBytes);
    }

    // The export's words for the flag and every import state; blanks in front of a line's first field go.
    void csvWords() {
        const QString box = dl + "/rusuroku/0001";
        QDir().mkpath(box);
        QDir().mkpath(dl + "/naisen");
        for (int serial = 1; serial <= 4; ++serial) {
            auto m = message("0001", serial);
            m.infoOnly = serial == 4;
            QVERIFY(CSampleUnit::writeMessage(box, m, true));
            if (serial == 4) {
                continue;
            }
            const QString file = box + "/" + m.stem + ".vmdat";
            FILESTS_INFO rec;
            QCOMPARE(CFileMng::ReadRecord(file, rec).bytes, FILESTS_INFO::SIZE);
            rec.importStatus = static_cast<uint8_t>(serial);
            rec.flag = serial == 1;
            FILESTS_INFO::setText(rec.title, serial == 2 ? QStringLiteral("  会議") : QString());
            QCOMPARE(CFileMng::RewriteRecord(rec, file), CFileMng::WriteResult::Written);
        }
        const Run r = cli({"list", dl, "--csv", "--columns", "タイトル,ﾌﾗｸﾞ,取込,日時"});
        QCOMPARE(r.code, 0);
        QCOMPARE(CCp932::toUnicode(r.bytes), QStringLiteral("タイトル,ﾌﾗｸﾞ,取込,日時\n"
                                                            ",,情報のみ,2026/12/08 09:04\n"
                                                            ",,ZUNOﾃﾞｰﾀ消去済,2026/12/08 09:03\n"
                                                            "会議,,情報+音声(未再生),2026/12/08 09:02\n"
                                                            ",ﾌﾗｸﾞ,情報+音声(再生済),2026/12/08 09:01\n"));
    }

    // A message file that cannot be read costs only itself and stderr says how many were left out; a named pipe
    // called like a message is refused at once.
    void unreadableFilesAreToldNotHidden() {
        const QString box = dl + "/rusuroku/0001";
        QDir().mkpath(box);
        QDir().mkpath(dl + "/naisen");
        QVERIFY(CSampleUnit::writeMessage(box, message("0001", 1), true));
        QVERIFY(QFile::link(local->filePath("nowhere"), box + "/" + message("0001", 2).stem + ".vmdat"));
        const QString pipe = box + "/" + message("0001", 3).stem + ".vminf";
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);

        Run r = cli({"list", dl, "--csv", "--columns", "BOX番号,日時"});
        QCOMPARE(r.code, 0);
        QCOMPARE(CCp932::toUnicode(r.bytes), QStringLiteral("BOX番号,日時\n0001,2026/12/08 09:01\n"));
        QVERIFY(r.err.contains("2 message files could not be read"));

        r = cli({"info", pipe});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(pipe + " cannot be read"));
    }

    void infoAndConvert() {
        auto m = message("0001", 1);
        const QString box = dl + "/rusuroku/0001";
        QDir().mkpath(box);
        QVERIFY(CSampleUnit::writeMessage(box, m, true));
        const QString vmdat = box + "/" + m.stem + ".vmdat";
        QFile junk(local->filePath("short.vmdat"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a message");
        junk.close();

        Run r = cli({"info", vmdat, junk.fileName()});
        QCOMPARE(r.code, 1);
        const QStringList lines = r.out.split('\n');
        // path, 13 fields, loudness (-inf: 0.3 s is shorter than the meter's first block), peak, speech, the final
        // line end
        QCOMPARE(lines.size(), 18);
        QCOMPARE(lines[0], vmdat);
        QCOMPARE(lines[3], QStringLiteral("importStatus: 2"));
        QCOMPARE(lines[5], QStringLiteral("boxNo: 0001"));
        QCOMPARE(lines[8], QStringLiteral("callerName: 山田"));
        QCOMPARE(lines[9], QStringLiteral("recDateTime: 2026/12/08 09:01"));
        QVERIFY(lines[13].startsWith("filePath:"));
        QVERIFY2(QRegularExpression(R"(^loudness: (-[0-9]+\.[0-9]|-inf) LUFS$)").match(lines[14]).hasMatch(),
                 qPrintable(lines[14]));
        QVERIFY2(QRegularExpression(R"(^peak: -[0-9]+\.[0-9] dBFS$)").match(lines[15]).hasMatch(),
                 qPrintable(lines[15]));
        QVERIFY2(QRegularExpression(R"(^speech: [0-9]\.[0-9] s of 0\.3 s$)").match(lines[16]).hasMatch(),
                 qPrintable(lines[16]));
        QVERIFY(r.err.contains("short.vmdat"));
        // Measured once: the figures are kept beside the message, and the next run reads them from there.
        const QString cache = box + "/kelda-voice.ini";
        QVERIFY(QFile::exists(cache));
        const QDateTime written = QFileInfo(cache).lastModified();
        QTest::qWait(20);
        QCOMPARE(cli({"info", vmdat}).out.split('\n').mid(14, 3), lines.mid(14, 3));
        QCOMPARE(QFileInfo(cache).lastModified(), written);

        r = cli({"convert", vmdat});
        QCOMPARE(r.code, 0);
        QVERIFY(r.err.contains("変換完了: ＷＡＶファイルへの変換が正常に完了しました。"));
        QFile wav(box + "/" + m.stem + ".wav");
        QVERIFY(wav.open(QIODevice::ReadOnly));
        QCOMPARE(wav.read(4), QByteArray("RIFF"));
        QCOMPARE(wav.size(), 44 + m.frames * 160);

        QCOMPARE(cli({"convert", junk.fileName()}).code, 1);
        // The list window's conversion: a WAV file already there is left alone and the run still completes.
        wav.close();
        QVERIFY(QFile::resize(wav.fileName(), 44));
        r = cli({"convert", vmdat});
        QCOMPARE(r.code, 0);
        QCOMPARE(QFileInfo(box + "/" + m.stem + ".wav").size(), 44);
        // A file that is not there is named, and the others are still converted.
        QVERIFY(QFile::remove(box + "/" + m.stem + ".wav"));
        r = cli({"convert", vmdat, box + "/missing.vmdat"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("missing.vmdat"));
        QVERIFY(QFile::exists(box + "/" + m.stem + ".wav"));
    }
    // What play refuses or cannot do, where no sound server runs: the status, the line on stderr, no byte written.
    void playRefusals_data() {
        QTest::addColumn<QString>("file"); // "good", "info", "cut", "none"
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("told");
        QTest::newRow("no file") << "none" << QStringList() << 2 << "play needs a message file FILE";
        QTest::newRow("speed out of range") << "good" << QStringList{"--speed", "3"} << 2 << "--speed needs a number";
        QTest::newRow("speed not a number") << "good" << QStringList{"--speed=fast"} << 2 << "--speed needs a number";
        QTest::newRow("foreign option") << "good" << QStringList{"--csv"} << 2 << "play takes no --csv";
        QTest::newRow("information only") << "info" << QStringList() << 1 << "no voice data to play";
        QTest::newRow("cut in the header") << "cut" << QStringList() << 1 << "damaged, no whole voice frame";
        QTest::newRow("no sound device") << "good" << QStringList{"--speed", "1.5"} << 1 << "no sound device";
    }
    void playRefusals() {
        QFETCH(QString, file);
        QFETCH(QStringList, options);
        QFETCH(int, code);
        QFETCH(QString, told);
        auto m = message("0001", 1);
        const QString box = dl + "/rusuroku/0001";
        QDir().mkpath(box);
        QVERIFY(CSampleUnit::writeMessage(box, m, true));
        const QString vmdat = box + "/" + m.stem + ".vmdat";
        const QString vminf = box + "/" + m.stem + ".vminf";
        if (file == "cut") {
            QVERIFY(QFile::resize(vmdat, 1000));
        }
        const QByteArray before = CTestFiles::read(vmdat);
        // No sound server can be reached (and none is started on demand).
        extraEnv.insert("PULSE_SERVER", "unix:" + local->filePath("no-such-socket"));
        extraEnv.insert("XDG_RUNTIME_DIR", local->path());
        QStringList args{"play"};
        if (file != "none") {
            args << (file == "info" ? vminf : vmdat);
        }
        const Run r = cli(args + options);
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.contains(told), qPrintable(r.err));
        QCOMPARE(CTestFiles::read(vmdat), before);
        QVERIFY(!QFile::exists(box + "/" + m.stem + ".wav"));
    }
    // kelda-cli play through a real sound server: what the sink's monitor records is the decoded voice data, as
    // long as the message; at --speed 2 half as long. Levelled, it measures -18 LUFS; with the silence skipped, a
    // message of speech, 3 s of silence and speech is 2.7 s shorter.
    void playOnASoundServer_data() {
        QTest::addColumn<QString>("speed");
        QTest::addColumn<double>("lengthRatio");
        QTest::addColumn<int>("cutBytes"); // taken off the end of the file
        QTest::addColumn<QString>("option");
        QTest::newRow("1x") << "1" << 1.0 << 0 << "";
        QTest::newRow("2x") << "2" << 0.5 << 0 << "";
        // A cut file plays its whole frames, says the rest is damaged and ends with status 1.
        QTest::newRow("cut in a frame") << "1" << 1.0 << 4 << "";
        QTest::newRow("--normalize") << "1" << 1.0 << 0 << "--normalize";
        QTest::newRow("--skip-silence") << "1" << 1.0 << 0 << "--skip-silence";
    }
    void playOnASoundServer() {
        QFETCH(QString, speed);
        QFETCH(double, lengthRatio);
        QFETCH(int, cutBytes);
        QFETCH(QString, option);
        auto m = message("0001", 1);
        m.frames = 300;
        const QString box = dl + "/rusuroku/0001";
        QDir().mkpath(box);
        QVERIFY(CSampleUnit::writeMessage(box, m, true));
        const QString vmdat = box + "/" + m.stem + ".vmdat";
        if (option == "--skip-silence") {
            std::vector<int16_t> pcm = CSampleSpeech::generate(1, 2 * 8000);
            pcm.resize(5 * 8000, 0);
            const std::vector<int16_t> more = CSampleSpeech::generate(2, 2 * 8000);
            pcm.insert(pcm.end(), more.begin(), more.end());
            m.frames = static_cast<int>(pcm.size() / 80);
            QVERIFY(CSampleUnit::writeLocalVoiceFile(vmdat, m, CSampleEncoder::encode(pcm)));
        }
        QVERIFY(QFile::resize(vmdat, QFileInfo(vmdat).size() - cutBytes));
        CVoiceStream decoded;
        QCOMPARE(decoded.load(vmdat),
                 cutBytes ? CVoiceStream::LoadResult::DamagedTail : CVoiceStream::LoadResult::Whole);
        QCOMPARE(decoded.totalFrames(), cutBytes ? m.frames - 1 : m.frames);
        decoded.decodeUpTo(decoded.totalFrames());
        const auto [refFirst, refLast] = soundSpan(decoded.samples(), decoded.totalSamples());
        QVERIFY(refLast - refFirst > 8000);

        CSoundServer server(local->filePath("sound"));
        const QString problem = server.start();
        if (!problem.isEmpty()) {
            QSKIP(qPrintable("no sound server here: " + problem));
        }
        extraEnv.insert("PULSE_SERVER", server.serverAddress());
        const Run r = cli(QStringList{"play", vmdat, "--speed", speed} +
                          (option.isEmpty() ? QStringList() : QStringList{option}));
        QVERIFY2(r.code == (cutBytes ? 1 : 0), qPrintable(r.err));
        QCOMPARE(r.err.contains("bytes after it are damaged"), cutBytes > 0);
        const std::vector<int16_t> rec = server.take(500);
        const auto [first, last] = soundSpan(rec.data(), static_cast<qsizetype>(rec.size()));
        QVERIFY2(last > first, "the recording is silent");
        const double expected =
            double(refLast - refFirst) * lengthRatio - (option == "--skip-silence" ? 2.7 * 8000 : 0);
        QVERIFY2(std::abs(double(last - first) - expected) <= 0.05 * expected,
                 qPrintable(QStringLiteral("%1 samples, %2 expected").arg(last - first).arg(expected)));
        if (option == "--normalize") {
            CVoiceMeasure heard;
            heard.add(rec.data(), qint64(rec.size()));
            const double lufs = heard.finish().loudnessLufs;
            QVERIFY2(std::abs(lufs - CVoiceMeasure::TARGET_LUFS) <= 1.0, qPrintable(QString::number(lufs)));
        }
        if (lengthRatio == 1.0 && option != "--skip-silence") {
            const double c = bestCorrelation(rec, decoded.samples() + refFirst, refLast - refFirst, first);
            QVERIFY2(c >= 0.9, qPrintable(QString::number(c)));
        }
        // Heard to its end: marked played.
        QCOMPARE(quint8(CTestFiles::read(vmdat)[1]), quint8(1));
    }

    // What export-audio refuses: the status, the line on stderr, and no file in the folder.
    void exportAudioRefusals_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("told");
        QTest::newRow("no folder") << QStringList() << 2 << "export-audio needs --out DIR";
        QTest::newRow("unknown format") << QStringList{"--out", "OUT", "--format", "mp3"} << 2
                                        << "--format takes opus or wav";
        QTest::newRow("foreign option") << QStringList{"--out", "OUT", "--csv"} << 2 << "export-audio takes no --csv";
        QTest::newRow("information only")
            << QStringList{"--out", "OUT", "INFO"} << 1 << "録音情報のみのメッセージ1件は書き出していません。";
    }
    void exportAudioRefusals() {
        QFETCH(QStringList, options);
        QFETCH(int, code);
        QFETCH(QString, told);
        auto m = message("0001", 1);
        const QString box = dl + "/rusuroku/0001";
        QDir().mkpath(box);
        QVERIFY(CSampleUnit::writeMessage(box, m, true));
        const QString out = local->filePath("out");
        QStringList args{"export-audio"};
        args << (options.contains("INFO") ? box + "/" + m.stem + ".vminf" : box + "/" + m.stem + ".vmdat");
        options.removeAll("INFO");
        options.replaceInStrings(QRegularExpression("^OUT$"), out);
        const Run r = cli(args + options);
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.contains(told), qPrintable(r.err));
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), 0);
    }
    // Opus files as another program reads them: opus-tools decode each to the message's length with a signal that
    // follows the voice data, and read the record's texts back from its tags. A minute stays within 150 KB, a name
    // that is taken gets a number, a cut file is exported as far as it goes and named.
    void exportAudioReadsBackWithIndependentTools() {
        const QString opusdec = QStandardPaths::findExecutable("opusdec");
        const QString opusinfo = QStandardPaths::findExecutable("opusinfo");
        if (opusdec.isEmpty() || opusinfo.isEmpty()) {
            QSKIP("opus-tools is not installed (scripts/setup-deps installs it)");
        }
        const QString box = dl + "/naisen/201";
        QDir().mkpath(box);
        auto m = message("201", 1);
        m.extension = true;
        m.frames = 6000;
        m.callerNo = "03-9721-2867";
        m.callerName = "受付 田中";
        QVERIFY(CSampleUnit::writeMessage(box, m, true));
        const QString vmdat = box + "/" + m.stem + ".vmdat";
        QVERIFY(cli({"edit", vmdat, "--title", "見積もりの件", "--memo", "折り返し電話", "--yes"}).code == 0);
        auto cut = message("201", 2);
        cut.extension = true;
        cut.frames = 500;
        QVERIFY(CSampleUnit::writeMessage(box, cut, true));
        const QString cutFile = box + "/" + cut.stem + ".vmdat";
        QVERIFY(QFile::resize(cutFile, QFileInfo(cutFile).size() - 4 * 10 - 3));
        const QString out = local->filePath("out");

        // The same message twice: the second file gets a number, the first is left as it is.
        Run r = cli({"export-audio", vmdat, vmdat, cutFile, "--out", out});
        QCOMPARE(r.code, 1);
        const QString name = out + "/2026-12-08_0901_naisen201_03-9721-2867";
        const QString cutName = out + "/2026-12-08_0902_naisen201_0312345678.opus";
        QCOMPARE(r.out.split('\n', Qt::SkipEmptyParts), QStringList({name + ".opus", name + "-2.opus", cutName}));
        QVERIFY2(r.err.contains("切れた所まで書き出したもの（1件）：\n  " + QFileInfo(cutName).fileName()),
                 qPrintable(r.err));
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), 3);
        QVERIFY(QFileInfo(name + ".opus").size() <= 150 * 1024);

        QProcess info;
        info.start(opusinfo, {name + ".opus"});
        QVERIFY(info.waitForFinished(30000));
        const QString tags = QString::fromUtf8(info.readAllStandardOutput());
        for (const QString tag : {"TITLE=見積もりの件", "COMMENT=折り返し電話", "CALLER_NAME=受付 田中",
                                  "CALLER_NUMBER=03-9721-2867", "BOX_NUMBER=201", "RECORDED=2026/12/08 09:01"}) {
            QVERIFY2(tags.contains("\t" + tag + "\n"), qPrintable(tag + " not in\n" + tags));
        }

        CVoiceStream stream;
        for (const auto& [file, voice, frames] :
             {std::tuple{name + ".opus", vmdat, 6000}, std::tuple{cutName, cutFile, 500 - 5}}) {
            QProcess dec;
            const QString wav = local->filePath("decoded.wav");
            dec.start(opusdec, {"--quiet", "--rate", "8000", file, wav});
            QVERIFY(dec.waitForFinished(60000));
            QCOMPARE(dec.exitCode(), 0);
            const QByteArray pcm = CTestFiles::read(wav).mid(44);
            const qsizetype samples = pcm.size() / 2;
            QVERIFY2(std::abs(samples - frames * 80) <= 160, qPrintable(QString::number(samples)));
            stream.load(voice);
            stream.decodeUpTo(stream.totalFrames());
            QCOMPARE(stream.totalFrames(), frames);
            // The 20 ms energy envelopes of the two signals.
            std::vector<double> a, b;
            const auto* got = reinterpret_cast<const int16_t*>(pcm.constData());
            for (qsizetype at = 0; at + 160 <= std::min<qsizetype>(samples, stream.decodedSamples()); at += 160) {
                double ea = 0, eb = 0;
                for (int i = 0; i < 160; ++i) {
                    ea += double(got[at + i]) * got[at + i];
                    eb += double(stream.samples()[at + i]) * stream.samples()[at + i];
                }
                a.push_back(ea);
                b.push_back(eb);
            }
            const double ma = std::accumulate(a.begin(), a.end(), 0.0) / a.size();
            const double mb = std::accumulate(b.begin(), b.end(), 0.0) / b.size();
            double xy = 0, xx = 0, yy = 0;
            for (size_t i = 0; i < a.size(); ++i) {
                xy += (a[i] - ma) * (b[i] - mb);
                xx += (a[i] - ma) * (a[i] - ma);
                yy += (b[i] - mb) * (b[i] - mb);
            }
            const double c = xy / std::sqrt(xx * yy);
            QVERIFY2(c >= 0.95, qPrintable(QString::number(c)));
        }
    }

    // The completion and the manual page name the commands of the command table, no more and no fewer.
    void completionAndManualPageNameTheCommands() {
        QStringList names;
        for (const CCliCommandTable::Entry& e : CCliCommandTable::all()) {
            names << e.name;
        }
        QCOMPARE(sorted(completions({"kelda-cli", ""}).filter(QRegularExpression("^[^-]"))), sorted(names));
        QCOMPARE(sorted(manualPageCommands()), sorted(names));
    }
    // Per command: the completion offers only options the command takes, and every one it takes but --wait (which
    // only matters where another operation holds the folder); both ways of asking for help give its text, and the
    // overview lists it.
    void commandTable_data() {
        QTest::addColumn<QString>("name");
        for (const CCliCommandTable::Entry& e : CCliCommandTable::all()) {
            QTest::newRow(qPrintable(e.name)) << e.name;
        }
    }
    void commandTable() {
        QFETCH(QString, name);
        const CCliCommandTable::Entry* entry = CCliCommandTable::find(name);
        QVERIFY(entry);
        QStringList taken{"--help"};
        for (const QString& option : entry->options) {
            taken << "--" + option;
        }
        const QStringList offered = completions({"kelda-cli", name, "--"});
        for (const QString& option : offered) {
            QVERIFY2(taken.contains(option), qPrintable(name + " takes no " + option));
        }
        for (const QString& option : taken) {
            QVERIFY2(offered.contains(option) || option == "--wait", qPrintable("not offered: " + option));
        }

        const Run asked = cli({"--help", name});
        QCOMPARE(asked.code, 0);
        QVERIFY2(asked.out.startsWith("Usage: kelda-cli " + name + " "), qPrintable(asked.out));
        const Run after = cli({name, "--help"});
        QCOMPARE(after.code, 0);
        QCOMPARE(after.out, asked.out);
        const Run overview = cli({"--help"});
        QVERIFY(overview.out.contains(QRegularExpression("\\n  " + QRegularExpression::escape(entry->synopsis) + " +" +
                                                         QRegularExpression::escape(entry->summary) + "\\n")));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
