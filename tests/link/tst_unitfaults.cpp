// The unit and the network misbehaving as they do in the field, against the simulated unit's fault rules: a
// failure is never taken for success, no wait is endless or blind to "キャンセル", and each command reads its own
// answer. Each test names the behaviour it protects.
#include "admin/CFolderTree.h"
#include "link/CBoxFetch.h"
#include "link/CFtpListing.h"
#include "link/CFtpMng.h"
#include "operations/CBoxDownload.h"
#include "operations/CVoiceDownload.h"
#include "platform/CCancelFlag.h"
#include "store/CFileMng.h"
#include "support/CScriptedUi.h"
#include "support/CTestFiles.h"
#include "support/CZunoSimProcess.h"

#include "CSampleUnit.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Login = CFtpMng::Login;

FTP_TIMEOUTS shortTimeouts() {
    FTP_TIMEOUTS t;
    t.replyByteMs = 1500;
    t.dataChunkMs = 600;
    t.acceptMs = 1500;
    t.finalReplyMs = 1000;
    return t;
}

CSampleUnit::Message message(const QString& box, int serial) {
    CSampleUnit::Message m;
    m.boxNo = box;
    m.recorded = QDateTime(QDate(2026, 12, 8), QTime(9, serial % 60, 0));
    m.stem = CSampleUnit::makeStem(m.recorded, serial, box, serial);
    m.callerNo = QStringLiteral("0312345678");
    m.frames = 40;
    m.voiceSeed = static_cast<uint64_t>(serial);
    return m;
}

QStringList boxFolders(const QString& kindFolder) {
    QStringList folders;
    CFileMng::ListSubfolders(kindFolder, folders);
    QStringList names;
    for (const QString& f : folders) {
        names << QFileInfo(f).fileName();
    }
    names.sort();
    return names;
}

} // namespace

class TestUnitFaults : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CZunoSimProcess> sim;
    std::unique_ptr<CScriptedUi> ui;
    std::unique_ptr<CFtpMng> mng;
    std::unique_ptr<QTemporaryDir> local;
    QString dl;

    bool startSim(const QString& faults = QString()) {
        sim = std::make_unique<CZunoSimProcess>();
        sim->setFaults(faults);
        if (!sim->start()) {
            return false;
        }
        mng->setUnitPort(sim->port());
        return true;
    }
    Login login() {
        const Login rc = mng->ConnectLogin("127.0.0.1", "mirta", "zuno");
        sim->clearTranscript();
        return rc;
    }
    FTPCONN_INFO& conn() { return *mng->Connection(); }
    QList<CSampleUnit::Message> unitMessages(const QString& kind, const QString& box, int count) {
        QList<CSampleUnit::Message> out;
        sim->makeBox(kind, box);
        for (int i = 1; i <= count; ++i) {
            out << message(box, i);
            CSampleUnit::writeMessage(sim->root() + "/" + kind + "/" + box, out.last(), false);
        }
        return out;
    }
    QString localBox(const QString& kind, const QString& box) {
        const QString p = dl + "/" + kind + "/" + box + "/";
        QDir().mkpath(p);
        return p;
    }
    int filesIn(const QString& folder) {
        return static_cast<int>(QDir(folder).entryList(QDir::Files | QDir::Hidden).size());
    }
    CFolderTree::UnitTreeSource tree() {
        return [this](QString& root, QString& rusuroku, QString& naisen) {
            return mng->GetUnitTree(root, rusuroku, naisen).result == UnitResult::Done;
        };
    }

