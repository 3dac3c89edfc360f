// kelda-cli list with selection criteria, sorting and the not-downloaded display, and kelda-cli edit, over a
// sample download folder: exit statuses, what is told on stderr, what is written and what lands on disk.
#include "store/CFileMng.h"
#include "support/CSampleFolder.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run cli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(KELDA_BIN_DIR "/kelda-cli"), args);
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
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
        for (const QStringList& bad : {QStringList{"--from", "2024-01-01"}, QStringList{"--from", "2008/12/31"},
                                       QStringList{"--flag", "1"}, QStringList{"--import", "9"},
                                       QStringList{"--sort", "メモ"}, QStringList{"--not-downloaded", "--memo", "x"}}) {
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
};

QTEST_GUILESS_MAIN(TestCliList)
#include "tst_clilist.moc"
