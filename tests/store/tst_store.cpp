#include "platform/CCp932.h"
#include "store/CFileMng.h"
#include "store/CFolderLock.h"
#include "store/CMoveJournal.h"
#include "store/CRecordBuilder.h"
#include "store/CRecordTexts.h"
#include "support/CFifoWatch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstddef>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Header {
    QByteArray date = "Tue, 08 Dec 2026 09:15:42 GMT";
    QByteArray callerName = "\x8e\x52\x93\x63"; // 山田 in CP932
    QByteArray callerNo = "0312345678";
    quint8 status = 0;
    quint32 tenths = 0;
    QByteArray boxNo = "0123";

    QByteArray bytes() const {
        QByteArray h(256, '\0');
        h.replace(32, std::min<qsizetype>(date.size(), 32), date.left(32));
        h.replace(64, std::min<qsizetype>(callerName.size(), 32), callerName.left(32));
        h.replace(96, std::min<qsizetype>(callerNo.size(), 32), callerNo.left(32));
        h[129] = static_cast<char>(status);
        h[130] = static_cast<char>(tenths >> 24);
        h[131] = static_cast<char>(tenths >> 16);
        h[132] = static_cast<char>(tenths >> 8);
        h[133] = static_cast<char>(tenths);
        h.replace(136, std::min<qsizetype>(boxNo.size(), 4), boxNo.left(4));
        return h;
    }
};

const QString kStem = QStringLiteral("2026120809150001_0123_0001");

QString writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        qFatal("cannot write fixture");
    }
    f.write(content);
    return path;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

FILESTS_INFO recordOf(const QString& path) {
    FILESTS_INFO r;
    CFileMng::ReadRecord(path, r);
    return r;
}

// A local message file: a record in front of a received file.
QString writeMessage(const QString& folder, const QString& name, const QString& title, int payload = 300) {
    FILESTS_INFO r;
    r.clear();
    FILESTS_INFO::setText(r.title, title);
    QByteArray content(reinterpret_cast<const char*>(&r), sizeof r);
    content += Header().bytes();
    content += QByteArray(payload, 'v');
    return writeFile(CFileMng::Join(folder, name), content);
}

} // namespace

class TestStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textFieldsAreCutAndNeverOverflow() {
        FILESTS_INFO r;
        std::memset(&r, 0xAB, sizeof r);
        FILESTS_INFO::setText(r.boxNo, QStringLiteral("123456789"));
        QCOMPARE(FILESTS_INFO::text(r.boxNo), QStringLiteral("1234"));
        QCOMPARE(r.boxNo[4], u'\0');
        // The byte after boxNo belongs to boxName and must not be touched.
        QCOMPARE(reinterpret_cast<unsigned char*>(&r)[14], 0xAB);
        FILESTS_INFO::setText(r.title, QString());
        for (char16_t c : r.title) {
            QCOMPARE(c, u'\0');
        }
    }

    // A field cut to its width never keeps the first half of a surrogate pair.
    void textFieldsNeverKeepHalfACharacter_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("stored");
        const QString emoji = QString::fromUtf8("😀");
        QTest::newRow("21 emoji: 20 fit whole") << emoji.repeated(21) << emoji.repeated(20);
        QTest::newRow("a and 39 emoji: the 20th pair is left out")
            << "a" + emoji.repeated(39) << "a" + emoji.repeated(19);
        QTest::newRow("40 characters") << QString(40, 'x') << QString(40, 'x');
    }
    void textFieldsNeverKeepHalfACharacter() {
        QFETCH(QString, value);
        QFETCH(QString, stored);
        FILESTS_INFO r;
        r.clear();
        FILESTS_INFO::setText(r.title, value);
        QCOMPARE(FILESTS_INFO::text(r.title), stored);
    }

    void displayTexts() {
        QCOMPARE(CRecordTexts::importStatusDigit(0), QStringLiteral("2"));
        QCOMPARE(CRecordTexts::importStatusDigit(1), QStringLiteral("1"));
        QCOMPARE(CRecordTexts::importStatusDigit(2), QStringLiteral("0"));
        QCOMPARE(CRecordTexts::importStatusDigit(3), QStringLiteral("3"));
        QCOMPARE(CRecordTexts::importStatusDigit(200), QStringLiteral("3"));
        QCOMPARE(CRecordTexts::importStatusEditorText(9), CRecordTexts::importStatusEditorText(3));
        QCOMPARE(CRecordTexts::importStatusTooltip(0), QStringLiteral("録音情報のみを取込(ダウンロード)済"));
        QCOMPARE(CRecordTexts::flagText(7), QStringLiteral("1"));
        QCOMPARE(CRecordTexts::playedText(0), QStringLiteral("未再生"));
        QCOMPARE(CRecordTexts::protectText(1), QStringLiteral("保護"));
    }

    void recordFromInformationFile() {
        QTemporaryDir dir;
        Header h;
        h.status = 0x03;   // played on the unit and protected
        h.tenths = 0x025D; // 60.5 s: the tenths are dropped
        const QString p = writeFile(dir.filePath(kStem + ".vminf"), h.bytes() + "rest");
        QCOMPARE(CRecordBuilder::BuildForReceivedFile(p), CRecordBuilder::Result::Written);
        const QByteArray all = readFile(p);
        QCOMPARE(all.size(), 990 + 256 + 4);
        QCOMPARE(all.mid(990), h.bytes() + "rest");
        const FILESTS_INFO r = recordOf(p);
        QCOMPARE(FILESTS_INFO::text(r.recDateTime), QStringLiteral("2026/12/08 09:15"));
        QCOMPARE(FILESTS_INFO::text(r.recTime), QStringLiteral("00:01:00"));
        QCOMPARE(FILESTS_INFO::text(r.callerName), QStringLiteral("山田"));
        QCOMPARE(FILESTS_INFO::text(r.callerNo), QStringLiteral("0312345678"));
        QCOMPARE(FILESTS_INFO::text(r.boxNo), QStringLiteral("0123"));
        QCOMPARE(int(r.importStatus), 0);
        QCOMPARE(int(r.protect), 1);
        QCOMPARE(int(r.flag) + int(r.played), 0);
        QVERIFY(FILESTS_INFO::text(r.title).isEmpty());
        QVERIFY(FILESTS_INFO::text(r.filePath).isEmpty());
    }

    void headerFieldRules() {
        QCOMPARE(CRecordBuilder::FormatRecTime(0), QStringLiteral("00:00:00"));
        QCOMPARE(CRecordBuilder::FormatRecTime(0x8CA0), QStringLiteral("01:00:00"));
        QCOMPARE(CRecordBuilder::FormatRecTime(3599999), QStringLiteral("99:59:59"));
        QCOMPARE(CRecordBuilder::FormatRecTime(3600000), QStringLiteral("99:59:59"));
        QCOMPARE(CRecordBuilder::FormatRecTime(0xFFFFFFFFu), QStringLiteral("99:59:59"));
        // Only the first 27 bytes of the date text are read; the time zone is never applied.
        QCOMPARE(CRecordBuilder::FormatRecDateTime(QStringLiteral("Sun, 06 Nov 1994 08:49:37 G")),
                 QStringLiteral("1994/11/06 08:49"));
        QCOMPARE(CRecordBuilder::FormatRecDateTime(QStringLiteral("Sunday, 06-Nov-94 23:49:37 GMT")),
                 QStringLiteral("1994/11/06 23:49"));
        QCOMPARE(CRecordBuilder::FormatRecDateTime(QStringLiteral("not a date")), QString());
        QCOMPARE(CRecordBuilder::FormatRecDateTime(QString()), QString());

        // A caller name filling all 32 bytes without NUL is taken whole; a box number of 4 bytes likewise.
        FILESTS_INFO r;
        r.clear();
        Header h;
        h.callerName = QByteArray(32, 'N');
        h.boxNo = "9876";
        h.date = "garbage";
        CRecordBuilder::ApplyHeader(r, h.bytes(), true, false);
        QCOMPARE(FILESTS_INFO::text(r.callerName), QString(32, 'N'));
        QCOMPARE(FILESTS_INFO::text(r.boxNo), QStringLiteral("9876"));
        QCOMPARE(FILESTS_INFO::text(r.recDateTime), QString());

        // A header cut short reads its missing bytes as zero.
        r.clear();
        CRecordBuilder::ApplyHeader(r, h.bytes().left(96), true, true);
        QCOMPARE(FILESTS_INFO::text(r.callerNo), QString());
        QCOMPARE(FILESTS_INFO::text(r.recTime), QStringLiteral("00:00:00"));
        QCOMPARE(int(r.importStatus), 2);
    }

    void voiceFileCarriesOverTheInformationRecord() {
        QTemporaryDir dir;
        Header info;
        info.tenths = 0x8CA0;
        const QString inf = writeFile(dir.filePath(kStem + ".vminf"), info.bytes());
        QCOMPARE(CRecordBuilder::BuildForReceivedFile(inf), CRecordBuilder::Result::Written);
        // Edits made on the PC between the two downloads.
        FILESTS_INFO r = recordOf(inf);
        FILESTS_INFO::setText(r.title, QStringLiteral("至急"));
        FILESTS_INFO::setText(r.memo, QStringLiteral("折り返し"));
        FILESTS_INFO::setText(r.callerName, QStringLiteral("鈴木"));
        r.flag = 1;
        r.protect = 1;
        QCOMPARE(CFileMng::RewriteRecord(r, inf), CFileMng::WriteResult::Written);

        Header voice;
        voice.status = 0x01;
        voice.tenths = 5;
        voice.callerName = "other";
        voice.date = "Mon, 01 Jan 2001 00:00:00 GMT";
        const QString dat = writeFile(dir.filePath(kStem + ".vmdat"), voice.bytes() + QByteArray(20, 'x'));
        QCOMPARE(CRecordBuilder::BuildForReceivedFile(dat), CRecordBuilder::Result::Written);
        const FILESTS_INFO v = recordOf(dat);
        QCOMPARE(FILESTS_INFO::text(v.title), QStringLiteral("至急"));
        QCOMPARE(FILESTS_INFO::text(v.memo), QStringLiteral("折り返し"));
        QCOMPARE(FILESTS_INFO::text(v.callerName), QStringLiteral("鈴木"));
        QCOMPARE(FILESTS_INFO::text(v.recDateTime), QStringLiteral("2026/12/08 09:15"));
        QCOMPARE(FILESTS_INFO::text(v.recTime), QStringLiteral("01:00:00"));
        QCOMPARE(int(v.flag), 1);
        QCOMPARE(int(v.protect), 1);
        QCOMPARE(int(v.importStatus), 1);

        // Without an information file the voice record is fresh; bit 0 clear means not played on the unit.
        QTemporaryDir other;
        voice.status = 0;
        const QString lone = writeFile(other.filePath(kStem + ".vmdat"), voice.bytes());
        QCOMPARE(CRecordBuilder::BuildForReceivedFile(lone), CRecordBuilder::Result::Written);
        QCOMPARE(int(recordOf(lone).importStatus), 2);
        QCOMPARE(FILESTS_INFO::text(recordOf(lone).callerName), QStringLiteral("other"));

        // A file that cannot be read is left alone and the caller learns it.
        QCOMPARE(CRecordBuilder::BuildForReceivedFile(other.filePath("missing.vminf")),
                 CRecordBuilder::Result::Unreadable);
    }

    void loadAndCountMessages() {
        QTemporaryDir dir;
        const QString box = dir.filePath("dl/rusuroku/0123");
        writeMessage(box, "2026120809150001_0123_0001.vminf", "a-info");
        writeMessage(box, "2026120809150001_0123_0001.vmdat", "a-voice");
        writeMessage(box, "2026120809150002_0123_0002.vminf", "b-info");
        writeMessage(box, "2026120809150003X0123_0003.vmdat", "c-voice");
        writeFile(CFileMng::Join(box, "notes.txt"), "not a message");
        writeFile(CFileMng::Join(box, "2026120809150001_0123_0001.wav"), "RIFF");
        writeFile(CFileMng::Join(box, "inf.ini"),
                  "[INF]\r\nNAME=\"" + CCp932::fromUnicode(QStringLiteral("営業部第一課の留守録です")) + "\"\r\n");
        QDir().mkpath(CFileMng::Join(box, "sub.vmdat"));

        // The stray text file counts (so the array is never too small) but yields no record.
        QCOMPARE(CFileMng::CountMessages(box), 4);
        std::vector<FILESTS_INFO> recs(1);
        FILESTS_INFO::setText(recs[0].title, QStringLiteral("existing"));
        QCOMPARE(CFileMng::LoadRecords(box + "/", recs).unreadable, 0);
        QCOMPARE(recs.size(), size_t(4));
        QStringList titles;
        for (size_t i = 1; i < recs.size(); ++i) {
            const FILESTS_INFO& r = recs[i];
            titles << FILESTS_INFO::text(r.title);
            QVERIFY(FILESTS_INFO::text(r.filePath).startsWith(box + "/2026"));
            // The hand-edited name is longer than the field: cut to 10 characters.
            QCOMPARE(FILESTS_INFO::text(r.boxName), QStringLiteral("営業部第一課の留守録"));
            if (FILESTS_INFO::text(r.title) == QLatin1String("c-voice")) {
                QCOMPARE(FILESTS_INFO::text(r.boxNo), QString());
            } else {
                QCOMPARE(FILESTS_INFO::text(r.boxNo), QStringLiteral("0123"));
            }
        }
        titles.sort();
        QCOMPARE(titles, QStringList({"a-voice", "b-info", "c-voice"}));

        // A message moved to another box shows that box's number beside that box's name; a folder name that no
        // box number field can hold leaves the number the file name gives.
        for (const auto& [folder, shown] : {std::pair{"0007", "0007"}, std::pair{"extra", "0123"}}) {
            const QString moved = dir.filePath(QStringLiteral("dl/rusuroku/") + folder);
            writeMessage(moved, "2026120809150001_0123_0001.vmdat", "moved");
            writeFile(CFileMng::Join(moved, "inf.ini"), "[INF]\r\nNAME=\"reception\"\r\n");
            std::vector<FILESTS_INFO> there;
            CFileMng::LoadRecords(moved, there);
            QCOMPARE(there.size(), size_t(1));
            QCOMPARE(FILESTS_INFO::text(there[0].boxNo), QLatin1String(shown));
            QCOMPARE(FILESTS_INFO::text(there[0].boxName), QStringLiteral("reception"));
        }

        // A named pipe called like a message is no message file: left out without hanging the load.
        const QString pipe = CFileMng::Join(box, "2026120809150005_0123_0005.vmdat");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        std::vector<FILESTS_INFO> withPipe;
        QCOMPARE(CFileMng::LoadRecords(box, withPipe).unreadable, 1);
        QCOMPARE(withPipe.size(), size_t(3));
        QFile::remove(pipe);

        // A message file that cannot be opened is left out alone; the records already there stay.
        QVERIFY(QFile::link(dir.filePath("nowhere"), CFileMng::Join(box, "2026120809150004_0123_0004.vmdat")));
        std::vector<FILESTS_INFO> none(1);
        FILESTS_INFO::setText(none[0].title, QStringLiteral("kept"));
        QCOMPARE(CFileMng::LoadRecords(box, none).unreadable, 1);
        QCOMPARE(none.size(), size_t(4));
        QCOMPARE(FILESTS_INFO::text(none[0].title), QStringLiteral("kept"));
    }

    // One bad file among the messages of a box costs that file alone, and the load says how many it left out.
    void anUnreadableMessageIsLeftOutAloneAndCounted_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("dangling link") << "dangling";
        QTest::newRow("link loop") << "loop";
        QTest::newRow("no read permission") << "unreadable";
        QTest::newRow("named pipe") << "pipe";
        QTest::newRow("link to a device") << "device";
    }
    void anUnreadableMessageIsLeftOutAloneAndCounted() {
        QFETCH(QString, kind);
        if (kind == "unreadable" && ::geteuid() == 0) {
            QSKIP("permissions do not hold for root");
        }
        QTemporaryDir dir;
        const QString box = dir.filePath("rusuroku/0123");
        writeMessage(box, "2026120809150001_0123_0001.vmdat", "first");
        writeMessage(box, "2026120809150003_0123_0003.vminf", "third");
        const QString bad = CFileMng::Join(box, "2026120809150002_0123_0002.vmdat");
        const QByteArray badPath = QFile::encodeName(bad);
        if (kind == "dangling") {
            QCOMPARE(::symlink("nowhere.vmdat", badPath.constData()), 0);
        } else if (kind == "loop") {
            QCOMPARE(::symlink(badPath.constData(), badPath.constData()), 0);
        } else if (kind == "unreadable") {
            writeMessage(box, QFileInfo(bad).fileName(), "second");
            QVERIFY(QFile::setPermissions(bad, QFileDevice::WriteOwner));
        } else if (kind == "pipe") {
            QVERIFY(CFifoWatch::make(bad));
        } else {
            QCOMPARE(::symlink("/dev/zero", badPath.constData()), 0);
        }

        const CFileMng::BoxListing listing = CFileMng::ListBox(box);
        QCOMPARE(listing.count, 3);
        std::vector<FILESTS_INFO> recs;
        const CFileMng::LoadOutcome out = CFileMng::LoadRecords(listing, recs);
        QCOMPARE(out.loaded, 2);
        QCOMPARE(out.unreadable, 1);
        QStringList titles;
        for (const auto& r : recs) {
            titles << FILESTS_INFO::text(r.title);
            QCOMPARE(FILESTS_INFO::text(r.boxNo), QStringLiteral("0123"));
        }
        titles.sort();
        QCOMPARE(titles, QStringList({"first", "third"}));

        // Reading the record alone says the file could not be opened.
        FILESTS_INFO rec;
        QVERIFY(!CFileMng::ReadRecord(bad, rec).opened);
    }

    // A load reads what the listing it is given holds: counting and loading list the folder once between them.
    void aLoadReadsWhatItsListingCounted() {
        QTemporaryDir dir;
        const QString box = dir.filePath("naisen/0200");
        writeMessage(box, "2026120809150001_0200_0001.vminf", "a-info");
        writeMessage(box, "2026120809150001_0200_0001.vmdat", "a-voice");
        writeMessage(box, "2026120809150002_0200_0002.vminf", "b-info");
        writeFile(CFileMng::Join(box, "notes.txt"), "x");
        const CFileMng::BoxListing listing = CFileMng::ListBox(box);
        QCOMPARE(listing.count, CFileMng::CountMessages(box));
        QCOMPARE(listing.count, 3);
        QCOMPARE(listing.messages.size(), size_t(2));

        // A message that arrives after the listing waits for the next one.
        writeMessage(box, "2026120809150003_0200_0003.vmdat", "late");
        std::vector<FILESTS_INFO> recs;
        QCOMPARE(CFileMng::LoadRecords(listing, recs).loaded, 2);
        QCOMPARE(recs.size(), size_t(2));
        QCOMPARE(CFileMng::LoadRecords(box, recs).loaded, 3);
    }

    // A file shorter than a record loads as what it holds and zeros after it, whatever the array's memory held.
    void aShortFileLoadsAsItsBytesThenZeros_data() {
        QTest::addColumn<int>("size");
        QTest::newRow("empty") << 0;
        QTest::newRow("the flags only") << 4;
        QTest::newRow("cut inside the memo") << int(offsetof(FILESTS_INFO, memo)) + 3;
    }
    void aShortFileLoadsAsItsBytesThenZeros() {
        QFETCH(int, size);
        QTemporaryDir dir;
        const QString box = dir.filePath("rusuroku/0123");
        QDir().mkpath(box);
        writeFile(CFileMng::Join(box, "2026120809150001_0123_0001.vmdat"), QByteArray(size, '\x01'));
        std::vector<FILESTS_INFO> recs(8);
        std::memset(static_cast<void*>(recs.data()), 0xff, recs.size() * sizeof(FILESTS_INFO));
        recs.clear();
        QCOMPARE(CFileMng::LoadRecords(box, recs).loaded, 1);
        const auto* bytes = reinterpret_cast<const unsigned char*>(&recs.front());
        // The load writes the box number and name and the path itself; every other byte is the file's or zero.
        for (size_t k = 0; k < offsetof(FILESTS_INFO, filePath); ++k) {
            if (k >= offsetof(FILESTS_INFO, boxNo) && k < offsetof(FILESTS_INFO, callerNo)) {
                continue;
            }
            QCOMPARE(int(bytes[k]), k < size_t(size) ? 1 : 0);
        }
    }

    // A loaded record names its file by the folder and the name as the file system gives it, and takes its box
    // number from the name, whatever the name is written in and however long the path grows.
    void aLoadedRecordNamesItsFileAndBox_data() {
        QTest::addColumn<QString>("subfolder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("boxNo");
        QTest::newRow("as the unit names it") << "rusuroku/0123"
                                              << "2026120809150001_0123_0001.vmdat"
                                              << "0123";
        QTest::newRow("no box part") << "rusuroku/0123"
                                     << "2026120809150001X0123_0001.vminf" << QString();
        QTest::newRow("kanji in the name") << "rusuroku/0123"
                                           << "2026120809150001_0123_0001営業.vmdat"
                                           << "0123";
        // A folder name too long for the field leaves the number the file name gives.
        QTest::newRow("kanji in the box part") << "rusuroku/box-0123"
                                               << "2026120809150001_営業部第一_1.vmdat"
                                               << "営業部第";
        // A message shows the box folder it is in (moved there, say), kanji and all.
        QTest::newRow("kanji in the folder") << "rusuroku/営業"
                                             << "2026120809150001_0123_0001.vmdat"
                                             << "営業";
        QTest::newRow("path longer than the field")
            << QString("rusuroku/") + QString(240, 'd') << "2026120809150001_0123_0001.vmdat"
            << "0123";
    }
    void aLoadedRecordNamesItsFileAndBox() {
        QFETCH(QString, subfolder);
        QFETCH(QString, name);
        QFETCH(QString, boxNo);
        QTemporaryDir dir;
        const QString box = dir.filePath(subfolder);
        writeMessage(box, name, "one");
        std::vector<FILESTS_INFO> recs;
        QCOMPARE(CFileMng::LoadRecords(box, recs).loaded, 1);
        const FILESTS_INFO& r = recs.front();
        QCOMPARE(FILESTS_INFO::text(r.filePath), CFileMng::Join(box, name).left(259));
        QCOMPARE(FILESTS_INFO::text(r.boxNo), boxNo);
        QCOMPARE(FILESTS_INFO::text(r.title), QStringLiteral("one"));
        // Nothing is left after the path's end of what the file held there.
        const QString path = FILESTS_INFO::text(r.filePath);
        for (size_t k = static_cast<size_t>(path.size()); k < std::size(r.filePath); ++k) {
            QCOMPARE(int(r.filePath[k]), 0);
        }
    }

    // A load of a big box says how far it has come every few hundred files, with what it has appended by then.
    void aLoadReportsAsItsRecordsArrive_data() {
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("unreadableAt"); // -1: none
        QTest::addColumn<QList<int>>("steps");
        QTest::newRow("fewer than a step") << 255 << -1 << QList<int>{};
        QTest::newRow("exactly a step") << 256 << -1 << QList<int>{};
        QTest::newRow("two steps and some") << 600 << -1 << QList<int>{256, 512};
        QTest::newRow("an unreadable file early") << 600 << 3 << QList<int>{255, 511};
    }
    void aLoadReportsAsItsRecordsArrive() {
        QFETCH(int, files);
        QFETCH(int, unreadableAt);
        QFETCH(QList<int>, steps);
        QTemporaryDir dir;
        const QString box = dir.filePath("rusuroku/0123");
        QDir().mkpath(box);
        for (int k = 0; k < files; ++k) {
            const QString name = QStringLiteral("2026120809%1_0123_%2.vmdat")
                                     .arg(k, 6, 10, QChar('0'))
                                     .arg(k % 10000, 4, 10, QChar('0'));
            if (k == unreadableAt) {
                QVERIFY(QFile::link(dir.filePath("nowhere"), CFileMng::Join(box, name)));
            } else {
                writeMessage(box, name, QString::number(k), 0);
            }
        }
        // Directory order is the file system's: the unreadable one is found by listing, not by its number.
        const CFileMng::BoxListing listing = CFileMng::ListBox(box);
        QCOMPARE(int(listing.messages.size()), files);
        std::vector<FILESTS_INFO> recs(2);
        QList<int> seen;
        const CFileMng::LoadOutcome out = CFileMng::LoadRecords(listing, recs, [&](int loaded) {
            seen << loaded;
            QCOMPARE(recs.size(), size_t(2) + static_cast<size_t>(loaded));
        });
        QCOMPARE(out.unreadable, unreadableAt >= 0 ? 1 : 0);
        QCOMPARE(out.loaded, files - out.unreadable);
        QCOMPARE(int(recs.size()), 2 + out.loaded);
        if (unreadableAt < 0) {
            QCOMPARE(seen, steps);
        } else {
            // Where the bad file falls in directory order decides which steps it comes before.
            QCOMPARE(seen.size(), steps.size());
            for (qsizetype i = 0; i < seen.size(); ++i) {
                QVERIFY(seen[i] == steps[i] || seen[i] == steps[i] + 1);
            }
        }
    }

    // Nothing in the store opens a named pipe standing where a message file or "inf.ini" belongs: such an open
    // would wait for a writer for ever.
    void namedPipesNeverHoldTheStore_data() {
        QTest::addColumn<QString>("where");
        QTest::newRow("read a record") << "read";
        QTest::newRow("rewrite a record") << "rewrite";
        QTest::newRow("prepend a record") << "prepend";
        QTest::newRow("first record of a box") << "first";
        QTest::newRow("box name from inf.ini") << "boxname";
        QTest::newRow("load beside inf.ini") << "load";
        QTest::newRow("write inf.ini") << "setmake";
    }
    void namedPipesNeverHoldTheStore() {
        QFETCH(QString, where);
        QTemporaryDir dir;
        const QString box = dir.filePath("rusuroku/0123");
        QDir().mkpath(box);
        const bool atInfIni = where == "boxname" || where == "load" || where == "setmake";
        const QString pipe = atInfIni ? CFileMng::InfIniPath(box) : CFileMng::Join(box, kStem + ".vminf");
        QVERIFY(CFifoWatch::make(pipe));
        if (where == "load") {
            writeMessage(box, kStem + ".vmdat", "voice");
        }
        FILESTS_INFO rec;
        rec.clear();
        const qint64 ms = CFifoWatch::msTaken(pipe, [&] {
            if (where == "read") {
                QVERIFY(!CFileMng::ReadRecord(pipe, rec).opened);
            } else if (where == "rewrite") {
                QCOMPARE(CFileMng::RewriteRecord(rec, pipe), CFileMng::WriteResult::Unreadable);
            } else if (where == "prepend") {
                QCOMPARE(CFileMng::PrependRecord(pipe, rec), CFileMng::WriteResult::Unreadable);
            } else if (where == "first") {
                QCOMPARE(CFileMng::ReadFirstRecord(box, rec), CFileMng::FirstRecord::Unreadable);
            } else if (where == "boxname") {
                QCOMPARE(CFileMng::GetBoxName(box), QString());
            } else if (where == "load") {
                std::vector<FILESTS_INFO> recs;
                QCOMPARE(CFileMng::LoadRecords(box, recs).loaded, 1);
            } else {
                QVERIFY(!CFileMng::SetMake(box, "0"));
            }
        });
        QVERIFY2(ms < 1000, qPrintable(QStringLiteral("took %1 ms").arg(ms)));
        QVERIFY(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile());
    }

    void rewriteKeepsTheRestAndRefreshesTheBoxName() {
        QTemporaryDir dir;
        const QString box = dir.filePath("naisen/0123");
        const QString p = writeMessage(box, kStem + ".vmdat", "old", 5000);
        QVERIFY(CFileMng::SetBoxName(box, QStringLiteral("総務")));
        const QByteArray before = readFile(p);
        FILESTS_INFO r = recordOf(p);
        FILESTS_INFO::setText(r.title, QStringLiteral("new"));
        r.played = 1;
        QCOMPARE(CFileMng::RewriteRecord(r, p), CFileMng::WriteResult::Written);
        QCOMPARE(FILESTS_INFO::text(r.boxName), QStringLiteral("総務"));
        const QByteArray after = readFile(p);
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.mid(990), before.mid(990));
        QCOMPARE(FILESTS_INFO::text(recordOf(p).title), QStringLiteral("new"));
        QCOMPARE(int(recordOf(p).played), 1);
        // No temporary file is left behind.
        QCOMPARE(QDir(box).entryList(QDir::Files | QDir::Hidden).size(), 2);

        QCOMPARE(CFileMng::RewriteRecord(r, dir.filePath("missing.vmdat")), CFileMng::WriteResult::Unreadable);

        // A file shorter than a record gets the record and nothing after it.
        const QString shortFile = writeFile(CFileMng::Join(box, "2026120809150009_0123_0009.vminf"), "xyz");
        QCOMPARE(CFileMng::RewriteRecord(r, shortFile), CFileMng::WriteResult::Written);
        QCOMPARE(readFile(shortFile).size(), 990);
    }

    void aFullDiskNeverDamagesTheOnlyCopy() {
        QTemporaryDir dir;
        const QString p = writeMessage(dir.path(), kStem + ".vmdat", "keep", 20000);
        const QByteArray before = readFile(p);
        FILESTS_INFO r = recordOf(p);
        FILESTS_INFO::setText(r.title, QStringLiteral("changed"));

        // Writes past 4000 bytes fail as they would on a full disk.
        struct rlimit old;
        getrlimit(RLIMIT_FSIZE, &old);
        auto previous = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit tight = old;
        tight.rlim_cur = 4000;
        setrlimit(RLIMIT_FSIZE, &tight);
        const CFileMng::WriteResult rewrite = CFileMng::RewriteRecord(r, p);
        const CFileMng::WriteResult prepend = CFileMng::PrependRecord(p, r);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);

        QCOMPARE(rewrite, CFileMng::WriteResult::Unwritable);
        QCOMPARE(prepend, CFileMng::WriteResult::Unwritable);
        QCOMPARE(readFile(p), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void prependGrowsTheFile() {
        QTemporaryDir dir;
        const QString p = writeFile(dir.filePath("x.vminf"), "abc");
        FILESTS_INFO r;
        r.clear();
        r.flag = 1;
        QCOMPARE(CFileMng::PrependRecord(p, r), CFileMng::WriteResult::Written);
        QCOMPARE(readFile(p).size(), 993);
        QCOMPARE(readFile(p).right(3), QByteArray("abc"));
        QCOMPARE(CFileMng::PrependRecord(dir.filePath("none"), r), CFileMng::WriteResult::Unreadable);
        QVERIFY(!QFile::exists(dir.filePath("none")));
    }

    void folderQueries() {
        QTemporaryDir dir;
        const QString dl = dir.filePath("folder1");
        QDir().mkpath(dl + "/rusuroku");
        QVERIFY(!CFileMng::IsDownloadFolder(dl));
        QDir().mkpath(dl + "/naisen");
        QVERIFY(CFileMng::IsDownloadFolder(dl));
        QCOMPARE(CFileMng::FolderHasMessages(dl), CFileMng::FolderMessages::NoBoxFolders);
        QDir().mkpath(dl + "/naisen/0200");
        QDir().mkpath(dl + "/rusuroku/0001");
        writeFile(dl + "/naisen/0200/inf.ini", "[INF]\r\nNAME=\"\"\r\n");
        QCOMPARE(CFileMng::FolderHasMessages(dl), CFileMng::FolderMessages::NoMessages);
        writeMessage(dl + "/rusuroku/0001", kStem + ".vminf", "m");
        QCOMPARE(CFileMng::FolderHasMessages(dl), CFileMng::FolderMessages::HasMessages);

        QStringList subs{"stale"};
        CFileMng::ListSubfolders(dl + "/rusuroku", subs);
        QCOMPARE(subs, QStringList{dl + "/rusuroku/0001"});

        const QString box = dl + "/rusuroku/0001";
        QVERIFY(!CFileMng::HasWavFiles(box));
        writeFile(box + "/a.wav", "x");
        writeFile(box + "/B.WAV", "x");
        QVERIFY(CFileMng::HasWavFiles(box));
        CFileMng::DeleteWavFiles(box);
        // Only names that contain ".wav" in lower case go; the message stays.
        QVERIFY(!QFile::exists(box + "/a.wav"));
        QVERIFY(QFile::exists(box + "/B.WAV"));
        QVERIFY(QFile::exists(box + "/" + kStem + ".vminf"));

        FILESTS_INFO first;
        QCOMPARE(CFileMng::ReadFirstRecord(box, first), CFileMng::FirstRecord::Read);
        QCOMPARE(FILESTS_INFO::text(first.title), QStringLiteral("m"));
        QCOMPARE(CFileMng::ReadFirstRecord(dl + "/naisen/0200", first), CFileMng::FirstRecord::NoneFound);
    }

    void infIni() {
        QTemporaryDir dir;
        const QString box = dir.path();
        QCOMPARE(CFileMng::GetBoxName(box), QString());
        QCOMPARE(CFileMng::GetMake(box), CFileMng::Make::None);
        QVERIFY(CFileMng::SetBoxName(box, QString()));
        QCOMPARE(readFile(box + "/inf.ini"), QByteArray("[INF]\r\nNAME=\"\"\r\n"));
        QCOMPARE(CFileMng::GetBoxName(box), QString());
        QVERIFY(CFileMng::SetMake(box, "2"));
        QVERIFY(CFileMng::IsMakePending(box));
        QVERIFY(CFileMng::SetMake(box, "0"));
        QVERIFY(!CFileMng::IsMakePending(box));
        QVERIFY(CFileMng::SetBoxName(box, QStringLiteral("経理")));
        QCOMPARE(CFileMng::GetBoxName(box), QStringLiteral("経理"));
        QCOMPARE(readFile(box + "/inf.ini"), QByteArray("[INF]\r\nNAME=\"\x8c\x6f\x97\x9d\"\r\nMAKE=0\r\n"));
    }

    void namingHelpers() {
        QCOMPARE(CFileMng::BoxNoFromName("2026120809150001_0123_0001.vmdat"), QStringLiteral("0123"));
        QCOMPARE(CFileMng::BoxNoFromName("2026120809150001_12345_001.vmdat"), QStringLiteral("1234"));
        QCOMPARE(CFileMng::BoxNoFromName("2026120809150001-0123_0001.vmdat"), QString());
        QCOMPARE(CFileMng::BoxNoFromName("short"), QString());
        QCOMPARE(CFileMng::BoxFolderOf("/d/rusuroku/0123/2026120809150001_0123_0001.vmdat"),
                 QStringLiteral("/d/rusuroku/0123/"));
        QCOMPARE(CFileMng::Join("/a/", "b"), QStringLiteral("/a/b"));
        QVERIFY(CFileMng::FileExists(QDir::tempPath()));
        QVERIFY(!CFileMng::FileExists(QString()));
    }

    // The note of an interrupted move is acted on only when this program wrote it whole; any other note goes
    // without moving a file.
    void onlyAWholeMoveNoteIsFinished_data() {
        QTest::addColumn<QByteArray>("note");
        QTest::addColumn<bool>("moved");
        const QByteArray name = kStem.toUtf8() + ".vmdat";
        QTest::newRow("whole") << "move\nrusuroku/0001\nrusuroku/0002\n" + name + "\n" << true;
        QTest::newRow("cut in the last name") << "move\nrusuroku/0001\nrusuroku/0002\n" + name.left(10) << false;
        QTest::newRow("a name leading elsewhere") << "move\nrusuroku/0001\nrusuroku/0002\n../../" + name + "\n"
                                                  << false;
        QTest::newRow("an absolute box folder") << "move\n/etc\nrusuroku/0002\n" + name + "\n" << false;
        QTest::newRow("a file that is no message file") << "move\nrusuroku/0001\nrusuroku/0002\ninf.ini\n" + name + "\n"
                                                        << false;
        QTest::newRow("an unknown kind") << "swap\nrusuroku/0001\nrusuroku/0002\n" + name + "\n" << false;
    }
    void onlyAWholeMoveNoteIsFinished() {
        QFETCH(QByteArray, note);
        QFETCH(bool, moved);
        QTemporaryDir dir;
        const QString dl = dir.filePath("folder1");
        QDir().mkpath(dl + "/naisen");
        QDir().mkpath(dl + "/rusuroku/0002");
        const QString from = writeFile(dl + "/rusuroku/0001/" + kStem + ".vmdat", "voice");
        const QString to = dl + "/rusuroku/0002/" + kStem + ".vmdat";
        writeFile(dl + "/" + CMoveJournal::kFileName, note);
        writeFile(dl + "/.kelda-moving-abc123.tmp", "a note the kill cut before it was named");
        CFolderLock::FinishInterrupted(dl);
        QCOMPARE(QFile::exists(to), moved);
        QCOMPARE(QFile::exists(from), !moved);
        QCOMPARE(QDir(dl).entryList({".kelda-moving*"}, QDir::Files | QDir::Hidden), QStringList{});
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
