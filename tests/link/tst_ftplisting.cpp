// Reading listings: normalisation, long-listing fields, and refusing names that would leave their folder.
#include "link/CFtpListing.h"

#include <QtTest>

class TestFtpListing : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void normalisation() {
        const QString text = "a.b*c\r\n\r\n\r\nsecond.line\r\nno-cr-at-end";
        QCOMPARE(CFtpListing::normalisedLines(text), QStringList({"abc", "secondline", "no-cr-at-end"}));
        QCOMPARE(CFtpListing::countLines(text, [] {}), 3);
        int calls = 0;
        QCOMPARE(CFtpListing::countLines(QString("x\r\n\r\n"), [&] { ++calls; }), 1);
        QCOMPARE(calls, 5);
        QCOMPARE(CFtpListing::countLines(QString(".\r\n*\r\n"), [] {}), 0);
    }

    void longListingFields() {
        const QString stem = "20261208101500_0001_000001";
        const QString line =
            CFtpListing::normalisedLines("-rw-r--r--   1 zuno vm       1000 Dec 08 10:15 " + stem + ".vmdat\r\n")
                .value(0);
        QCOMPARE(CFtpListing::longSize(line), 1000);
        // The name is the stem and its extension at the end of the line, with the dot restored: 32 characters.
        QCOMPARE(CFtpListing::longName(line), stem + ".vmdat");
        QCOMPARE(CFtpListing::longName(line).size(), 32);
        QCOMPARE(CFtpListing::longSize(QString("short")), 0);
        QCOMPARE(CFtpListing::longSize(QString(24, ' ') + "  4096abc"), 4096);

        // Not message files: other names, too long or too short stems, directories.
        QCOMPARE(CFtpListing::longName("drwxr-xr-x   2 zuno vm           0 Dec 08 10:15 0001"), QString());
        QCOMPARE(CFtpListing::longName("x 1" + stem + "vmdat"), QString());
        QCOMPARE(CFtpListing::longName("x " + stem.mid(1) + "vminf"), QString());
        QCOMPARE(CFtpListing::longName("x " + stem + "vmwav"), QString());
        QCOMPARE(CFtpListing::longName(stem + "vminf"), stem + ".vminf");
    }

    void hostileNames() {
        // "../../../../home/user/x.vmdat" normalises to "////home/user/xvmdat"-like text: never a local name.
        QCOMPARE(CFtpListing::longName("x ////homeuser/01234567890123456vmdat"), QString());
        QCOMPARE(CFtpListing::longName("x \\\\windows\\01234567890123456vmdat"), QString());
        QCOMPARE(CFtpListing::longName(QString("x ") + QString(26, QChar(0x3042)) + "vmdat"), QString());
        QVERIFY(CFtpListing::isMessageName("20261208101500_0001_000001.vmdat"));
        QVERIFY(!CFtpListing::isMessageName("20261208101500_0001/00001.vmdat"));
        QVERIFY(!CFtpListing::isMessageName("2026120810150..0001_000001.vmdat"));
        QVERIFY(!CFtpListing::isMessageName("20261208101500_0001_000001.vmdat.sh"));
        QVERIFY(!CFtpListing::isMessageName(""));

        QCOMPARE(CFtpListing::boxNumbers("0001\r\n.\r\n..\r\n\r\na/b\r\n12345\r\n9\r\n..\\x\r\n0102"),
                 QStringList({"0001", "9", "0102"}));
    }

    // The one box-number rule the listing reader and the folder tree share; the boundary of four characters.
    void boxNumberRule_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("taken");
        QTest::newRow("four") << "0001" << true;
        QTest::newRow("one") << "9" << true;
        QTest::newRow("four wide") << QStringLiteral("営業総務") << true;
        QTest::newRow("five") << "12345" << false;
        QTest::newRow("five wide") << QStringLiteral("営業総務部") << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("slash") << "a/b" << false;
        QTest::newRow("backslash") << "a\\b" << false;
        QTest::newRow("comma") << "0,3" << false;
        QTest::newRow("blank") << "1 2" << false;
        QTest::newRow("wide blank") << QString("1") + QChar(0x3000) + "2" << false;
        QTest::newRow("tab") << "\t5" << false;
        QTest::newRow("control") << QString("0") + QChar(0x01) << false;
    }
    void boxNumberRule() {
        QFETCH(QString, name);
        QFETCH(bool, taken);
        QCOMPARE(CFtpListing::isBoxNumber(name), taken);
        QCOMPARE(CFtpListing::boxNumbers(name + "\r\n"), taken ? QStringList({name}) : QStringList());
    }

    // A path separator anywhere in a stem of the right length and form is never taken, through the long
    // listing's name or the plain listing's name check.
    void separatorsInAStemOfTheRightForm_data() {
        QTest::addColumn<QString>("stem");
        const QString good = "20261208101500_0001_000001";
        for (const QChar sep : {QChar('/'), QChar('\\')}) {
            for (const int at : {0, 9, 14, 19, 25}) {
                QString stem = good;
                stem[at] = sep;
                QTest::addRow("%s at %d", sep == '/' ? "slash" : "backslash", at) << stem;
            }
        }
    }
    void separatorsInAStemOfTheRightForm() {
        QFETCH(QString, stem);
        QCOMPARE(stem.size(), CFtpListing::kStemLength);
        for (const QString ext : {"vmdat", "vminf"}) {
            QVERIFY(!CFtpListing::isMessageName(stem + '.' + ext));
            const QString line = CFtpListing::normalisedLines("-rw-r--r--   1 zuno vm       1000 Dec 08 10:15 " + stem +
                                                              '.' + ext + "\r\n")
                                     .value(0);
            QCOMPARE(CFtpListing::longName(line), QString());
        }
        // The same line with the separator put back to a digit is a message: only the separator refuses it.
        QString fixed = stem;
        fixed.replace('/', '0').replace('\\', '0');
        QVERIFY(CFtpListing::isMessageName(fixed + ".vmdat"));
    }

    void spaceNeeded() {
        QCOMPARE(CFtpListing::spaceNeeded(0), 4096);
        QCOMPARE(CFtpListing::spaceNeeded(1000), 4096);
        QCOMPARE(CFtpListing::spaceNeeded(4095), 4096);
        QCOMPARE(CFtpListing::spaceNeeded(4096), 8192);
    }
};

QTEST_GUILESS_MAIN(TestFtpListing)
#include "tst_ftplisting.moc"