private Q_SLOTS:
    void init() {
        ui = std::make_unique<CScriptedUi>();
        mng = std::make_unique<CFtpMng>(ui.get(), shortTimeouts());
        local = std::make_unique<QTemporaryDir>();
        dl = local->filePath("folder1");
        CCancelFlag::clear();
    }
    void cleanup() {
        mng.reset();
        sim.reset();
        local.reset();
        CCancelFlag::clear();
    }

    void aBoxListingThatStallsOrBreaksOffIsACommunicationFailure() {
        QVERIFY(startSim());
        unitMessages("rusuroku", "0001", 12);
        const QString box = localBox("rusuroku", "0001");
        for (const QString& fault :
             {QStringLiteral("NLST arg=-l stall-data 300 1"), QStringLiteral("NLST arg=-l abort-data 300")}) {
            sim->setFaults(fault);
            QCOMPARE(login(), Login::LoggedIn);
            CScriptedUi run;
            const CBoxDownload::Outcome outcome = CBoxDownload::RunBoxDownload(
                run, *mng, CBoxDownload::Kind::VoiceAndInfo, false, CBoxDownload::SelectedBoxes(dl, {"0001"}, {}));
            QVERIFY2(!outcome.complete(), qPrintable(fault));
            QCOMPARE(outcome.last, UnitResult::CommFailure);
            QCOMPARE(run.messageTexts(), QStringList{"通信エラーが発生しました。"});
            QVERIFY(sim->transcript().filter("RETR").isEmpty());
            QCOMPARE(filesIn(box), 0);
        }
        // The link is in step afterwards: the whole listing then brings all 24 files.
        sim->setFaults(QString());
        QCOMPARE(login(), Login::LoggedIn);
        CScriptedUi whole;
        QVERIFY(CBoxDownload::RunBoxDownload(whole, *mng, CBoxDownload::Kind::VoiceAndInfo, false,
                                             CBoxDownload::SelectedBoxes(dl, {"0001"}, {}))
                    .complete());
        QCOMPARE(filesIn(box), 24);
    }

    void aTreeListingThatStallsMakesNoBoxFolders() {
        QVERIFY(startSim("NLST stall-data 6 1"));
        for (const char* b : {"0001", "0002", "0003", "0004"}) {
            sim->makeBox("rusuroku", b);
        }
        QCOMPARE(login(), Login::LoggedIn);
        QDir().mkpath(dl);
        QCOMPARE(CFolderTree::DownloadFolder(dl, tree(), nullptr), false);
        QVERIFY(boxFolders(dl + "/rusuroku").isEmpty());
        QString root, rus, nai;
        QCOMPARE(mng->GetUnitTree(root, rus, nai).result, UnitResult::CommFailure);
    }

    void aNulInANameSpoilsOnlyThatLine() {
        // The box listing: the first file's line is unusable, every file after it is still fetched.
        QVERIFY(startSim("NLST arg=-l nul-in-name 1"));
        const auto messages = unitMessages("rusuroku", "0001", 3);
        const QString box = localBox("rusuroku", "0001");
        QCOMPARE(login(), Login::LoggedIn);
        int lines = 0;
        QCOMPARE(mng->DownloadBox(box, "/rusuroku/0001", lines, nullptr, nullptr), UnitResult::Done);
        QVERIFY(!QFile::exists(box + messages[0].stem + ".vmdat"));
        QVERIFY(QFile::exists(box + messages[0].stem + ".vminf"));
        for (int i = 1; i < 3; ++i) {
            for (const char* ext : {".vmdat", ".vminf"}) {
                QCOMPARE(CTestFiles::read(box + messages[i].stem + ext).mid(990),
                         sim->readFile("rusuroku/0001/" + messages[i].stem + ext));
            }
        }

        // The tree listing: the first box of each kind is unusable, the others are made.
        sim->setFaults("NLST nul-in-name 1");
        for (const char* b : {"0002", "0003"}) {
            sim->makeBox("rusuroku", b);
        }
        for (const char* b : {"0200", "0201"}) {
            sim->makeBox("naisen", b);
        }
        QCOMPARE(login(), Login::LoggedIn);
        const QString folder = local->filePath("folder2");
        QDir().mkpath(folder);
        QCOMPARE(CFolderTree::DownloadFolder(folder, tree(), nullptr), true);
        QCOMPARE(boxFolders(folder + "/rusuroku"), QStringList({"0002", "0003"}));
        QCOMPARE(boxFolders(folder + "/naisen"), QStringList({"0201"}));
    }

    void aTreeListingCutByItsLengthCapIsAFailure() {
        // A 1 MB line before the boxes: the listing is longer than any the unit makes, and what it hides is unknown.
        QVERIFY(startSim("NLST long-line 1100000"));
        sim->makeBox("rusuroku", "0001");
        sim->makeBox("naisen", "0200");
        QCOMPARE(login(), Login::LoggedIn);
        QDir().mkpath(dl);
        QCOMPARE(CFolderTree::DownloadFolder(dl, tree(), nullptr), false);
        QVERIFY(boxFolders(dl + "/naisen").isEmpty());
        QString root, rus, nai;
        QCOMPARE(mng->GetUnitTree(root, rus, nai).result, UnitResult::CommFailure);
        // And the link still answers in step.
        QString text;
        QCOMPARE(conn().Command(QString("NOOP\r\n"), &text), 0);
        QVERIFY2(text.startsWith("200 "), qPrintable(text));
    }

    void aVoiceFileCutShortIsNeverKeptAndIsFetchedAgain() {
        QVERIFY(startSim());
        const auto m = unitMessages("rusuroku", "0001", 1).first();
        const QString box = localBox("rusuroku", "0001");
        QCOMPARE(login(), Login::LoggedIn);
        int lines = 0;
        QCOMPARE(mng->DownloadBoxInfo(box, "/rusuroku/0001", lines, nullptr, nullptr), UnitResult::Done);
        const QString voice = box + m.stem + ".vmdat";
        const QStringList row{box + m.stem + ".vminf"};

        // Half the file and then 226, or a stall and then the rest: neither leaves a voice file.
        for (const QString& fault :
             {QStringLiteral("RETR arg=*.vmdat cut-data 500"), QStringLiteral("RETR arg=*.vmdat stall-data 500 1")}) {
            sim->setFaults(fault);
            QCOMPARE(login(), Login::LoggedIn);
            CScriptedUi run;
            QVERIFY2(!CVoiceDownload::RunVoiceDownload(run, *mng, row).complete, qPrintable(fault));
            QCOMPARE(run.messageTexts(), QStringList{"通信エラーが発生しました。"});
            QVERIFY(!QFile::exists(voice));
        }

        // A voice file an earlier version kept cut short counts as missing: it is fetched whole, its record kept.
        QVERIFY(QFile::copy(box + m.stem + ".vminf", voice));
        FILESTS_INFO rec;
        QCOMPARE(CFileMng::ReadRecord(voice, rec).bytes, FILESTS_INFO::SIZE);
        FILESTS_INFO::setText(rec.title, QStringLiteral("至急"));
        QCOMPARE(CFileMng::RewriteRecord(rec, voice), CFileMng::WriteResult::Written);
        sim->setFaults(QString());
        QCOMPARE(login(), Login::LoggedIn);
        CScriptedUi again;
        QVERIFY(CVoiceDownload::RunVoiceDownload(again, *mng, row).complete);
        QCOMPARE(CTestFiles::read(voice).mid(990), sim->readFile("rusuroku/0001/" + m.stem + ".vmdat"));
        QCOMPARE(CFileMng::ReadRecord(voice, rec).bytes, FILESTS_INFO::SIZE);
        QCOMPARE(FILESTS_INFO::text(rec.title), QStringLiteral("至急"));
    }

    void aBoxDownloadFetchesAVoiceFileCutShortAgain() {
        QVERIFY(startSim());
        const auto messages = unitMessages("rusuroku", "0001", 2);
        const QString box = localBox("rusuroku", "0001");
        QCOMPARE(login(), Login::LoggedIn);
        int lines = 0;
        QCOMPARE(mng->DownloadBoxInfo(box, "/rusuroku/0001", lines, nullptr, nullptr), UnitResult::Done);
        // The first voice file stands there cut short, as a run that trusted a 226 left it.
        const QString cut = box + messages[0].stem + ".vmdat";
        QVERIFY(QFile::copy(box + messages[0].stem + ".vminf", cut));
        QCOMPARE(mng->DownloadBox(box, "/rusuroku/0001", lines, nullptr, nullptr), UnitResult::Done);
        for (const auto& m : messages) {
            QCOMPARE(CTestFiles::read(box + m.stem + ".vmdat").mid(990),
                     sim->readFile("rusuroku/0001/" + m.stem + ".vmdat"));
        }
    }

    void aFailureReplyInTwoPiecesIsReadWhole() {
        QVERIFY(startSim("RETR split-final 300\nRETR abort-data 3000"));
        sim->writeFile("naisen/0101/x.vmdat", QByteArray(20000, 'v'));
        QCOMPARE(login(), Login::LoggedIn);
        conn().localDirectory = local->path();
        QCOMPARE(conn().Retrieve("/naisen/0101/x.vmdat", "x.vmdat", true, true).result, UnitResult::CommFailure);
        QVERIFY2(conn().finalReplyText().startsWith("426 "), conn().finalReplyText().constData());
    }

    void aRetrievalPastItsListedSizeIsBrokenOff() {
        QVERIFY(startSim("RETR endless-data"));
        const auto m = unitMessages("rusuroku", "0001", 1).first();
        const QString box = localBox("rusuroku", "0001");
        QCOMPARE(login(), Login::LoggedIn);
        const qint64 listed = sim->readFile("rusuroku/0001/" + m.stem + ".vmdat").size();
        QCOMPARE(mng->DownloadVoice("/rusuroku/0001/" + m.stem + ".vmdat", box, m.stem + ".vmdat", listed),
                 UnitResult::CommFailure);
        QCOMPARE(filesIn(box), 0);
        QVERIFY(sim->transcript().contains("ABOR"));
        QString text;
        QCOMPARE(conn().Command(QString("NOOP\r\n"), &text), 0);
        QVERIFY2(text.startsWith("200 "), qPrintable(text));
    }

    void dataComesOnlyFromTheUnitsAddress() {
        QVERIFY(startSim("RETR stray-data"));
        const QByteArray data(5000, 'd');
        sim->writeFile("naisen/0101/x.vmdat", data);
        QCOMPARE(login(), Login::LoggedIn);
        conn().localDirectory = local->path();
        QCOMPARE(conn().Retrieve("/naisen/0101/x.vmdat", "x.vmdat", true, true).result, UnitResult::Done);
        QCOMPARE(CTestFiles::read(local->filePath("x.vmdat")), data);
    }

    void aFullDiskWhileWritingIsTheDiskSpaceMessage() {
        QVERIFY(startSim());
        const auto m = unitMessages("rusuroku", "0001", 1).first();
        const QString box = localBox("rusuroku", "0001");
        QCOMPARE(login(), Login::LoggedIn);
        int lines = 0;
        QCOMPARE(mng->DownloadBoxInfo(box, "/rusuroku/0001", lines, nullptr, nullptr), UnitResult::Done);
        // Every write under the receiving name fails for want of space, whatever the free-space check said.
        QVERIFY(QFile::link("/dev/full", box + CBoxFetch::receivingName()));
        CScriptedUi run;
        QVERIFY(!CVoiceDownload::RunVoiceDownload(run, *mng, {box + m.stem + ".vminf"}).complete);
        QCOMPARE(run.messageTexts(), QStringList{"ＰＣのメモリ不足です。"});
        QVERIFY(!QFile::exists(box + m.stem + ".vmdat"));
    }

    void connectingToAnAddressThatDoesNotAnswerEndsWithinTheWait() {
        // A listener whose queue is full lets no connection finish, like an address nobody answers.
        const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        QVERIFY(::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0);
        QVERIFY(::listen(listener, 0) == 0);
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len);
        std::vector<int> fillers;
        for (int i = 0; i < 3; ++i) {
            const int f = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(f, reinterpret_cast<sockaddr*>(&a), sizeof a);
            fillers.push_back(f);
        }
        QTest::qWait(200);
        FTP_TIMEOUTS t = shortTimeouts();
        t.connectMs = 700;
        CFtpMng quick(ui.get(), t);
        quick.setUnitPort(ntohs(a.sin_port));
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(quick.ConnectLogin("127.0.0.1", "mirta", "zuno"), Login::ConnectFailed);
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        // The window was repainted while the connection waited.
        QVERIFY(ui->dispatchCalls >= 3);
        for (int f : fillers) {
            ::close(f);
        }
        ::close(listener);
    }

    void cancelDuringAStalledTransferActsAtOnce() {
        QVERIFY(startSim("RETR stall-data 4096 8"));
        sim->writeFile("naisen/0101/x.vmdat", QByteArray(100000, 'v'));
        FTP_TIMEOUTS t = shortTimeouts();
        t.dataChunkMs = 20000;
        t.replyByteMs = 800;
        mng->setTimeouts(t);
        QCOMPARE(login(), Login::LoggedIn);
        conn().localDirectory = local->path();
        QElapsedTimer clock;
        clock.start();
        qint64 cancelledAt = -1;
        int dispatchesWhileStalled = 0;
        ui->onDispatch = [&](int) {
            if (clock.elapsed() > 500) {
                ++dispatchesWhileStalled;
            }
            if (cancelledAt < 0 && clock.elapsed() > 1000) {
                cancelledAt = clock.elapsed();
                CCancelFlag::set(1);
            }
        };
        QCOMPARE(conn().Retrieve("/naisen/0101/x.vmdat", "x.vmdat", true, false).result, UnitResult::Cancelled);
        QVERIFY(cancelledAt > 0);
        QVERIFY2(clock.elapsed() - cancelledAt < 4000, qPrintable(QString::number(clock.elapsed() - cancelledAt)));
        QVERIFY(dispatchesWhileStalled >= 4);
        // The unit reads the ABOR once its stall is over.
        QTRY_VERIFY_WITH_TIMEOUT(sim->transcript().contains("ABOR"), 12000);
    }

    void cancelWhileTheClosingReplyIsAwaitedActsAtOnce() {
        QVERIFY(startSim("RETR split-final 6000"));
        sim->writeFile("naisen/0101/x.vmdat", QByteArray(3000, 'v'));
        FTP_TIMEOUTS t = shortTimeouts();
        t.finalReplyMs = 20000;
        t.replyByteMs = 800;
        mng->setTimeouts(t);
        QCOMPARE(login(), Login::LoggedIn);
        conn().localDirectory = local->path();
        // The data is all there, but the unit is slow to say so; the user does not wait for it.
        QElapsedTimer clock;
        clock.start();
        ui->onDispatch = [&](int) {
            if (clock.elapsed() > 300) {
                CCancelFlag::set(1);
            }
        };
        QCOMPARE(conn().Retrieve("/naisen/0101/x.vmdat", "x.vmdat", true, true).result, UnitResult::Cancelled);
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    }

    void cancelDuringAStalledListingEndsTheRunAtOnce() {
        QVERIFY(startSim("NLST stall-data 10 6"));
        unitMessages("rusuroku", "0001", 2);
        localBox("rusuroku", "0001");
        FTP_TIMEOUTS t = shortTimeouts();
        t.dataChunkMs = 20000;
        t.replyByteMs = 800;
        mng->setTimeouts(t);
        QCOMPARE(login(), Login::LoggedIn);
        CScriptedUi run;
        QElapsedTimer clock;
        clock.start();
        // The link repaints through the user interface it was given; "キャンセル" is pressed meanwhile.
        ui->onDispatch = [&](int) {
            if (clock.elapsed() > 700) {
                CCancelFlag::set(1);
            }
        };
        const CBoxDownload::Outcome outcome = CBoxDownload::RunBoxDownload(
            run, *mng, CBoxDownload::Kind::VoiceAndInfo, true, CBoxDownload::SelectedBoxes(dl, {"0001"}, {}));
        QCOMPARE(outcome.ending, CBoxDownload::Ending::Cancelled);
        QCOMPARE(run.messageTexts(),
                 QStringList{"ダウンロードを中止しました。\nこのダウンロードで受信したメッセージ：0件\n"
                             "ダウンロードが終わっていないボックス：留守録BOX 0001"});
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    }

    void abortsAnswersAreBothTakenWithTheAbort() {
        // ABOR during a transfer is answered 426 and then 226: both belong to it, not to the commands after it.
        QVERIFY(startSim());
        sim->writeFile("naisen/0101/x.vmdat", QByteArray(4 * 1024 * 1024, 'v'));
        QCOMPARE(login(), Login::LoggedIn);
        conn().localDirectory = local->path();
        ui->onDispatch = [](int n) {
            if (n == 5) {
                CCancelFlag::set(1);
            }
        };
        QCOMPARE(conn().Retrieve("/naisen/0101/x.vmdat", "x.vmdat", true, false).result, UnitResult::Cancelled);
        ui->onDispatch = nullptr;
        CCancelFlag::clear();
        QString text;
        QCOMPARE(conn().Command(QString("NOOP\r\n"), &text), 0);
        QVERIFY2(text.startsWith("200 "), qPrintable(text));
        QCOMPARE(conn().Command(QString("CWD /naisen\r\n"), &text), 0);
        QVERIFY2(text.startsWith("250 "), qPrintable(text));
    }

    void aLateReplyNeverAnswersTheNextCommand() {
        // The unit answers CWD only after the reply wait. The connection is closed at the time-out, so that late
        // answer can answer nothing: the commands after it fail at once, and the probe finds the link lost.
        QVERIFY(startSim("CWD arg=/naisen silence 2\nDELE silence 2"));
        QCOMPARE(login(), Login::LoggedIn);
        QCOMPARE(conn().Command(QString("CWD /naisen\r\n")), -1);
        QCOMPARE(conn().controlSocket, -1);
        QTest::qWait(1000);
        QString text;
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(conn().Command(QString("PWD\r\n"), &text), -1);
        QCOMPARE(mng->Probe(), false);
        QVERIFY(clock.elapsed() < 500);
        QCOMPARE(sim->transcript(), QStringList{"CWD /naisen"});

        // A deletion answered late is a communication failure, and so is the one after it.
        QCOMPARE(login(), Login::LoggedIn);
        sim->writeFile("naisen/0101/x.vminf", "info");
        sim->writeFile("naisen/0101/y.vminf", "info");
        QCOMPARE(mng->DeleteOnUnit(QString(), "/naisen/0101/x.vminf").result, UnitResult::CommFailure);
        QTest::qWait(1000);
        QCOMPARE(mng->DeleteOnUnit(QString(), "/naisen/0101/y.vminf").result, UnitResult::CommFailure);
        QVERIFY(sim->exists("naisen/0101/y.vminf"));
        QCOMPARE(sim->transcript().filter("DELE"), QStringList{"DELE /naisen/0101/x.vminf"});
    }

    void boxNamesWithCommasOrBlanksAreNotMadeIntoBoxFolders() {
        QVERIFY(startSim());
        for (const char* b : {"01", "1 2", "0,3", "04"}) {
            sim->makeBox("rusuroku", b);
        }
        QCOMPARE(login(), Login::LoggedIn);
        QDir().mkpath(dl);
        QCOMPARE(CFolderTree::DownloadFolder(dl, tree(), nullptr), true);
        QCOMPARE(boxFolders(dl + "/rusuroku"), QStringList({"01", "04"}));
        QCOMPARE(CFtpListing::boxNumbers("01\r\n1 2\r\n0,3\r\n\t5\r\n04"), QStringList({"01", "04"}));
    }
};

QTEST_GUILESS_MAIN(TestUnitFaults)
#include "tst_unitfaults.moc"
