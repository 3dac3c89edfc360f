#include "shell/CExitSequence.h"
#include "shell/CMainFrameLogic.h"
#include "store/CPrivateProfile.h"
#include "support/CScriptedUi.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray readFile(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

bool touch(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("RIFF") == 4;
}
} // namespace

class TestExitSequence : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_ini;

    // A frame's settings with one list window, logged in when asked.
    void prepare(CMainFrameLogic& logic, bool loggedIn) {
        QFile::remove(m_ini);
        logic.create(m_ini);
        logic.doc().folder = m_dir.path() + '/';
        logic.doc().folderName = "dl";
        logic.doc().num = 1;
        logic.doc().slotDisp[0] = "留守録BOX：01";
        logic.doc().slotFolderName[0] = "dl";
        logic.doc().loggedIn = loggedIn ? 1 : 0;
    }

private Q_SLOTS:
    void init() { m_ini = m_dir.filePath("KELDA.ini"); }

    void refusedWhileAnOperationHoldsTheWindow() {
        CScriptedUi ui;
        CMainFrameLogic logic;
        prepare(logic, true);
        CExitSequence exit(ui, logic);
        int quits = 0;
        exit.quitLink = [&] { ++quits; };
        ui.mainWindowEnabled = false;
        QCOMPARE(exit.requestClose(), CExitSequence::Outcome::Refused);
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(quits, 0);
        QVERIFY(!QFile::exists(m_ini));
        QVERIFY(!exit.confirmed());
    }

    void declinedLeavesEverythingAsItWas() {
        CScriptedUi ui;
        CMainFrameLogic logic;
        prepare(logic, true);
        CExitSequence exit(ui, logic);
        int quits = 0;
        exit.quitLink = [&] { ++quits; };
        const QString wav = m_dir.filePath("kept.wav");
        QVERIFY(touch(wav));
        exit.wavDeleteQueue() << wav;
        ui.replies.push_back(MsgResult::No);
        QCOMPARE(exit.requestClose(), CExitSequence::Outcome::Declined);
        QCOMPARE(ui.lastMessage()->text, QString("ＱＳ－ＺＵＮＯ音声ファイル管理を終了しますか？"));
        QCOMPARE(ui.lastMessage()->caption, QString("終了確認"));
        QCOMPARE(ui.lastMessage()->buttons, MsgButtons::YesNo);
        QCOMPARE(quits, 0);
        QCOMPARE(logic.doc().loggedIn, 1);
        QVERIFY(!QFile::exists(m_ini));
        QVERIFY(QFile::exists(wav));
        QCOMPARE(exit.wavDeleteQueue().size(), 1);
    }

    void confirmedQuitsSavesSettingsThenPlacementsAndDeletesWavFiles_data() {
        QTest::addColumn<bool>("loggedIn");
        QTest::addColumn<bool>("ownDeleter");
        QTest::newRow("logged in, files removed one by one") << true << false;
        QTest::newRow("logged out, the voice subsystem deletes") << false << true;
    }
    void confirmedQuitsSavesSettingsThenPlacementsAndDeletesWavFiles() {
        QFETCH(bool, loggedIn);
        QFETCH(bool, ownDeleter);
        CScriptedUi ui;
        CMainFrameLogic logic;
        prepare(logic, loggedIn);
        CExitSequence exit(ui, logic);
        QStringList order;
        int loggedInAtQuit = -1;
        int numOnDiskAtPlacements = -1;
        exit.quitLink = [&] {
            loggedInAtQuit = logic.doc().loggedIn;
            order << "quit";
        };
        exit.mainRect = [&] {
            numOnDiskAtPlacements = CPrivateProfile::getInt(m_ini, "DISP", "NUM", -1);
            order << "placements";
            return CWindowPlacement::WinRect{10, 20, 900, 700};
        };
        exit.listPlacements = [] {
            return std::vector<CWindowPlacement::ListPlacement>{{1, {5, 5, 300, 300}, CWindowPlacement::SHOW_NORMAL}};
        };
        const QString wav = m_dir.filePath("played.wav");
        QVERIFY(touch(wav));
        exit.wavDeleteQueue() << wav;
        QStringList handedOver;
        if (ownDeleter) {
            exit.deleteWavFiles = [&](QStringList& queue) {
                order << "wav";
                handedOver = queue;
                queue.clear();
            };
        }
        QCOMPARE(exit.requestClose(), CExitSequence::Outcome::Close);
        QVERIFY(exit.confirmed());
        QCOMPARE(logic.doc().loggedIn, 0);
        QStringList expected;
        if (loggedIn) {
            expected << "quit";
        }
        expected << "placements";
        if (ownDeleter) {
            expected << "wav";
            QCOMPARE(handedOver, QStringList({wav}));
            QVERIFY(QFile::exists(wav));
        } else {
            QVERIFY(!QFile::exists(wav));
        }
        QCOMPARE(order, expected);
        // QUIT goes while the flag still says logged in; the settings are on disk before the placements.
        QCOMPARE(loggedInAtQuit, loggedIn ? 1 : -1);
        QCOMPARE(numOnDiskAtPlacements, 1);
        QVERIFY(exit.wavDeleteQueue().isEmpty());
        QCOMPARE(CPrivateProfile::getString(m_ini, "DISP", "DISP1"), QString("留守録BOX：01"));
        QCOMPARE(CWindowPlacement::readMainRect(m_ini), CWindowPlacement::WinRect({10, 20, 900, 700}));
        QCOMPARE(CPrivateProfile::getInt(m_ini, "Window1", "ZOrder", 0), 1);
        QCOMPARE(CPrivateProfile::getInt(m_ini, "Window1", "Right", 0), 300);
        // Only the question was shown.
        QCOMPARE(ui.messages.size(), 1);

        // Once confirmed, a further request closes without asking or saving again.
        const QByteArray saved = readFile(m_ini);
        logic.doc().num = 0;
        QCOMPARE(exit.requestClose(), CExitSequence::Outcome::Close);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(readFile(m_ini), saved);
    }

    void aSettingsFileThatCannotBeWrittenIsReported() {
        // A folder where the settings file should be: nothing can be saved, and the user is told.
        const QString blocked = m_dir.filePath("blocked/KELDA.ini");
        QVERIFY(QDir().mkpath(blocked));
        CScriptedUi ui;
        CMainFrameLogic logic;
        logic.create(blocked);
        CExitSequence exit(ui, logic);
        QCOMPARE(exit.requestClose(), CExitSequence::Outcome::Close);
        QCOMPARE(ui.messages.size(), 2);
        QCOMPARE(ui.lastMessage()->text, QString("設定ファイル(KELDA.ini)を保存できませんでした。"));
        QCOMPARE(ui.lastMessage()->caption, QString("エラー"));
        QCOMPARE(ui.lastMessage()->icon, MsgIcon::Exclamation);
    }
};

QTEST_GUILESS_MAIN(TestExitSequence)
#include "tst_exitsequence.moc"
