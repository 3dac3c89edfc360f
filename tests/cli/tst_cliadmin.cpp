// kelda-cli's box administration commands: exit statuses, messages on stderr and the bytes of "inf.ini".
#include "platform/CCp932.h"
#include "store/CFileMng.h"

#include <QDir>
#include <QFile>
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

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

class TestCliAdmin : public QObject {
    Q_OBJECT

    QTemporaryDir* tmp = nullptr;
    QString dl;

private Q_SLOTS:
    void init() {
        tmp = new QTemporaryDir;
        dl = tmp->filePath("office");
        QDir().mkpath(dl + "/rusuroku/0001");
        QDir().mkpath(dl + "/naisen/201");
        QVERIFY(CFileMng::SetBoxName(dl + "/rusuroku/0001", "Front"));
    }
    void cleanup() { delete tmp; }

    void importNames() {
        const QString csv = tmp->filePath("book.csv");
        writeBytes(csv, CCp932::fromUnicode(QStringLiteral("h\nh\n1,201,営業,\n1,../rusuroku/0001,X,\n1,999,Y,\n")));
        const QByteArray rusuroku = readBytes(dl + "/rusuroku/0001/inf.ini");

        // Without --yes: the question only.
        Run r = cli({"import-names", dl, csv});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(QStringLiteral("登録します。よろしいですか？")));
        QCOMPARE(CFileMng::GetBoxName(dl + "/naisen/201"), QString());

        r = cli({"import-names", dl, csv, "--yes"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.err.contains(QStringLiteral("内線電話帳のインポートが正常に完了しました。")));
        QVERIFY(r.err.contains(QStringLiteral("2 line(s)")));
        QCOMPARE(CFileMng::GetBoxName(dl + "/naisen/201"), QStringLiteral("営業"));
        QVERIFY(readBytes(dl + "/naisen/201/inf.ini").contains(CCp932::fromUnicode(QStringLiteral("NAME=営業\r\n"))));
        QCOMPARE(readBytes(dl + "/rusuroku/0001/inf.ini"), rusuroku);
        QVERIFY(!QFile::exists(dl + "/naisen/201/inf.tmp"));

        r = cli({"import-names", dl, tmp->filePath("missing.csv"), "--yes"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(QStringLiteral("インポートエラー")));

        QCOMPARE(cli({"import-names", dl}).code, 2);
        QCOMPARE(cli({"import-names", dl, csv, "--csv"}).code, 2);
    }

    void boxName() {
        Run r = cli({"box-name", dl, "naisen/201", QStringLiteral("営業部第一"), "--yes"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.err.contains(QStringLiteral("ＢＯＸ名称の登録が完了しました。")));
        QVERIFY(
            readBytes(dl + "/naisen/201/inf.ini").contains(CCp932::fromUnicode(QStringLiteral("NAME=\"営業部第一\""))));

        r = cli({"box-name", dl, "naisen/201", QStringLiteral("営業部第一A"), "--yes"});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(QStringLiteral("入力値エラーです。")));
        r = cli({"box-name", dl, "naisen/201", "a,b", "--yes"});
        QCOMPARE(r.code, 1);
        QCOMPARE(CFileMng::GetBoxName(dl + "/naisen/201"), QStringLiteral("営業部第一"));

        r = cli({"box-name", dl, "rusuroku/0001", "", "--yes"});
        QCOMPARE(r.code, 0);
        QCOMPARE(CFileMng::GetBoxName(dl + "/rusuroku/0001"), QString());

        for (const char* bad : {"naisen/999", "naisen/..", "rusuroku/../naisen/201", "other/201", "201"}) {
            QVERIFY2(cli({"box-name", dl, QString::fromLatin1(bad), "x", "--yes"}).code == 2, bad);
        }
        QVERIFY(!QFile::exists(dl + "/inf.ini") && !QFile::exists(dl + "/naisen/inf.ini"));
    }

    void help() {
        Run r = cli({"--help"});
        QVERIFY(r.out.contains("import-names DIR FILE.csv") && r.out.contains("box-name DIR"));
        r = cli({"import-names", "--help"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.startsWith("Usage: kelda-cli import-names DIR FILE.csv [--yes]"));
        r = cli({"box-name", "--help"});
        QVERIFY(r.out.startsWith("Usage: kelda-cli box-name DIR rusuroku/NNNN|naisen/NNNN NAME [--yes]"));
    }
};

QTEST_GUILESS_MAIN(TestCliAdmin)
#include "tst_cliadmin.moc"
