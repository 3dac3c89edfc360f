// The unit link's dialogue with the simulated unit: what is sent (by transcript) and what is concluded.
#include "link/CFtpListing.h"
#include "link/CFtpMng.h"
#include "platform/CCancelFlag.h"
#include "platform/CProgressDlg.h"
#include "support/CScriptedUi.h"
#include "support/CTestFiles.h"
#include "support/CZunoSimProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Count = CUnitBoxOps::Count;
using Files = CUnitBoxOps::Files;
using Login = CFtpMng::Login;
using Reply = UnitReply;

const QString kStem = QStringLiteral("20261208101500_0001_000001");
const QString kStem2 = QStringLiteral("20261208101600_0001_000002");

FTP_TIMEOUTS shortTimeouts() {
    FTP_TIMEOUTS t;
    t.replyByteMs = 1500;
    t.dataChunkMs = 1500;
    t.acceptMs = 1500;
    t.finalReplyMs = 1000;
    return t;
}

QByteArray pattern(int size) {
    QByteArray b(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i) {
        b[i] = static_cast<char>((i * 7 + i / 251) & 0xff);
    }
    return b;
}

// Descriptors this process holds open; a socket left behind shows up here.
int openDescriptors() {
    DIR* d = ::opendir("/proc/self/fd");
    if (!d) {
        return -1;
    }
    int n = 0;
    while (::readdir(d)) {
        ++n;
    }
    ::closedir(d);
    return n;
}

} // namespace

class TestFtpConn : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CZunoSimProcess> sim;
    std::unique_ptr<CScriptedUi> ui;
    std::unique_ptr<CFtpMng> mng;
    QTemporaryDir local;

    bool startSim(const QString& faults = QString()) {
        sim = std::make_unique<CZunoSimProcess>();
        sim->setFaults(faults);
        if (!sim->start()) {
            return false;
        }
        mng->setUnitPort(sim->port());
        return true;
    }
    Login login() { return mng->ConnectLogin("127.0.0.1", "mirta", "zuno"); }
    FTPCONN_INFO& conn() { return *mng->Connection(); }

