#include "list/CListFollow.h"
#include "store/CFolderLock.h"
#include "support/CSampleFolder.h"
#include "voice/CVoiceMeasureCache.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

class TestListFollow : public QObject {
    Q_OBJECT

    static constexpr int kQuietMs = 40;
    // A file written in place is seen by the look every so often, not by the watcher.
    static constexpr int kPollMs = 150;
    // Longer than the quiet time and a retry together: a reload not announced by then is not coming.
    static constexpr int kSettleMs = kQuietMs + kPollMs + CListFollow::RETRY_MS + 300;

    struct Scene {
        QTemporaryDir dir;
        QString download;
        QString box;
        QString other;
        CListFollow follow;
        QSignalSpy due{&follow, &CListFollow::reloadDue};
        Scene() {
            download = CSampleFolder::makeDownloadFolder(dir.path(), "dl", {"01", "02"}, {}, 2);
            box = download + "/rusuroku/01";
            other = download + "/rusuroku/02";
            follow.setQuietMs(kQuietMs);
            follow.setPollMs(kPollMs);
            follow.loaded(download, {box});
        }
        QString firstMessage() const {
            return QDir(box).entryInfoList({"*.vm*"}, QDir::Files, QDir::Name)[0].filePath();
        }
    };

    static void write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private Q_SLOTS:
    // What another run does to a watched box folder, and whether the list loads again for it.
    void changesAnotherRunMakes_data() {
        QTest::addColumn<int>("change");
        QTest::addColumn<bool>("reloads");
        QTest::newRow("a message arrives") << 0 << true;
        QTest::newRow("a message is rewritten in place") << 1 << true;
        QTest::newRow("a message is deleted") << 2 << true;
        QTest::newRow("the box is renamed in inf.ini") << 3 << true;
        QTest::newRow("the measurement cache is written") << 4 << false;
        QTest::newRow("a WAV file is converted beside a message") << 5 << false;
        QTest::newRow("a hidden temporary file comes and goes") << 6 << false;
        QTest::newRow("a message arrives in a box the list does not show") << 7 << false;
    }

    void changesAnotherRunMakes() {
        QFETCH(int, change);
        QFETCH(bool, reloads);
        Scene s;
        const QString message = s.firstMessage();
        // Times on disk are kept to the millisecond: a rewrite must be told apart from the load.
        QTest::qWait(5);
        switch (change) {
        case 0: {
            CSampleFolder::Message m;
            m.dateTime = "2026/12/09 09:00";
            CSampleFolder::writeMessage(s.box, "01", 90, m);
            break;
        }
        case 1: {
            QFile f(message);
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.seek(10);
            f.write("X");
            break;
        }
        case 2:
            QVERIFY(QFile::remove(message));
            break;
        case 3:
            write(s.box + "/inf.ini", "[INF]\nNAME=受付\n");
            break;
        case 4:
            write(s.box + "/" + CVoiceMeasureCache::FILE_NAME, "[x]\n");
            break;
        case 5:
            write(s.box + "/a.wav", "RIFF");
            break;
        case 6:
            write(s.box + "/.tmp-1", "x");
            QVERIFY(QFile::remove(s.box + "/.tmp-1"));
            break;
        case 7:
            CSampleFolder::writeMessage(s.other, "02", 91, CSampleFolder::Message());
            break;
        }
        if (reloads) {
            QTRY_COMPARE(s.due.count(), 1);
        }
        QTest::qWait(kSettleMs);
        QCOMPARE(s.due.count(), reloads ? 1 : 0);
    }

    // A reload waits while the window holds it off and while another run holds the download folder; the list's
    // own writes, once it says it caught up, ask for none.
    void reloadWaitsItsTurn() {
        Scene s;
        bool allowed = false;
        s.follow.mayReload = [&allowed] { return allowed; };
        CSampleFolder::writeMessage(s.box, "01", 92, CSampleFolder::Message());
        QTest::qWait(kSettleMs);
        QCOMPARE(s.due.count(), 0);
        {
            CFolderLock otherRun;
            QCOMPARE(otherRun.acquire(s.download, 0), CFolderLock::State::Held);
            allowed = true;
            QTest::qWait(kSettleMs);
            QCOMPARE(s.due.count(), 0);
        }
        QTRY_COMPARE(s.due.count(), 1);

        // The list reloaded: writes of its own after that are caught up with before the watcher speaks.
        s.follow.loaded(s.download, {s.box});
        write(s.box + "/inf.ini", "[INF]\nNAME=総務\n");
        s.follow.caughtUp();
        QTest::qWait(kSettleMs);
        QCOMPARE(s.due.count(), 1);

        // A list that closed follows nothing.
        s.follow.clear();
        CSampleFolder::writeMessage(s.box, "01", 93, CSampleFolder::Message());
        QTest::qWait(kSettleMs);
        QCOMPARE(s.due.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestListFollow)
#include "tst_listfollow.moc"
