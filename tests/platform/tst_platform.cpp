#include "platform/CCp932.h"
#include "platform/CDiskSpace.h"
#include "store/CPrivateProfile.h"
#include "support/CFifoWatch.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

class TestPlatform : public QObject {
    Q_OBJECT

private:
    static QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& content) {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return path;
    }
    static QByteArray readFile(const QString& path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

private Q_SLOTS:
    void cp932RoundTrip() {
        const QString text = QStringLiteral("留守録BOX：ｱｲｳ 山田太郎 ～①");
        const QByteArray bytes = CCp932::fromUnicode(text);
        QCOMPARE(CCp932::toUnicode(bytes), text);
        // Half-width katakana take one byte, the rest two.
        QCOMPARE(CCp932::byteLength(QStringLiteral("ｱｲｳ")), 3);
        QCOMPARE(CCp932::byteLength(QStringLiteral("山田")), 4);
        QCOMPARE(CCp932::fromUnicode(QStringLiteral("山")), QByteArray("\x8e\x52"));
    }

    // What CP932 lacks becomes one "?" per character, costs what the stored form holds, and is named as the first
    // character the text cannot be stored with.
    void cp932UnmappableBecomesQuestionMark_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("unheld");
        QString mixed = QStringLiteral("A한B😀C");
        mixed.append(QChar(0xD800));
        mixed.append(QStringLiteral("山"));
        QTest::newRow("hangul, emoji, lone surrogate") << mixed << QByteArray("A?B?C?\x8e\x52") << QStringLiteral("한");
        QTest::newRow("held") << QStringLiteral("山?ｱ") << QByteArray("\x8e\x52?\xb1") << QString();
        QTest::newRow("emoji") << QStringLiteral("😀") << QByteArray("?") << QStringLiteral("😀");
        QTest::newRow("e acute") << QStringLiteral("caf\u00e9") << QByteArray("caf?") << QStringLiteral("\u00e9");
        // U+E0000 (the UTF-16 of the bytes 40 DB 00 DC): the converter would drop it and charge nothing.
        QTest::newRow("tag character") << QString::fromUtf16(u"x\U000E0000y") << QByteArray("x?y")
                                       << QString::fromUtf16(u"\U000E0000");
        QTest::newRow("lone low surrogate")
            << QString(QChar(0xDC00)) + QStringLiteral("山") << QByteArray("?\x8e\x52") << QString(QChar(0xDC00));
        QTest::newRow("high surrogate at the end")
            << QStringLiteral("山") + QChar(0xDBFF) << QByteArray("\x8e\x52?") << QString(QChar(0xDBFF));
    }
    void cp932UnmappableBecomesQuestionMark() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, unheld);
        QCOMPARE(CCp932::fromUnicode(text), bytes);
        QCOMPARE(CCp932::byteLength(text), bytes.size());
        QCOMPARE(CCp932::holds(text), unheld.isEmpty());
        QCOMPARE(CCp932::firstUnheld(text), unheld);
    }

    void cp932InvalidBytesConvertWhatTheyCan() {
        // 0x81 followed by 0x20 is no CP932 pair, 0xA0 is unassigned, and a lead byte at the end is cut.
        const QByteArray bytes("ab\x81 cd\xa0"
                               "\x8e\x52"
                               "x\x81",
                               11);
        const QString out = CCp932::toUnicode(bytes);
        QVERIFY(out.startsWith(QStringLiteral("ab")));
        QVERIFY(out.contains(QStringLiteral("cd")));
        QVERIFY(out.contains(QStringLiteral("山x")));
        QVERIFY(!out.contains(QChar(0)));
    }

    void profileReadsLikeTheClassicReader() {
        QTemporaryDir dir;
        const QString ini =
            writeFile(dir, "inf.ini",
                      "; comment\r\n[Other]\r\nName=wrong\r\n[inf]\r\n  name =  \"\x8e\x52\x93\x63\"  \r\n"
                      "Make= 2x\r\nNeg=-17\r\nEmpty=\"\"\r\nBare=abc\r\n");
        QCOMPARE(CPrivateProfile::getString(ini, "INF", "NAME"), QStringLiteral("山田"));
        QCOMPARE(CPrivateProfile::getInt(ini, "INF", "MAKE", 5), 2);
        QCOMPARE(CPrivateProfile::getInt(ini, "INF", "NEG", 5), -17);
        QCOMPARE(CPrivateProfile::getInt(ini, "INF", "BARE", 5), 0);
        QCOMPARE(CPrivateProfile::getInt(ini, "INF", "MISSING", 5), 5);
        QCOMPARE(CPrivateProfile::getString(ini, "INF", "EMPTY", "d"), QString());
        QCOMPARE(CPrivateProfile::getString(ini, "INF", "MISSING", "d"), QStringLiteral("d"));
        QCOMPARE(CPrivateProfile::getString(ini, "NOSECTION", "NAME", "d"), QStringLiteral("d"));
        QCOMPARE(CPrivateProfile::getString(dir.filePath("absent.ini"), "INF", "NAME", "d"), QStringLiteral("d"));
    }

    void profileWriteKeepsOtherLines() {
        QTemporaryDir dir;
        const QByteArray before = "; keep me\r\n[INF]\r\nNAME=\"a\"\r\nmake=2\r\n\r\n[X]\r\nY=1\r\n";
        const QString ini = writeFile(dir, "inf.ini", before);
        QVERIFY(CPrivateProfile::writeString(ini, "inf", "MAKE", "0"));
        QCOMPARE(readFile(ini), QByteArray("; keep me\r\n[INF]\r\nNAME=\"a\"\r\nMAKE=0\r\n\r\n[X]\r\nY=1\r\n"));
        QVERIFY(CPrivateProfile::writeString(ini, "INF", "NEW", "v"));
        QVERIFY(CPrivateProfile::writeString(ini, "Z", "K", "山"));
        QCOMPARE(readFile(ini), QByteArray("; keep me\r\n[INF]\r\nNAME=\"a\"\r\nMAKE=0\r\nNEW=v\r\n\r\n[X]\r\nY=1\r\n"
                                           "[Z]\r\nK=\x8e\x52\r\n"));
        QVERIFY(CPrivateProfile::removeKey(ini, "INF", "name"));
        QCOMPARE(CPrivateProfile::getString(ini, "INF", "NAME", "gone"), QStringLiteral("gone"));
        QCOMPARE(CPrivateProfile::getString(ini, "X", "Y"), QStringLiteral("1"));

        // A new file is created with its section; LF-only files stay LF-only.
        const QString fresh = dir.filePath("sub-new.ini");
        QVERIFY(CPrivateProfile::writeString(fresh, "INF", "NAME", "\"\""));
        QCOMPARE(readFile(fresh), QByteArray("[INF]\r\nNAME=\"\"\r\n"));
        const QString lf = writeFile(dir, "lf.ini", "[A]\nB=1\n");
        QVERIFY(CPrivateProfile::writeString(lf, "A", "C", "2"));
        QCOMPARE(readFile(lf), QByteArray("[A]\nB=1\nC=2\n"));

        // A value with a line break is refused: it would plant further keys.
        QVERIFY(!CPrivateProfile::writeString(lf, "A", "B", "x\n[LOGIN]\nPASS=evil"));
        QVERIFY(!CPrivateProfile::writeString(lf, "A", "B", "x\r"));
        QCOMPARE(readFile(lf), QByteArray("[A]\nB=1\nC=2\n"));
        // A file that is there but cannot be read is not replaced by the one line being written.
        if (::geteuid() != 0) {
            QFile::setPermissions(lf, QFileDevice::WriteOwner);
            QVERIFY(!CPrivateProfile::writeString(lf, "A", "D", "3"));
            QFile::setPermissions(lf, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            QCOMPARE(readFile(lf), QByteArray("[A]\nB=1\nC=2\n"));
        }
    }

    // A key ends at the first "=": values holding more come back whole, and rewriting one changes its own line.
    void profileValuesWithEqualsSigns() {
        QTemporaryDir dir;
        const QString ini = writeFile(dir, "KELDA.ini", "[LOGIN]\r\nUSER=u\r\nPASS==x=\r\n");
        QCOMPARE(CPrivateProfile::getString(ini, "LOGIN", "PASS"), QStringLiteral("=x="));
        QVERIFY(CPrivateProfile::writeString(ini, "LOGIN", "PASS", "a=b"));
        QCOMPARE(CPrivateProfile::getString(ini, "LOGIN", "PASS"), QStringLiteral("a=b"));
        QVERIFY(CPrivateProfile::writeString(ini, "LOGIN", "PASS", "c=d"));
        QVERIFY(CPrivateProfile::writeString(ini, "LOGIN", "USER", "v"));
        QCOMPARE(readFile(ini), QByteArray("[LOGIN]\r\nUSER=v\r\nPASS=c=d\r\n"));
        QVERIFY(CPrivateProfile::removeKey(ini, "LOGIN", "PASS"));
        QCOMPARE(readFile(ini), QByteArray("[LOGIN]\r\nUSER=v\r\n"));
    }

    // A named pipe where a profile file belongs reads as a missing file and is never written through, at once.
    void profileLeavesANamedPipeAlone() {
        QTemporaryDir dir;
        const QString pipe = dir.filePath("inf.ini");
        QVERIFY(CFifoWatch::make(pipe));
        const qint64 ms = CFifoWatch::msTaken(pipe, [&] {
            QCOMPARE(CPrivateProfile::getString(pipe, "INF", "NAME", "d"), QStringLiteral("d"));
            QCOMPARE(CPrivateProfile::getInt(pipe, "INF", "MAKE", 7), 7);
            QVERIFY(!CPrivateProfile::writeString(pipe, "INF", "MAKE", "0"));
            QVERIFY(!CPrivateProfile::removeKey(pipe, "INF", "NAME"));
        });
        QVERIFY2(ms < 1000, qPrintable(QStringLiteral("took %1 ms").arg(ms)));
        QVERIFY(!QFileInfo(pipe).isFile());
        QVERIFY(CPrivateProfile::removeKey(dir.filePath("absent.ini"), "INF", "NAME"));
    }

    void freeSpaceRuleAndSeam() {
        QCOMPARE(CDiskSpace::bytesNeeded(0), 4096);
        QCOMPARE(CDiskSpace::bytesNeeded(4095), 4096);
        QCOMPARE(CDiskSpace::bytesNeeded(4096), 8192);
        QTemporaryDir dir;
        QVERIFY(CDiskSpace::freeBytes(dir.path()) > 0);
        // A path that does not exist yet is measured on the volume of its nearest existing folder.
        QVERIFY(CDiskSpace::freeBytes(dir.filePath("a/b/c")) > 0);
        const CDiskSpace::Probe probe = [](const QString&) { return qint64(8192); };
        QVERIFY(CDiskSpace::fits(dir.path(), 4095, probe));
        QVERIFY(!CDiskSpace::fits(dir.path(), 8192, probe));
        QVERIFY(CDiskSpace::fits(dir.path(), 1000));
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