private Q_SLOTS:
    void init() {
        ui = std::make_unique<CScriptedUi>();
        mng = std::make_unique<CFtpMng>(ui.get(), shortTimeouts());
        CCancelFlag::clear();
    }
    void cleanup() {
        mng.reset();
        sim.reset();
        CCancelFlag::clear();
    }

    void portComesFromServicesUnlessOverridden() {
        mng->setUnitPort(0);
        QCOMPARE(mng->unitPort(), 21);
        mng->setUnitPort(2121);
        QCOMPARE(mng->unitPort(), 2121);
    }

    void loginSendsUserThenPass() {
        QVERIFY(startSim());
        QCOMPARE(login(), Login::LoggedIn);
        QCOMPARE(sim->transcript(), QStringList({"USER mirta", "PASS zuno"}));
        QVERIFY(conn().localDirectory.endsWith('/'));
        QCOMPARE(mng->Quit(), 0);
        QVERIFY(!mng->Connection());
        QTRY_COMPARE(sim->transcript().last(), QString("QUIT"));
    }

    void loginFailures() {
        QVERIFY(startSim());
        QCOMPARE(mng->ConnectLogin("127.0.0.1", "mirta", "wrong"), Login::LoginRefused);
        QCOMPARE(sim->transcript(), QStringList({"USER mirta", "PASS wrong"}));
        // A refused login keeps the connection until the next attempt, which closes it first.
        QVERIFY(mng->Connection());
        QCOMPARE(login(), Login::LoggedIn);

        QCOMPARE(mng->ConnectLogin("", "mirta", "zuno"), Login::ConnectFailed);
        QCOMPARE(mng->ConnectLogin("999.1.1.1", "mirta", "zuno"), Login::ConnectFailed);

        // Nobody listening on the port: connection refused.
        int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        QVERIFY(::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0);
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
        ::close(s);
        mng->setUnitPort(ntohs(a.sin_port));
        QCOMPARE(login(), Login::ConnectFailed);
    }

    void greetingFailures() {
        // Closed before any greeting: an empty line, a connection failure.
        QVERIFY(startSim("greeting hangup"));
        QCOMPARE(login(), Login::ConnectFailed);
        // The greeting arrives and then the unit hangs up: the greeting was fine, so it is the login that fails.
        sim->setFaults("greeting close");
        QCOMPARE(login(), Login::LoginRefused);
        QVERIFY(sim->transcript().isEmpty());
        sim->setFaults("greeting raw 421 Too many users");
        QCOMPARE(login(), Login::ConnectFailed);
        sim->setFaults("greeting silence 5");
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(login(), Login::ConnectFailed);
        QVERIFY(clock.elapsed() < 4000);
    }

    void replyCodes() {
        // A server that answers USER with 230 still gets PASS; OK without digits counts as success.
        QVERIFY(startSim("USER reply 230\nPWD raw OK"));
        QCOMPARE(login(), Login::LoggedIn);
        QCOMPARE(sim->transcript(), QStringList({"USER mirta", "PASS zuno"}));
        QString text;
        QCOMPARE(conn().Command(QString("PWD\r\n"), &text), 0);
        QCOMPARE(text, QString("OK"));
        QCOMPARE(conn().Command(QString("SITE X\r\n"), &text), 502);
        QCOMPARE(conn().Command(QString("CWD /nowhere\r\n")), 550);

        // A reply of several lines counts by its code, whole.
        sim->setFaults("USER raw 331-Password required\\r\\n331 go on\nPASS multiline");
        QCOMPARE(login(), Login::LoggedIn);
        QCOMPARE(conn().Command(QString("PWD\r\n"), &text), 0);
        QVERIFY2(text.startsWith("257 "), qPrintable(text));
    }

    void whatARefusalMeans_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<FTPCONN_INFO::Asked>("asked");
        QTest::addColumn<UnitResult>("result");
        QTest::addColumn<int>("replyCode");
        using Asked = FTPCONN_INFO::Asked;
        QTest::newRow("accepted") << 0 << Asked::File << UnitResult::Done << 0;
        QTest::newRow("no answer") << -1 << Asked::BoxDirectory << UnitResult::CommFailure << 0;
        QTest::newRow("file not there") << 550 << Asked::File << UnitResult::FileGoneOnUnit << 550;
        QTest::newRow("box directory not there") << 550 << Asked::BoxDirectory << UnitResult::NoBoxDirectory << 550;
        QTest::newRow("nothing to list") << 550 << Asked::Listing << UnitResult::Done << 550;
        QTest::newRow("root with nothing") << 550 << Asked::Other << UnitResult::Refused << 550;
        QTest::newRow("file in use") << 450 << Asked::File << UnitResult::FileInUse << 450;
        QTest::newRow("directory busy") << 450 << Asked::BoxDirectory << UnitResult::Refused << 450;
        QTest::newRow("listing refused") << 500 << Asked::Listing << UnitResult::Refused << 500;
        QTest::newRow("file refused") << 530 << Asked::File << UnitResult::Refused << 530;
    }

    void whatARefusalMeans() {
        QFETCH(int, code);
        QFETCH(FTPCONN_INFO::Asked, asked);
        QFETCH(UnitResult, result);
        QFETCH(int, replyCode);
        QCOMPARE(FTPCONN_INFO::Classify(code, asked), (Reply{result, replyCode}));
    }

    void aReplyEndsAtTheLineThatRepeatsItsCode_data() {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("one line") << "CWD raw 250 ok" << 0 << "250 ok";
        QTest::newRow("two lines") << "CWD raw 250-Deleting\\r\\n250 ok" << 0 << "250-Deleting";
        QTest::newRow("lines between") << "CWD raw 250-a\\r\\n b\\r\\n250-c\\r\\n2500 d\\r\\n250 done" << 0 << "250-a";
        QTest::newRow("the code alone ends it") << "CWD raw 250-a\\r\\n250" << 0 << "250-a";
        QTest::newRow("refused in two lines") << "CWD raw 550-No\\r\\n550 such directory" << 550 << "550-No";
        QTest::newRow("bare LF in the text")
            << "CWD raw 250 moved\\n550 not an answer" << 0 << "250 moved\n550 not an answer";
        QTest::newRow("never completed") << "CWD raw 250-Deleting" << -1 << "";
        QTest::newRow("another code does not end it") << "CWD raw 250-a\\r\\n251 b" << -1 << "";
        QTest::newRow("a bare LF starts no line") << "CWD raw 250-a\\n250 b" << -1 << "";
        QString endless = "CWD raw 250-start";
        for (int i = 0; i < 700; ++i) {
            endless += "\\r\\n" + QString(100, QChar('x'));
        }
        QTest::newRow("longer than any reply") << endless << -1 << "";
    }
    void aReplyEndsAtTheLineThatRepeatsItsCode() {
        QFETCH(QString, rule);
        QFETCH(int, code);
        QFETCH(QString, text);
        QVERIFY(startSim(rule));
        QCOMPARE(login(), Login::LoggedIn);
        sim->clearTranscript();
        QString got;
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(conn().Command(QString("CWD /naisen\r\n"), &got), code);
        if (code >= 0) {
            QCOMPARE(got, text);
            // Nothing of the reply is left to answer the next command.
            QCOMPARE(conn().Command(QString("NOOP\r\n"), &got), 0);
            QVERIFY2(got.startsWith("200 "), qPrintable(got));
            return;
        }
        // No whole reply: the connection is not trusted again, so nothing that comes later answers anything.
        QCOMPARE(conn().controlSocket, -1);
        clock.restart();
        QCOMPARE(conn().Command(QString("NOOP\r\n"), &got), -1);
        QVERIFY(clock.elapsed() < 500);
        QCOMPARE(mng->Probe(), false);
        QTest::qWait(100);
        QCOMPARE(sim->transcript(), QStringList{"CWD /naisen"});
    }

    void theRestOfAMultiLineReplyNeverAnswersTheNextCommand() {
        QVERIFY(startSim("USER multiline"));
        QCOMPARE(login(), Login::LoggedIn);
        // USER was answered by the first line; the lines after it are dropped before PASS goes out, so every
        // command that follows reads its own answer.
        QString text;
        QCOMPARE(conn().Command(QString("PWD\r\n"), &text), 0);
        QVERIFY2(text.startsWith("257 "), qPrintable(text));
        QCOMPARE(conn().Command(QString("NOOP\r\n"), &text), 0);
        QVERIFY2(text.startsWith("200 "), qPrintable(text));
    }

    void anOverlongReplyIsOneReply() {
        const QString tail(90, QChar('x'));
        QVERIFY(startSim("USER raw 331 " + QString(506, QChar('y')) + tail));
        QCOMPARE(login(), Login::LoggedIn);
        // USER kept the first 510 characters and its line's tail went with it; PASS read its own 230.
        QString text;
        QCOMPARE(conn().Command(QString("PWD\r\n"), &text), 0);
        QCOMPARE(text, QString("257 \"/\" is the current directory."));

        QVERIFY(conn().SendLine("PWD\r\n") > 0);
        QCOMPARE(conn().ReadReplyLine(text, 10), 9);
        QCOMPARE(text, QString("257 \"/\" i"));
        QCOMPARE(conn().Command(QString("NOOP\r\n"), &text), 0);
        QVERIFY2(text.startsWith("200 "), qPrintable(text));
    }

    void listings() {
        QVERIFY(startSim());
        sim->writeFile("rusuroku/0001/" + kStem + ".vminf", pattern(256));
        sim->writeFile("rusuroku/0001/" + kStem + ".vmdat", pattern(1000));
        sim->writeFile("rusuroku/0001/" + kStem2 + ".vminf", pattern(256));
        sim->writeFile("rusuroku/0001/" + kStem2 + ".vmdat", pattern(4096));
        sim->makeBox("rusuroku", "0002");
        sim->makeBox("naisen", "0101");
        QCOMPARE(login(), Login::LoggedIn);
        sim->clearTranscript();

        QString text;
        QCOMPARE(conn().ListNames("/rusuroku/0001", Files::Info, text).result, UnitResult::Done);
        QCOMPARE(CFtpListing::normalisedLines(text), QStringList({kStem + "vminf", kStem2 + "vminf"}));
        QCOMPARE(sim->transcript(), QStringList({"CWD /rusuroku/0001", "PORT", "NLST *.vminf"}));

        // An empty box: NLST is answered 550, which is an empty listing.
        QCOMPARE(conn().ListNames("/rusuroku/0002", Files::All, text).result, UnitResult::Done);
        QVERIFY(text.isEmpty());
        QCOMPARE(conn().ListNames("/rusuroku/0009", Files::All, text).result, UnitResult::NoBoxDirectory);

        qint64 bytes = 0;
        sim->clearTranscript();
        QCOMPARE(conn().ListLong("/rusuroku/0001", Files::Voice, text, bytes).result, UnitResult::Done);
        QCOMPARE(sim->transcript(), QStringList({"CWD /rusuroku/0001", "PORT", "NLST -l *.vmdat"}));
        QCOMPARE(bytes, text.size() * 2);
        const QStringList lines = CFtpListing::normalisedLines(text);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(CFtpListing::longName(lines[0]), kStem + ".vmdat");
        QCOMPARE(CFtpListing::longSize(lines[0]), 1000);
        QCOMPARE(CFtpListing::spaceNeeded(CFtpListing::longSize(lines[0])), 4096);
        QCOMPARE(CFtpListing::longName(lines[1]), kStem2 + ".vmdat");
        QCOMPARE(CFtpListing::longSize(lines[1]), 4096);
        QCOMPARE(CFtpListing::spaceNeeded(4096), 8192);
        QCOMPARE(conn().ListLong("/naisen/0999", Files::All, text, bytes).result, UnitResult::NoBoxDirectory);
        QCOMPARE(conn().ListLong("/naisen/0101", Files::All, text, bytes).result, UnitResult::Done);
        QVERIFY(text.isEmpty());

        QCOMPARE(mng->CountBoxFiles("/rusuroku/0001", local.path(), Files::All), (Count{UnitResult::Done, 4}));
        QCOMPARE(conn().localDirectory, local.path());
        QCOMPARE(mng->CountBoxFiles("/rusuroku/0001", QString(), Files::Voice), (Count{UnitResult::Done, 2}));
        QCOMPARE(mng->CountBoxFiles("/rusuroku/0002", QString(), Files::All), (Count{UnitResult::Done, 0}));
        QCOMPARE(mng->CountBoxFiles("/rusuroku/0003", QString(), Files::All), (Count{UnitResult::NoBoxDirectory, 0}));

        // The tree: back to the root first (the simulated unit refuses to climb above it), then three lists.
        sim->clearTranscript();
        QString rootText, rus, nai;
        QCOMPARE(mng->GetUnitTree(rootText, rus, nai), Reply{});
        QCOMPARE(sim->transcript(), QStringList({"CWD ../", "CWD ../", "CWD ../", "PORT", "NLST", "CWD /rusuroku",
                                                 "PORT", "NLST", "CWD /naisen", "PORT", "NLST"}));
        QCOMPARE(CFtpListing::normalisedLines(rootText), QStringList({"naisen", "rusuroku"}));
        QCOMPARE(CFtpListing::boxNumbers(rus), QStringList({"0001", "0002"}));
        QCOMPARE(CFtpListing::boxNumbers(nai), QStringList({"0101"}));

        // A refused PORT: both listings pass the code on.
        sim->setFaults("PORT reply 500 refused");
        QCOMPARE(login(), Login::LoggedIn);
        QCOMPARE(conn().ListNames("/rusuroku/0001", Files::All, text), (Reply{UnitResult::Refused, 500}));
        QCOMPARE(conn().ListLong("/rusuroku/0001", Files::All, text, bytes), (Reply{UnitResult::Refused, 500}));
        QCOMPARE(conn().listenSocket, -1);
    }

    void treeWithAKindWithoutBoxes() {
        QVERIFY(startSim("session=2 times=1 NLST reply 550 Nothing here"));
        sim->makeBox("rusuroku", "0001");
        sim->makeBox("rusuroku", "0002");
        QCOMPARE(login(), Login::LoggedIn);
        // No extension boxes: the unit answers the listing of /naisen 550, as for any directory with nothing in it.
        QCOMPARE(conn().Command(QString("CWD /naisen\r\n")), 0);
        QCOMPARE(conn().Command(QString("NLST\r\n")), 550);
        sim->clearTranscript();
        QString rootText, rus, nai = QStringLiteral("stale");
        QCOMPARE(mng->GetUnitTree(rootText, rus, nai), Reply{});
        QCOMPARE(sim->transcript(), QStringList({"CWD ../", "CWD ../", "PORT", "NLST", "CWD /rusuroku", "PORT", "NLST",
                                                 "CWD /naisen", "PORT", "NLST"}));
        QCOMPARE(CFtpListing::boxNumbers(rus), QStringList({"0001", "0002"}));
        QVERIFY(nai.isEmpty());
        QCOMPARE(conn().listenSocket, -1);

        // No answering-machine boxes: the extension boxes are still listed.
        QVERIFY(QDir(sim->root() + "/rusuroku/0001").removeRecursively());
        QVERIFY(QDir(sim->root() + "/rusuroku/0002").removeRecursively());
        sim->makeBox("naisen", "0200");
        QCOMPARE(mng->GetUnitTree(rootText, rus, nai), Reply{});
        QVERIFY(rus.isEmpty());
        QCOMPARE(CFtpListing::boxNumbers(nai), QStringList({"0200"}));

        // A root with nothing to list is no unit at all, and a kind directory that is missing stays a failure.
        QCOMPARE(login(), Login::LoggedIn);
        QCOMPARE(mng->GetUnitTree(rootText, rus, nai), (Reply{UnitResult::Refused, 550}));
        QVERIFY(QDir(sim->root() + "/naisen").removeRecursively());
        QCOMPARE(mng->GetUnitTree(rootText, rus, nai), (Reply{UnitResult::Refused, 550}));
        QCOMPARE(sim->transcript().mid(sim->transcript().lastIndexOf("CWD /naisen")), QStringList({"CWD /naisen"}));
    }

    void listingsThatOutgrowTheCap() {
        // A unit that streams a listing without end: each listing is broken off at the cap with ABOR and fails.
        QVERIFY(startSim("times=3 NLST endless-data"));
        sim->writeFile("rusuroku/0001/" + kStem + ".vminf", pattern(256));
        sim->writeFile("rusuroku/0001/" + kStem + ".vmdat", pattern(1000));
        sim->makeBox("naisen", "0200");
        QCOMPARE(login(), Login::LoggedIn);
        conn().maxListingBytes = 64 * 1024;
        sim->clearTranscript();
        QString text;
        qint64 bytes = 0;
        QCOMPARE(conn().ListNames("/rusuroku/0001", Files::All, text).result, UnitResult::CommFailure);
        QCOMPARE(sim->transcript(), QStringList({"CWD /rusuroku/0001", "PORT", "NLST", "ABOR", "PWD"}));
        QCOMPARE(conn().ListLong("/rusuroku/0001", Files::Voice, text, bytes).result, UnitResult::CommFailure);
        QString rootText, rus, nai;
        QCOMPARE(mng->GetUnitTree(rootText, rus, nai), (Reply{UnitResult::CommFailure, 0}));
        QCOMPARE(sim->transcript().mid(5),
                 QStringList({"CWD /rusuroku/0001", "PORT", "NLST -l *.vmdat", "ABOR", "PWD", "CWD ../", "CWD ../",
                              "CWD ../", "PORT", "NLST", "ABOR", "PWD"}));
        QCOMPARE(conn().dataSocket, -1);
        QCOMPARE(conn().listenSocket, -1);
        // The unit's answers to each aborted transfer went with it: the next command reads its own answer.
        QCOMPARE(conn().Command(QString("CWD /naisen\r\n"), &text), 0);
        QVERIFY2(text.startsWith("250 "), qPrintable(text));
        QCOMPARE(conn().ListNames("/rusuroku/0001", Files::Info, text).result, UnitResult::Done);
        QCOMPARE(CFtpListing::normalisedLines(text), QStringList({kStem + "vminf"}));

        // A listing exactly as long as the cap is whole; one byte over is not.
        const int whole = 2 * (CFtpListing::kNameLength + 2);
        conn().maxListingBytes = whole;
        QCOMPARE(conn().ListNames("/rusuroku/0001", Files::All, text).result, UnitResult::Done);
        QCOMPARE(text.size(), whole);
        conn().maxListingBytes = whole - 1;
        QCOMPARE(conn().ListNames("/rusuroku/0001", Files::All, text).result, UnitResult::CommFailure);
        QCOMPARE(conn().Command(QString("PWD\r\n"), &text), 0);
        QCOMPARE(text, QString("257 \"/rusuroku/0001\" is the current directory."));
    }

    void retrieve() {
        QVERIFY(startSim());
        const QByteArray data = pattern(5 * 1024 + 17);
        sim->writeFile("naisen/0101/" + kStem + ".vmdat", data);
        QCOMPARE(login(), Login::LoggedIn);
        conn().localDirectory = local.path();
        QCOMPARE(conn().Command(QString("CWD /naisen/0101\r\n")), 0);
        sim->clearTranscript();

        CProgressDlg progress(*ui, ProgressLook{QStringLiteral("ダウンロード中"), {}, {}, 0, 100000, true, {}});
        conn().chunkCounter = 40;
        QCOMPARE(conn().Retrieve(kStem + ".vmdat", true, false, &progress).result, UnitResult::Done);
        QCOMPARE(sim->transcript(), QStringList({"PORT", "RETR " + kStem + ".vmdat"}));
        QCOMPARE(CTestFiles::read(local.filePath(kStem + ".vmdat")), data);
        QCOMPARE(conn().bytesReceived, data.size());
        QCOMPARE(conn().chunkCounter, 6);
        QCOMPARE(progress.position(), 6);

        // Silent, without resetting: no reports, the counter stays.
        QCOMPARE(conn().Retrieve("/naisen/0101/" + kStem + ".vmdat", "copy.vmdat", false, true).result,
                 UnitResult::Done);
        QCOMPARE(conn().chunkCounter, 6);
        QCOMPARE(QFileInfo(local.filePath("copy.vmdat")).size(), data.size());

        // Missing file: the code, and no local file.
        QCOMPARE(conn().Retrieve(kStem2 + ".vmdat", true, false), (Reply{UnitResult::FileGoneOnUnit, 550}));
        QVERIFY(!QFile::exists(local.filePath(kStem2 + ".vmdat")));
        QCOMPARE(conn().listenSocket, -1);

        // Local names that would leave the folder are refused before anything is asked.
        sim->clearTranscript();
        QCOMPARE(conn().Retrieve(kStem + ".vmdat", "../escape.vmdat", true, true).result, UnitResult::CommFailure);
        QCOMPARE(conn().Retrieve(kStem + ".vmdat", "..", true, true).result, UnitResult::CommFailure);
        QVERIFY(sim->transcript().isEmpty());

        // A size that is a whole number of chunks, and an empty file.
        sim->writeFile("naisen/0101/" + kStem2 + ".vminf", pattern(4096));
        QCOMPARE(conn().Retrieve(kStem2 + ".vminf", true, false).result, UnitResult::Done);
        QCOMPARE(conn().chunkCounter, 4);
        QCOMPARE(QFileInfo(local.filePath(kStem2 + ".vminf")).size(), 4096);
    }

    void retrieveCancelled() {
        QVERIFY(startSim());
        sim->writeFile("naisen/0101/" + kStem + ".vmdat", pattern(4 * 1024 * 1024));
        QCOMPARE(login(), Login::LoggedIn);
        conn().localDirectory = local.path();
        sim->clearTranscript();
        ui->onDispatch = [](int n) {
            if (n == 5) {
                CCancelFlag::set(1);
            }
        };
        QCOMPARE(conn().Retrieve("/naisen/0101/" + kStem + ".vmdat", kStem + ".vmdat", true, false).result,
                 UnitResult::Cancelled);
        const QStringList t = sim->transcript();
        QCOMPARE(t.mid(0, 2), QStringList({"PORT", "RETR /naisen/0101/" + kStem + ".vmdat"}));
        QCOMPARE(t.mid(2), QStringList({"ABOR", "PWD"}));
        // The partial file stays for the caller to remove.
        QCOMPARE(QFileInfo(local.filePath(kStem + ".vmdat")).size(), 4 * 1024);
        QCOMPARE(conn().dataSocket, -1);
        QCOMPARE(conn().listenSocket, -1);
        // The link is still usable afterwards.
        CCancelFlag::clear();
        ui->onDispatch = nullptr;
        QCOMPARE(conn().Command(QString("NOOP\r\n")), 0);
    }

    void transferFailures() {
        QVERIFY(startSim("RETR drop 3000"));
        sim->writeFile("naisen/0101/" + kStem + ".vmdat", pattern(20000));
        QCOMPARE(login(), Login::LoggedIn);
        conn().localDirectory = local.path();
        // The unit drops both connections mid-file: no closing reply, so the transfer failed.
        QCOMPARE(conn().Retrieve("/naisen/0101/" + kStem + ".vmdat", kStem + ".vmdat", true, true).result,
                 UnitResult::CommFailure);

        // A data connection that goes silent ends the file; the closing reply then decides.
        sim->setFaults("RETR stall-data 2048 3");
        QCOMPARE(login(), Login::LoggedIn);
        conn().localDirectory = local.path();
        QCOMPARE(conn().Retrieve("/naisen/0101/" + kStem + ".vmdat", kStem + ".vmdat", true, true).result,
                 UnitResult::CommFailure);

        // The unit ends the data early and says so: the partial file is not a success.
        sim->setFaults("RETR abort-data 3000");
        QCOMPARE(login(), Login::LoggedIn);
        conn().localDirectory = local.path();
        QCOMPARE(conn().Retrieve("/naisen/0101/" + kStem + ".vmdat", kStem + ".vmdat", true, true).result,
                 UnitResult::CommFailure);
        QVERIFY(conn().finalReplyText().startsWith("426 "));
        QCOMPARE(QFileInfo(local.filePath(kStem + ".vmdat")).size(), 3000);
        // Cut short but answered 226: nothing to tell it from a whole file.
        sim->setFaults("RETR cut-data 3000");
        QCOMPARE(login(), Login::LoggedIn);
        conn().localDirectory = local.path();
        QCOMPARE(conn().Retrieve("/naisen/0101/" + kStem + ".vmdat", kStem + ".vmdat", true, true).result,
                 UnitResult::Done);
    }

    void aTransferIsWholeOnlyWhenItsClosingReplySaysSo_data() {
        QTest::addColumn<QString>("closing");
        QTest::addColumn<bool>("whole");
        QTest::newRow("226") << "" << true;
        QTest::newRow("250") << "final 250 Closing data connection" << true;
        QTest::newRow("226 in two lines") << "final 226 -Closing\\r\\n226 done" << true;
        QTest::newRow("451") << "final 451 Local error" << false;
        QTest::newRow("200") << "final 200 Whatever" << false;
        QTest::newRow("250 never completed") << "final 250 -Closing" << false;
    }
    void aTransferIsWholeOnlyWhenItsClosingReplySaysSo() {
        QFETCH(QString, closing);
        QFETCH(bool, whole);
        const QString rules = closing.isEmpty() ? QString() : "RETR " + closing + "\nNLST " + closing;
        QVERIFY(startSim(rules));
        const QByteArray data = pattern(3000);
        sim->writeFile("naisen/0101/" + kStem + ".vmdat", data);
        QCOMPARE(login(), Login::LoggedIn);
        conn().localDirectory = local.path();
        QCOMPARE(conn().Retrieve("/naisen/0101/" + kStem + ".vmdat", kStem + ".vmdat", true, true).result,
                 whole ? UnitResult::Done : UnitResult::CommFailure);
        QCOMPARE(CTestFiles::read(local.filePath(kStem + ".vmdat")), data);
        QCOMPARE(login(), Login::LoggedIn);
        QString text;
        QCOMPARE(conn().ListNames("/naisen/0101", Files::All, text).result,
                 whole ? UnitResult::Done : UnitResult::CommFailure);
        if (whole) {
            QCOMPARE(CFtpListing::normalisedLines(text), QStringList{kStem + "vmdat"});
            QCOMPARE(conn().Command(QString("NOOP\r\n"), &text), 0);
            QVERIFY2(text.startsWith("200 "), qPrintable(text));
        }
    }

    void deleteOnUnit() {
        QVERIFY(startSim("DELE arg=*busy* reply 450 in use"));
        sim->writeFile("naisen/0101/" + kStem + ".vmdat", pattern(10));
        QCOMPARE(mng->DeleteOnUnit(QString(), "/naisen/0101/x"), (Reply{UnitResult::CommFailure, 0}));
        QCOMPARE(login(), Login::LoggedIn);
        QCOMPARE(conn().Command(QString("CWD /naisen/0101\r\n")), 0);
        sim->clearTranscript();
        QCOMPARE(mng->DeleteOnUnit(local.path(), "/naisen/0101/" + kStem + ".vmdat"), Reply{});
        QCOMPARE(sim->transcript(),
                 QStringList({"CWD ../", "CWD ../", "CWD ../", "DELE /naisen/0101/" + kStem + ".vmdat"}));
        QVERIFY(!sim->exists("naisen/0101/" + kStem + ".vmdat"));
        QCOMPARE(mng->DeleteOnUnit(QString(), "/naisen/0101/" + kStem + ".vmdat"),
                 (Reply{UnitResult::FileGoneOnUnit, 550}));
        QCOMPARE(mng->DeleteOnUnit(QString(), "/naisen/0101/busy.vmdat"), (Reply{UnitResult::FileInUse, 450}));
    }

    void probe() {
        QVERIFY(startSim("session=2 PORT reply 500 no\nsession=3 PORT silence 3"));
        QCOMPARE(mng->Probe(), false);
        QCOMPARE(login(), Login::LoggedIn);
        sim->clearTranscript();
        QCOMPARE(mng->Probe(), true);
        QCOMPARE(sim->transcript(), QStringList({"PORT"}));
        QCOMPARE(conn().listenSocket, -1);

        // Refused PORT: the unit answered, so it is alive.
        QCOMPARE(login(), Login::LoggedIn);
        QCOMPARE(mng->Probe(), true);

        // No answer within the wait: lost.
        QCOMPARE(login(), Login::LoggedIn);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(mng->Probe(), false);
        QVERIFY(clock.elapsed() >= 1400);
        QCOMPARE(conn().listenSocket, -1);
    }

    void listenerClosedWhenTheUnitNeverConnects() {
        // The unit accepts the transfer command but never connects back: every attempt fails after the accept wait
        // and gives its listening socket back.
        QVERIFY(startSim("NLST no-connect\nRETR no-connect"));
        sim->writeFile("rusuroku/0001/" + kStem + ".vminf", pattern(256));
        FTP_TIMEOUTS t = shortTimeouts();
        t.acceptMs = 150;
        mng->setTimeouts(t);
        QCOMPARE(login(), Login::LoggedIn);
        conn().localDirectory = local.path();
        sim->clearTranscript();
        const int before = openDescriptors();
        QVERIFY(before > 0);
        QString text;
        qint64 bytes = 0;
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(mng->CountBoxFiles("/rusuroku/0001", local.path(), Files::All),
                     (Count{UnitResult::CommFailure, 0}));
            QCOMPARE(conn().listenSocket, -1);
            QCOMPARE(conn().ListNames("/rusuroku/0001", Files::Info, text).result, UnitResult::CommFailure);
            QCOMPARE(conn().ListLong("/rusuroku/0001", Files::All, text, bytes).result, UnitResult::CommFailure);
            QCOMPARE(conn().Retrieve(kStem + ".vminf", true, true).result, UnitResult::CommFailure);
            QCOMPARE(conn().listenSocket, -1);
            QCOMPARE(openDescriptors(), before);
        }
        QCOMPARE(sim->transcript().mid(0, 10),
                 QStringList({"CWD /rusuroku/0001", "PORT", "NLST", "CWD /rusuroku/0001", "PORT", "NLST *.vminf",
                              "CWD /rusuroku/0001", "PORT", "NLST -l", "PORT"}));
        QCOMPARE(sim->transcript().size(), 33);
        QVERIFY(!QFile::exists(local.filePath(kStem + ".vminf")));
        // Every command still gets its own answer.
        QCOMPARE(conn().Command(QString("NOOP\r\n"), &text), 0);
        QVERIFY2(text.startsWith("200 "), qPrintable(text));

        // A listening socket somehow still open when the next one is made is closed, not forgotten.
        conn().listenSocket = ::socket(AF_INET, SOCK_STREAM, 0);
        QVERIFY(conn().listenSocket >= 0);
        QCOMPARE(mng->Probe(), true);
        QCOMPARE(conn().listenSocket, -1);
        QCOMPARE(openDescriptors(), before);
    }

    void quitOnDroppedConnection() {
        QVERIFY(startSim());
        QCOMPARE(login(), Login::LoggedIn);
        sim->stop();
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(mng->Probe(), false);
        QCOMPARE(mng->Quit(), 0);
        QVERIFY(!mng->Connection());
        QVERIFY(clock.elapsed() < 1000);
        QCOMPARE(mng->Quit(), -1);

        // A unit that no longer answers holds QUIT up for one reply wait at most.
        QVERIFY(startSim("QUIT silence 5"));
        QCOMPARE(login(), Login::LoggedIn);
        clock.restart();
        QCOMPARE(mng->Quit(), 0);
        QVERIFY(clock.elapsed() < 3000);
        QTRY_COMPARE(sim->transcript().last(), QString("QUIT"));
    }

    void concurrentSessions() {
        // The simulated unit serves overlapping sessions, so a test may hold two clients at once.
        QVERIFY(startSim());
        sim->writeFile("naisen/0101/" + kStem + ".vminf", pattern(300));
        CFtpMng other(ui.get(), shortTimeouts());
        other.setUnitPort(sim->port());
        QCOMPARE(login(), Login::LoggedIn);
        QCOMPARE(other.ConnectLogin("127.0.0.1", "parvol", "zuno"), Login::LoggedIn);
        QCOMPARE(other.CountBoxFiles("/naisen/0101", QString(), Files::Info), (Count{UnitResult::Done, 1}));
        QCOMPARE(mng->CountBoxFiles("/naisen/0101", QString(), Files::All), (Count{UnitResult::Done, 1}));
        QCOMPARE(other.Quit(), 0);
        QCOMPARE(mng->Quit(), 0);
        QTRY_COMPARE(sim->transcript().count("QUIT"), 2);
    }
};

QTEST_GUILESS_MAIN(TestFtpConn)
#include "tst_ftpconn.moc"
