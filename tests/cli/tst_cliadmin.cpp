// kelda-cli's box administration commands: exit statuses, messages on stderr and the bytes of "inf.ini".
#include "platform/CCp932.h"
#include "store/CFileMng.h"
#include "support/CCliRunner.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Run = CCliRunner::Result;

Run cli(const QStringList& args) {
    return CCliRunner().run(args);
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

    // A phone book with CR line ends imports; names that cannot be stored as given are skipped and counted with
    // their reasons, never stored with "?" or cut.
    void importNamesSaysWhatItSkipped() {
        QDir().mkpath(dl + "/naisen/202");
        QDir().mkpath(dl + "/naisen/203");
        const QString csv = tmp->filePath("book.csv");
        writeBytes(csv, "h\rh\r1,201,Sales,\r1,202,caf\x81,\r1,203," + QByteArray(100, 'n') + ",\r1,999,X,\r");
        const Run r = cli({"import-names", dl, csv, "--yes"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains(
                     QStringLiteral("インポート完了: 内線電話帳のインポートが正常に完了しました。\n\n取り込んだ行：1\n"
                                    "スキップした行：3（ボックスフォルダなし 1、名称が10バイト超 1、使えない文字 1）")),
                 qPrintable(r.err));
        QVERIFY(r.err.contains(QStringLiteral("1 line(s) gave a name longer than 10 bytes in CP932 and were skipped")));
        QVERIFY(r.err.contains(QStringLiteral("1 line(s) gave a name with a character or byte CP932 lacks")));
        QCOMPARE(readBytes(dl + "/naisen/201/inf.ini"), QByteArray("[INF]\r\nNAME=Sales\r\n"));
        QVERIFY(!QFile::exists(dl + "/naisen/202/inf.ini") && !QFile::exists(dl + "/naisen/203/inf.ini"));
    }

    void boxName() {
        Run r = cli({"box-name", dl, "naisen/201", QStringLiteral("営業部第一"), "--yes"});
        QCOMPARE(r.code, 0);
        QVERIFY(r.err.contains(QStringLiteral("ＢＯＸ名称の登録が完了しました。")));
        QVERIFY(
            readBytes(dl + "/naisen/201/inf.ini").contains(CCp932::fromUnicode(QStringLiteral("NAME=\"営業部第一\""))));

        r = cli({"box-name", dl, "naisen/201", QStringLiteral("営業部第一A"), "--yes"});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains(QStringLiteral("入力値エラーです。")));
        r = cli({"box-name", dl, "naisen/201", "a,b", "--yes"});
        QCOMPARE(r.code, 2);
        QCOMPARE(CFileMng::GetBoxName(dl + "/naisen/201"), QStringLiteral("営業部第一"));

        r = cli({"box-name", dl, "rusuroku/0001", "", "--yes"});
        QCOMPARE(r.code, 0);
        QCOMPARE(CFileMng::GetBoxName(dl + "/rusuroku/0001"), QString());

        for (const char* bad : {"naisen/999", "naisen/..", "rusuroku/../naisen/201", "other/201", "201"}) {
            QVERIFY2(cli({"box-name", dl, QString::fromLatin1(bad), "x", "--yes"}).code == 2, bad);
        }
        QVERIFY(!QFile::exists(dl + "/inf.ini") && !QFile::exists(dl + "/naisen/inf.ini"));
    }

    // A name that cannot be stored as given is refused with its reason (exit 2), and "inf.ini" keeps its bytes.
    void boxNameRefusals_data() {
        QTest::addColumn<QString>("name"); // as printf %b makes it: the bytes a shell hands over
        QTest::addColumn<QString>("reason");
        QTest::newRow("emoji") << "\\0360\\0237\\0230\\0200" << QStringLiteral("「😀」はBOX名称に使えない文字です。");
        QTest::newRow("e acute") << "caf\\0303\\0251" << QStringLiteral("「é」はBOX名称に使えない文字です。");
        QTest::newRow("a byte that is no text") << "a\\0377" << QStringLiteral("はBOX名称に使えない文字です。");
        QTest::newRow("eleven bytes") << QStringLiteral("営業部第一A")
                                      << QStringLiteral("BOX名称は10バイト（全角5文字）までです（11バイト）。");
        QTest::newRow("comma") << "a,b" << QStringLiteral("BOX名称に「,」は使えません。");
    }
    void boxNameRefusals() {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        const QByteArray before = readBytes(dl + "/rusuroku/0001/inf.ini");
        const Run r = CCliRunner().runInShell(
            "exec \"$1\" box-name \"$2\" rusuroku/0001 \"$(printf '%b' \"$3\")\" --yes", {dl, name});
        const QString err = r.err;
        QCOMPARE(r.code, 2);
        QVERIFY2(err.contains(QStringLiteral("エラー: 入力値エラーです。\nrusuroku/0001\n")), qPrintable(err));
        QVERIFY2(err.contains(reason), qPrintable(err));
        QCOMPARE(readBytes(dl + "/rusuroku/0001/inf.ini"), before);
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
