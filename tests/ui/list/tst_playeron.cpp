// The player bar over a long session on a real sound server: 続けて再生 through fifty messages, and seeking.
#include "audio/CAudioDeviceOutput.h"
#include "shell/CKELDADoc.h"
#include "store/FILESTS_INFO.h"
#include "support/CSampleFolder.h"
#include "support/CScriptedUi.h"
#include "support/CSoundServer.h"
#include "support/CTestFiles.h"
#include "ui/CJapaneseFont.h"
#include "ui/list/CDataListCtrl.h"
#include "ui/list/CListDispView.h"
#include "ui/list/CPlayerBar.h"

#include "CSampleUnit.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestPlayerOn : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<CSoundServer> m_server;
    QString m_serverProblem;

    // count messages of the given length in a box of their own, newest (the first file) first.
    QStringList writeMessages(const QString& box, int count, int frames) {
        QStringList files;
        for (int i = 0; i < count; ++i) {
            CSampleFolder::Message m;
            m.dateTime = QDateTime(QDate(2026, 12, 9), QTime(10, 0)).addSecs(-60 * i).toString("yyyy/MM/dd hh:mm");
            const QString f = CSampleFolder::writeMessage(box, "01", i + 1, m);
            QFile::resize(f, FILESTS_INFO::VOICE_OFFSET);
            QFile out(f);
            if (out.open(QIODevice::Append)) {
                out.write(CSampleUnit::voiceFrames(uint64_t(i + 1), frames));
            }
            files << f;
        }
        return files;
    }

    static int playedOnDisk(const QStringList& files) {
        int n = 0;
        for (const QString& f : files) {
            n += CTestFiles::read(f)[1] == 1 ? 1 : 0;
        }
        return n;
    }

    struct Window {
        CScriptedUi ui;
        CKELDADoc doc;
        std::unique_ptr<CListDispView> view;
        explicit Window(const QString& root) {
            CSampleFolder::showFirstList(doc, root, "留守録BOX：01");
            doc.playerBar = 1;
            view = std::make_unique<CListDispView>(doc, 1, ui);
            view->resize(1000, 500);
            view->show();
            view->load(CListModel::Load::Fresh);
        }
        CPlayerBar* bar() const { return view->playerBar(); }
    };

private Q_SLOTS:
    void initTestCase() {
        CJapaneseFont::install();
        m_server = std::make_unique<CSoundServer>(m_dir.filePath("sound"));
        m_serverProblem = m_server->start();
        // Before the first word to a sound server: the desktop's own is never touched.
        qputenv("PULSE_SERVER", m_server->serverAddress().toLocal8Bit());
    }

    void cleanupTestCase() { m_server.reset(); }

    void init() {
        if (!m_serverProblem.isEmpty()) {
            QSKIP(qPrintable(m_serverProblem));
        }
    }

    // Each message plays to its end on the sound server, is marked played on disk, and the bar goes on to the
    // next unplayed one until none is left; no message holds the bar at its end or plays slower than the last.
    void fiftyMessagesPlayOn() {
        constexpr int kMessages = 50;
        constexpr int kFrames = 60; // 0.6 s each
        const QString root = m_dir.filePath("fifty");
        const QStringList files = writeMessages(root + "/dl/rusuroku/01", kMessages, kFrames);
        Window w(root);
        QCOMPARE(w.view->model().rowCount(), kMessages);
        w.bar()->findChild<QCheckBox*>("continue")->setChecked(true);
        w.view->list()->selectRow(0);
        QElapsedTimer clock;
        clock.start();
        w.bar()->togglePlay();
        if (w.bar()->messageText().startsWith("音声の出力装置")) {
            QSKIP("the test's sound server offers no output");
        }
        // Half a second each besides their length at the most.
        const int limit = kMessages * (kFrames * 10 + 500);
        QTRY_VERIFY_WITH_TIMEOUT(
            w.bar()->messageText().contains("未再生のメッセージはありません") || clock.elapsed() > limit, limit + 5000);
        QVERIFY2(
            clock.elapsed() <= limit,
            qPrintable(
                QString("%1 of %2 played after %3 ms").arg(playedOnDisk(files)).arg(kMessages).arg(clock.elapsed())));
        QCOMPARE(playedOnDisk(files), kMessages);
        QCOMPARE(w.bar()->player().state(), CVoicePlayer::State::Finished);
    }

    // Seeking back again and again while a message plays does not slow playing down: after twenty seeks the
    // message still plays at its own pace to its end.
    void seeksKeepThePace() {
        constexpr int kFrames = 300; // 3 s
        const QString root = m_dir.filePath("seeks");
        const QStringList files = writeMessages(root + "/dl/rusuroku/01", 1, kFrames);
        Window w(root);
        w.view->list()->selectRow(0);
        w.bar()->togglePlay();
        CVoicePlayer& player = w.bar()->player();
        QTRY_VERIFY(player.positionFrame() >= 50);
        for (int i = 0; i < 20; ++i) {
            player.seekToFrame(10);
            QTest::qWait(60);
        }
        QElapsedTimer clock;
        clock.start();
        player.seekToFrame(0);
        QTRY_VERIFY_WITH_TIMEOUT(player.state() == CVoicePlayer::State::Finished || clock.elapsed() > 8000, 9000);
        QVERIFY2(clock.elapsed() < kFrames * 10 + 1500,
                 qPrintable(QString("%1 ms for a message of %2 ms").arg(clock.elapsed()).arg(kFrames * 10)));
        QCOMPARE(player.state(), CVoicePlayer::State::Finished);
        QCOMPARE(playedOnDisk(files), 1);
    }
};

// The media library's teardown at exit races with its sound server thread (see CAudioDeviceOutput::endProcess):
// the test ends as the programs do, once its own server is stopped.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestPlayerOn test;
    const int status = QTest::qExec(&test, argc, argv);
    CAudioDeviceOutput::endProcess(status);
}

#include "tst_playeron.moc"
