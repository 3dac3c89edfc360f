// kelda-cli list with selection criteria, sorting and the not-downloaded display, and kelda-cli edit, over a
// sample download folder: exit statuses, what is told on stderr, what is written and what lands on disk.
#include "CSampleEncoder.h"
#include "CSampleSpeech.h"
#include "store/CFileMng.h"
#include "support/CCliRunner.h"
#include "support/CSampleFolder.h"

#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {
using Run = CCliRunner::Result;

Run cli(const QStringList& args) {
    return CCliRunner().run(args);
}
} // namespace

class TestCliList : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString dl;
    QStringList files;

    void put(const QString& box, int seq, const QString& date, bool voice, const QString& title,
             const QString& callerName) {
        CSampleFolder::Message m;
        m.dateTime = date;
        m.voice = voice;
        m.callerName = callerName;
        const QString file = CSampleFolder::writeMessage(dl + "/rusuroku/" + box, box, seq, m);
        FILESTS_INFO rec;
        CFileMng::ReadRecord(file, rec);
        FILESTS_INFO::setText(rec.title, title);
        QCOMPARE(CFileMng::RewriteRecord(rec, file), CFileMng::WriteResult::Written);
        files << file;
    }

private Q_SLOTS:
    void initTestCase() {
        dl = dir.filePath("folder1");
        QDir().mkpath(dl + "/naisen");
        put("01", 1, "2024/01/31 23:59", true, "定例会議", "yamada");
        put("01", 2, "2024/02/01 09:00", true, "会議室", "Tanaka");
        put("02", 3, "2024/01/15 10:00", false, "至急", "sato");
        put("10", 4, "2024/01/20 10:00", true, "", "YAMADA");
    }

    void criteriaAndSort() {
        const QStringList cols{"--columns", "BOX番号,日時,タイトル,相手名称"};
        Run r = cli(QStringList{"list", dl, "--title", "%会議", "--to", "2024/01/31"} + cols);
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QString("BOX番号\t日時\tタイトル\t相手名称\n01\t2024/01/31 23:59\t定例会議\tyamada\n"));

        // An empty pattern takes the messages whose field is empty: here every memo.
        r = cli(QStringList{"list", dl, "--memo", "", "--sort", "相手名称:desc"} + cols);
        QCOMPARE(r.code, 0);
        QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 5);
        // "yamada" and "YAMADA" are equal without case; between them the default order (box 01 before 10).
        QVERIFY(lines[1].startsWith("01\t") && lines[1].endsWith("yamada"));
        QVERIFY(lines[2].startsWith("10\t"));
        QVERIFY(lines[3].endsWith("Tanaka"));
        QVERIFY(lines[4].endsWith("sato"));
        r = cli(QStringList{"list", dl, "--box-no", "0", "--columns", "BOX番号"});
        QCOMPARE(r.out, QString("BOX番号\n01\n01\n02\n"));

        // The first click on "BOX番号" turns the default order round; ":asc"-like order needs two.
        r = cli(QStringList{"list", dl, "--sort", "BOX番号", "--columns", "BOX番号"});
        QCOMPARE(r.out, QString("BOX番号\n01\n01\n02\n10\n"));
        r = cli(QStringList{"list", dl, "--sort", "BOX番号:desc", "--columns", "BOX番号"});
        QCOMPARE(r.out, QString("BOX番号\n10\n02\n01\n01\n"));

        r = cli(QStringList{"list", dl, "--import", "7", "--columns", "BOX番号"});
        QCOMPARE(r.out, QString("BOX番号\n02\n"));
        r = cli(QStringList{"list", dl, "--not-downloaded", "--columns", "BOX番号"});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QString("BOX番号\n02\n"));
        r = cli(QStringList{"list", dl, "--flag", "no", "--played", "no", "--protect", "no", "--caller-no", "03",
                            "--columns", "BOX番号"});
        QCOMPARE(r.out.count('\n'), 5);
    }

    void refusals() {
        Run r = cli({"list", dl, "--title", "%%"});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("エラー: 該当するメッセージがありません。"), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());

        r = cli({"list", dl, "--box-no", "０１"});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains("エラー: 入力値エラーです。"));
        r = cli({"list", dl, "--title", QString(21, QChar(u'会'))});
        QCOMPARE(r.code, 2);
        r = cli({"list", dl, "--from", "2024/02/01", "--to", "2024/01/01"});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains("エラー: 日付範囲指定に異常があります。"));
        for (const QStringList& bad :
             {QStringList{"--from", "2024-01-01"}, QStringList{"--from", "2008/12/31"}, QStringList{"--flag", "1"},
              QStringList{"--import", "9"}, QStringList{"--sort", "メモ"},
              QStringList{"--not-downloaded", "--memo", "x"}, QStringList{"--not-downloaded", "--empty-calls"}}) {
            r = cli(QStringList{"list", dl} + bad);
            QVERIFY2(r.code == 2, qPrintable(bad.join(' ')));
            QVERIFY(r.out.isEmpty());
        }
    }

    void edit() {
        const QString file = files[0];
        // Without --yes only the question.
        Run r = cli({"edit", file, "--title", "新しい題"});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("登録の確認: 登録します。よろしいですか？ -> no"), qPrintable(r.err));
        FILESTS_INFO rec;
        CFileMng::ReadRecord(file, rec);
        QCOMPARE(FILESTS_INFO::text(rec.title), QString("定例会議"));

        r = cli({"edit", file, "--memo", "a,b", "--yes"});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains("エラー: 入力値エラーです。"));
        r = cli({"edit", file, "--flag", "maybe", "--yes"});
        QCOMPARE(r.code, 2);

        r = cli({"edit", file, "--title", "新しい題", "--caller-no", "", "--protect", "yes", "--flag", "yes", "--yes"});
        QCOMPARE(r.code, 0);
        CFileMng::ReadRecord(file, rec);
        QCOMPARE(FILESTS_INFO::text(rec.title), QString("新しい題"));
        QCOMPARE(FILESTS_INFO::text(rec.callerNo), QString());
        QCOMPARE(FILESTS_INFO::text(rec.callerName), QString("yamada"));
        QCOMPARE(int(rec.protect), 1);
        QCOMPARE(int(rec.flag), 1);

        r = cli({"edit", "--help"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.startsWith("Usage: kelda-cli edit FILE"));
    }

    // An entry that cannot be stored as given is refused with its reason (exit 2); the file keeps its bytes.
    void editRefusals_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("reason");
        const QString emoji = QString::fromUtf8("😀");
        QTest::newRow("21 emoji") << QStringList{"--title", emoji.repeated(21)}
                                  << "--title: \"" + emoji + "\" is a character CP932 lacks";
        QTest::newRow("a and 39 emoji") << QStringList{"--title", "a" + emoji.repeated(39)}
                                        << "--title: \"" + emoji + "\" is a character CP932 lacks";
        QTest::newRow("e acute") << QStringList{"--caller-name", QStringLiteral("Ren\u00e9")}
                                 << QStringLiteral("--caller-name: \"\u00e9\" is a character CP932 lacks");
        QTest::newRow("41 bytes") << QStringList{"--title", QString(41, 'x')}
                                  << QStringLiteral("--title: 41 bytes in CP932, at most 40");
        QTest::newRow("comma") << QStringList{"--memo", "a,b"} << QStringLiteral("--memo: \",\" is not allowed");
    }
    void editRefusals() {
        QFETCH(QStringList, args);
        QFETCH(QString, reason);
        QFile f(files[1]);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();
        const Run r = cli(QStringList{"edit", files[1]} + args + QStringList{"--yes"});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains("kelda-cli: " + reason + "; nothing was written"), qPrintable(r.err));
        QVERIFY(r.err.contains("エラー: 入力値エラーです。"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    // The file edit writes and the box it names: a link is edited through and stays a link; a file renamed to a
    // short name keeps its box name; a file in a folder that takes no writes says so.
    void editFindsTheFileAndItsBox_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("symbolic link") << "link";
        QTest::newRow("short name") << "short";
        QTest::newRow("read-only folder") << "read-only";
    }
    void editFindsTheFileAndItsBox() {
        QFETCH(QString, kind);
        QTemporaryDir tmp;
        const QString box = tmp.filePath("dl/rusuroku/05");
        CSampleFolder::Message m;
        m.dateTime = "2024/03/01 10:00";
        QString target = CSampleFolder::writeMessage(box, "05", 1, m);
        QVERIFY(CFileMng::SetBoxName(box, QStringLiteral("受付")));
        QString edited = target;
        if (kind == "link") {
            edited = CFileMng::Join(box, "2024030110000099_05_0099.vmdat");
            QVERIFY(QFile::link(target, edited));
        } else if (kind == "short") {
            edited = CFileMng::Join(box, "m.vmdat");
            QVERIFY(QFile::rename(target, edited));
            target = edited;
        } else {
            if (::geteuid() == 0) {
                QSKIP("a folder's permissions do not stop root");
            }
            QVERIFY(QFile::setPermissions(box, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }
        const Run r = cli({"edit", edited, "--title", "new", "--yes"});
        QFile::setPermissions(box, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        FILESTS_INFO rec;
        CFileMng::ReadRecord(target, rec);
        if (kind == "read-only") {
            QCOMPARE(r.code, 1);
            QVERIFY2(r.err.contains("エラー: ファイルに書き込めません。\n" + edited), qPrintable(r.err));
            QVERIFY(!r.err.contains("入力値エラー"));
            QCOMPARE(FILESTS_INFO::text(rec.title), QString());
            return;
        }
        QCOMPARE(r.code, 0);
        QCOMPARE(FILESTS_INFO::text(rec.title), QStringLiteral("new"));
        QCOMPARE(FILESTS_INFO::text(rec.boxName), QStringLiteral("受付"));
        QCOMPARE(QFileInfo(edited).isSymLink(), kind == "link");
        QCOMPARE(QDir(box).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), kind == "link" ? 3 : 2);
    }

    // A write to standard output that fails (a full device, a closed stream, a file that cannot grow) is exit 1
    // with a message, never exit 0 with a cut listing.
    void writeErrorsOnStandardOutput_data() {
        QTest::addColumn<QString>("redirect");
        QTest::addColumn<QString>("command");
        QTest::newRow("list --csv, file that cannot grow") << "> \"$OUT\""
                                                           << "list --csv";
        QTest::newRow("list, closed") << ">&-"
                                      << "list";
        QTest::newRow("info, full device") << ">/dev/full"
                                           << "info";
        QTest::newRow("info, file that cannot grow") << "> \"$OUT\""
                                                     << "info";
    }
    void writeErrorsOnStandardOutput() {
        QFETCH(QString, redirect);
        QFETCH(QString, command);
        QTemporaryDir tmp;
        const QString big = CSampleFolder::makeDownloadFolder(tmp.path(), "big", {"01", "02"}, {"100"}, 12);
        QStringList args = command.split(' ');
        if (command == "info") {
            for (const char* box : {"/rusuroku/01", "/rusuroku/02"}) {
                const QDir d(big + box);
                for (const QString& name : d.entryList({"*.vminf", "*.vmdat"}, QDir::Files)) {
                    args << d.filePath(name);
                }
            }
        } else {
            args.insert(1, big);
        }
        const Run whole = cli(args);
        QCOMPARE(whole.code, 0);
        QVERIFY(whole.out.toUtf8().size() > 2048);

        // Writes past 1024 bytes fail as on a full file system (the signal that would end the program ignored).
        CCliRunner limited;
        limited.env.insert("OUT", tmp.filePath("out.txt"));
        const Run cut = limited.runInShell("trap '' XFSZ; ulimit -f 2; exec \"$@\" " + redirect, args);
        const QString err = cut.err;
        QCOMPARE(cut.code, 1);
        QVERIFY2(err.contains("kelda-cli: cannot write to standard output"), qPrintable(err));
        if (redirect.contains("OUT")) {
            QVERIFY(QFileInfo(tmp.filePath("out.txt")).size() < whole.out.toUtf8().size());
        }
    }

    // Empty calls (less than 0.5 s of speech) and the speech column, from the voice data: a message of speech, one
    // of line noise, one of a tenth of a second, and one without voice data, which is none.
    void emptyCallsAndSpeechColumn() {
        auto voiceOf = [](const QString& file, std::vector<int16_t> pcm) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.resize(FILESTS_INFO::VOICE_OFFSET));
            QVERIFY(f.seek(FILESTS_INFO::VOICE_OFFSET));
            f.write(CSampleEncoder::encode(pcm));
        };
        voiceOf(files[0], CSampleSpeech::generate(3, 3 * 8000));
        std::vector<int16_t> hiss(4 * 8000);
        uint32_t x = 1;
        for (int16_t& v : hiss) {
            x = x * 1664525u + 1013904223u;
            v = static_cast<int16_t>(int(x >> 24) - 128);
        }
        voiceOf(files[3], hiss);
        const QStringList cols{"--columns", "BOX番号,日時,発話秒"};
        Run r = cli(QStringList{"list", dl, "--empty-calls"} + cols);
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QString("BOX番号\t日時\t発話秒\n01\t2024/02/01 09:00\t0.1\n10\t2024/01/20 10:00\t0.0\n"));
        QVERIFY(QFile::exists(dl + "/rusuroku/01/kelda-voice.ini"));
        // The column sorts by the number; the message without voice data shows nothing.
        r = cli(QStringList{"list", dl, "--sort", "発話秒:desc"} + cols);
        QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 5);
        const QString top = lines[1].section('\t', 2);
        QVERIFY2(lines[1].startsWith("01\t2024/01/31") && top.toDouble() > 1.5 && top.toDouble() <= 3.0,
                 qPrintable(lines[1]));
        QVERIFY(lines[4].endsWith("\t"));
        // With another criterion, every one must hold.
        r = cli(QStringList{"list", dl, "--empty-calls", "--box-no", "1"} + cols);
        QCOMPARE(r.out.section('\n', 1), QString("10\t2024/01/20 10:00\t0.0\n"));
    }
};

QTEST_GUILESS_MAIN(TestCliList)
#include "tst_clilist.moc"
