// Downloads end to end against the simulated unit: what the user is told, and what is on disk afterwards.
#include "link/CBoxFetch.h"
#include "link/CFtpMng.h"
#include "operations/CBoxDownload.h"
#include "operations/CVoiceDownload.h"
#include "platform/CCancelFlag.h"
#include "platform/CDiskSpace.h"
#include "store/CFileMng.h"
#include "store/CFolderLock.h"
#include "support/CScriptedUi.h"
#include "support/CTestFiles.h"
#include "support/CZunoSimProcess.h"

#include "CSampleUnit.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

namespace {

CSampleUnit::Message message(const QString& box, int serial, int frames = 40) {
    CSampleUnit::Message m;
    m.boxNo = box;
    m.recorded = QDateTime(QDate(2026, 12, 8), QTime(9, serial % 60, 0));
    m.stem = CSampleUnit::makeStem(m.recorded, serial, box, serial);
    m.callerName = QStringLiteral("山田");
    m.callerNo = QStringLiteral("0312345678");
    m.frames = frames;
    m.voiceSeed = static_cast<uint64_t>(serial);
    return m;
}

int countRetr(const QStringList& transcript, const QString& ext) {
    int n = 0;
    for (const QString& line : transcript) {
        n += line.startsWith(QLatin1String("RETR")) && line.endsWith(ext);
    }
    return n;
}

} // namespace

class TestDownloads : public QObject {
    Q_OBJECT

    CZunoSimProcess* sim = nullptr;
    QTemporaryDir* local = nullptr;
    QString dl;

    void unitMessage(const QString& kind, const CSampleUnit::Message& m) {
        sim->makeBox(kind, m.boxNo);
        QVERIFY(CSampleUnit::writeMessage(sim->root() + "/" + kind + "/" + m.boxNo, m, false));
    }
    QString localBox(const QString& kind, const QString& box) {
        const QString p = dl + "/" + kind + "/" + box;
        QDir().mkpath(p);
        return p;
    }
    std::unique_ptr<CFtpMng> login(CScriptedUi& ui) {
        FTP_TIMEOUTS t;
        t.replyByteMs = 3000;
        t.dataChunkMs = 3000;
        t.acceptMs = 3000;
        t.finalReplyMs = 2000;
        auto ftp = std::make_unique<CFtpMng>(&ui, t);
        ftp->setUnitPort(sim->port());
        if (ftp->ConnectLogin("127.0.0.1", "mirta", "zuno") != CFtpMng::Login::LoggedIn) {
            qWarning("login failed");
        }
        sim->clearTranscript();
        return ftp;
    }

private Q_SLOTS:
    void init() {
        CCancelFlag::clear();
        sim = new CZunoSimProcess;
        local = new QTemporaryDir;
        dl = local->filePath("folder1");
        QDir().mkpath(dl + "/rusuroku");
        QDir().mkpath(dl + "/naisen");
        QVERIFY(sim->start());
    }
    void cleanup() {
        delete sim;
        delete local;
        CCancelFlag::clear();
    }

    void bulkDownloadOfBothKinds() {
        const auto a1 = message("0001", 1);
        const auto a2 = message("0001", 2);
        const auto e1 = message("0200", 3);
        unitMessage("rusuroku", a1);
        unitMessage("rusuroku", a2);
        unitMessage("naisen", e1);
        localBox("rusuroku", "0001");
        localBox("naisen", "0200");
        localBox("naisen", "0999"); // no such box on the unit: skipped
        CScriptedUi ui;
        auto ftp = login(ui);
        const CBoxDownload::Outcome r =
            CBoxDownload::RunBoxDownload(ui, *ftp, CBoxDownload::Kind::VoiceAndInfo, true, CBoxDownload::BulkBoxes(dl));
        QCOMPARE(r.last, UnitResult::Done);
        QCOMPARE(ui.messageTexts(), QStringList{"ファイルのダウンロードが正常に完了しました。"});
        for (const auto& [kind, m] : {std::pair{QString("rusuroku"), a1}, {"rusuroku", a2}, {"naisen", e1}}) {
            for (const char* ext : {".vminf", ".vmdat"}) {
                const QString path = dl + "/" + kind + "/" + m.boxNo + "/" + m.stem + ext;
                const QByteArray unit = sim->readFile(kind + "/" + m.boxNo + "/" + m.stem + ext);
                const QByteArray here = CTestFiles::read(path);
                QCOMPARE(here.size(), unit.size() + 990);
                QCOMPARE(here.mid(990), unit);
                FILESTS_INFO rec;
                CFileMng::ReadRecord(path, rec);
                QCOMPARE(FILESTS_INFO::text(rec.callerName), QStringLiteral("山田"));
                QCOMPARE(int(rec.importStatus), QString(ext) == ".vmdat" ? 2 : 0);
            }
        }
        const QStringList t = sim->transcript();
        QVERIFY(t.contains("NLST -l"));
        QCOMPARE(countRetr(t, ".vmdat"), 3);

        // Everything is here now: a second run fetches nothing; with conversion on, the WAV files are made.
        sim->clearTranscript();
        CScriptedUi again;
        ftp->setConvertOnDownload(true);
        QCOMPARE(CBoxDownload::RunBoxDownload(again, *ftp, CBoxDownload::Kind::VoiceAndInfo, true,
                                              CBoxDownload::BulkBoxes(dl))
                     .last,
                 UnitResult::Done);
        QCOMPARE(countRetr(sim->transcript(), "vmdat") + countRetr(sim->transcript(), "vminf"), 0);
        QVERIFY(QFile::exists(dl + "/rusuroku/0001/" + a2.stem + ".wav"));
        QVERIFY(QFile::exists(dl + "/naisen/0200/" + e1.stem + ".wav"));
    }

    void informationOnlyNeverTouchesVoiceData() {
        unitMessage("rusuroku", message("0001", 1));
        unitMessage("rusuroku", message("0001", 2));
        localBox("rusuroku", "0001");
        CScriptedUi ui;
        auto ftp = login(ui);
        QCOMPARE(CBoxDownload::RunBoxDownload(ui, *ftp, CBoxDownload::Kind::InfoOnly, false,
                                              CBoxDownload::SelectedBoxes(dl, {"0001"}, {}))
                     .last,
                 UnitResult::Done);
        QCOMPARE(ui.messageTexts(), QStringList{"ファイルのダウンロードが正常に完了しました。"});
        for (const QString& line : sim->transcript()) {
            QVERIFY2(!line.contains("vmdat"), qPrintable(line));
        }
        QCOMPARE(QDir(dl + "/rusuroku/0001").entryList({"*.vminf"}).size(), 2);
        QCOMPARE(QDir(dl + "/rusuroku/0001").entryList({"*.vmdat"}).size(), 0);
    }

    void voiceFileGoneOnTheUnit() {
        const auto m = message("0001", 1);
        unitMessage("rusuroku", m);
        localBox("rusuroku", "0001");
        sim->setFaults("RETR arg=*.vmdat reply 550 No such file\n");
        CScriptedUi ui;
        auto ftp = login(ui);
        // One message selected: the single-message rules name the erased voice file.
        QCOMPARE(CBoxDownload::RunBoxDownload(ui, *ftp, CBoxDownload::Kind::VoiceAndInfo, false,
                                              CBoxDownload::SelectedBoxes(dl, {"0001"}, {}))
                     .last,
                 UnitResult::FileGoneOnUnit);
        QCOMPARE(ui.messageTexts(), QStringList{"音声ファイルは既に消去されています。"});
        QCOMPARE(ui.messages[0].caption, QStringLiteral("エラー"));
        QVERIFY(QFile::exists(dl + "/rusuroku/0001/" + m.stem + ".vminf"));
        QVERIFY(!QFile::exists(dl + "/rusuroku/0001/" + m.stem + ".vmdat"));
    }

    void aDisconnectKeepsWhatWasComplete() {
        const auto m1 = message("0001", 1);
        const auto m2 = message("0001", 2, 300);
        unitMessage("rusuroku", m1);
        unitMessage("rusuroku", m2);
        localBox("rusuroku", "0001");
        sim->setFaults(QStringLiteral("RETR arg=%1.vmdat drop 1500\n").arg(m2.stem));
        CScriptedUi ui;
        auto ftp = login(ui);
        QCOMPARE(
            CBoxDownload::RunBoxDownload(ui, *ftp, CBoxDownload::Kind::VoiceAndInfo, true, CBoxDownload::BulkBoxes(dl))
                .last,
            UnitResult::CommFailure);
        QCOMPARE(ui.messageTexts(), QStringList{"通信エラーが発生しました。"});
        const QString box = dl + "/rusuroku/0001/";
        QVERIFY(QFile::exists(box + m1.stem + ".vmdat"));
        QVERIFY(QFile::exists(box + m1.stem + ".vminf"));
        QVERIFY(!QFile::exists(box + m2.stem + ".vmdat"));
        QVERIFY(!QFile::exists(box + m2.stem + ".vminf"));
        FILESTS_INFO rec;
        CFileMng::ReadRecord(box + m1.stem + ".vmdat", rec);
        QCOMPARE(FILESTS_INFO::text(rec.callerNo), QStringLiteral("0312345678"));
    }

    void aFileCutShortIsNotKept() {
        const auto m1 = message("0001", 1);
        const auto m2 = message("0001", 2, 100);
        const auto m3 = message("0001", 3);
        for (const auto& m : {m1, m2, m3}) {
            unitMessage("rusuroku", m);
        }
        localBox("rusuroku", "0001");
        const QString box = dl + "/rusuroku/0001/";
        // The unit ends the third message's information file early and still reports the transfer complete.
        sim->setFaults(QStringLiteral("RETR arg=%1.vminf cut-data 100\n").arg(m3.stem));
        CScriptedUi ui;
        // A voice file that grows on the unit after it was listed brings more than the listing said: still whole.
        const QString growing = sim->root() + "/rusuroku/0001/" + m2.stem + ".vmdat";
        bool grown = false;
        ui.onDispatch = [&](int) {
            if (!grown && QFile::exists(box + CBoxFetch::receivingName())) {
                QFile f(growing);
                grown = f.open(QIODevice::Append) && f.write(QByteArray(50, '\x11')) == 50;
            }
        };
        auto ftp = login(ui);
        QCOMPARE(
            CBoxDownload::RunBoxDownload(ui, *ftp, CBoxDownload::Kind::VoiceAndInfo, true, CBoxDownload::BulkBoxes(dl))
                .last,
            UnitResult::CommFailure);
        QVERIFY(grown);
        QCOMPARE(ui.messageTexts(), QStringList{"通信エラーが発生しました。"});
        QCOMPARE(sim->transcript().filter("RETR").size(), 6);
        for (const auto& m : {m1, m2}) {
            for (const char* ext : {".vminf", ".vmdat"}) {
                QCOMPARE(CTestFiles::read(box + m.stem + ext).mid(990), sim->readFile("rusuroku/0001/" + m.stem + ext));
            }
        }
        // Neither half of the cut message stays, and nothing under the receiving name.
        QVERIFY(!QFile::exists(box + m3.stem + ".vminf"));
        QVERIFY(!QFile::exists(box + m3.stem + ".vmdat"));
        QVERIFY(!QFile::exists(box + CBoxFetch::receivingName()));

        // The next run fetches that message whole, and only that one.
        sim->setFaults(QString());
        CScriptedUi again;
        auto ftp2 = login(again);
        QCOMPARE(CBoxDownload::RunBoxDownload(again, *ftp2, CBoxDownload::Kind::VoiceAndInfo, true,
                                              CBoxDownload::BulkBoxes(dl))
                     .last,
                 UnitResult::Done);
        QCOMPARE(sim->transcript().filter("RETR"),
                 QStringList({"RETR " + m3.stem + ".vmdat", "RETR " + m3.stem + ".vminf"}));
        for (const char* ext : {".vminf", ".vmdat"}) {
            QCOMPARE(CTestFiles::read(box + m3.stem + ext).mid(990), sim->readFile("rusuroku/0001/" + m3.stem + ext));
        }
    }

    // A run killed while receiving leaves its receiving file; the next run on this machine removes it, and leaves
    // alone the files of runs that still live or belong to another machine.
    void leftoversOfKilledRunsAreRemoved() {
        unitMessage("rusuroku", message("0001", 1));
        const QString box = localBox("rusuroku", "0001") + "/";
        const pid_t dead = ::fork();
        if (dead == 0) {
            ::_exit(0);
        }
        ::waitpid(dead, nullptr, 0);
        const QString host = QSysInfo::machineHostName();
        const QString gone = QStringLiteral(".kelda-receiving-%1-%2.ini").arg(host).arg(dead);
        const QString living = QStringLiteral(".kelda-receiving-%1-%2.ini").arg(host).arg(::getppid());
        const QString elsewhere = QStringLiteral(".kelda-receiving-other%1-%2.ini").arg(host).arg(dead);
        for (const QString& name : {gone, living, elsewhere}) {
            QFile f(box + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("half a message");
        }
        CScriptedUi ui;
        auto ftp = login(ui);
        QVERIFY(
            CBoxDownload::RunBoxDownload(ui, *ftp, CBoxDownload::Kind::VoiceAndInfo, true, CBoxDownload::BulkBoxes(dl))
                .complete());
        QVERIFY(!QFile::exists(box + gone));
        QVERIFY(QFile::exists(box + living));
        QVERIFY(QFile::exists(box + elsewhere));
    }

    // A folder another operation is changing is not downloaded into: the user is told, the unit is not asked for
    // a file, and nothing arrives.
    void aFolderInUseIsNotDownloadedInto_data() {
        QTest::addColumn<bool>("voiceOnly"); // the list's voice data download, else a bulk download
        QTest::newRow("bulk download") << false;
        QTest::newRow("voice data of a row") << true;
    }
    void aFolderInUseIsNotDownloadedInto() {
        QFETCH(bool, voiceOnly);
        const auto m1 = message("0001", 1);
        unitMessage("rusuroku", m1);
        const QString box = localBox("rusuroku", "0001") + "/";
        CScriptedUi ui;
        auto ftp = login(ui);
        if (voiceOnly) {
            int lines = 0;
            QCOMPARE(ftp->DownloadBoxInfo(box, "/rusuroku/0001", lines, nullptr, nullptr), UnitResult::Done);
            sim->clearTranscript();
        }
        const QStringList before = QDir(box).entryList(QDir::Files | QDir::Hidden);
        CFolderLock other;
        QCOMPARE(other.acquire(dl, 0), CFolderLock::State::Held);
        if (voiceOnly) {
            QVERIFY(!CVoiceDownload::RunVoiceDownload(ui, *ftp, {box + m1.stem + ".vminf"}).complete);
        } else {
            const auto r = CBoxDownload::RunBoxDownload(ui, *ftp, CBoxDownload::Kind::VoiceAndInfo, true,
                                                        CBoxDownload::BulkBoxes(dl));
            QCOMPARE(r.ending, CBoxDownload::Ending::FolderBusy);
            QVERIFY(!r.complete());
        }
        QCOMPARE(ui.messageTexts(), QStringList{CFolderLock::BusyText()});
        QVERIFY(sim->transcript().filter("RETR").isEmpty());
        QCOMPARE(QDir(box).entryList(QDir::Files | QDir::Hidden), before);
    }

    void aFullDisk() {
        unitMessage("rusuroku", message("0001", 1));
        unitMessage("rusuroku", message("0001", 2));
        localBox("rusuroku", "0001");
        CScriptedUi ui;
        auto ftp = login(ui);
        ftp->setFreeSpace([](const QString&) { return qint64(100); });
        QCOMPARE(
            CBoxDownload::RunBoxDownload(ui, *ftp, CBoxDownload::Kind::VoiceAndInfo, true, CBoxDownload::BulkBoxes(dl))
                .last,
            UnitResult::NoDiskSpace);
        QCOMPARE(ui.messageTexts(), QStringList{"ＰＣのメモリ不足です。"});
        QVERIFY(QDir(dl + "/rusuroku/0001").entryList(QDir::Files).isEmpty());
    }

    void cancelRemovesTheMessageInTransfer() {
        const auto m1 = message("0001", 1);
        const auto m2 = message("0001", 2, 400);
        unitMessage("rusuroku", m1);
        unitMessage("rusuroku", m2);
        localBox("rusuroku", "0001");
        const QString box = dl + "/rusuroku/0001/";
        sim->setFaults(QStringLiteral("RETR arg=%1.vmdat stall-data 1024 2\n").arg(m2.stem));
        CScriptedUi ui;
        // Cancel while the second message's voice data is arriving.
        ui.onDispatch = [&](int) {
            if (QFile::exists(box + m1.stem + ".vminf") && QFile::exists(box + CBoxFetch::receivingName())) {
                ui.pressCancel("ダウンロード中");
            }
        };
        auto ftp = login(ui);
        QCOMPARE(
            CBoxDownload::RunBoxDownload(ui, *ftp, CBoxDownload::Kind::VoiceAndInfo, true, CBoxDownload::BulkBoxes(dl))
                .last,
            UnitResult::Cancelled);
        QVERIFY(!QFile::exists(box + CBoxFetch::receivingName()));
        // The run says what came and what it left; the half-received message is not counted.
        QCOMPARE(ui.messageTexts(),
                 QStringList{"ダウンロードを中止しました。\nこのダウンロードで受信したメッセージ：1件\n"
                             "ダウンロードが終わっていないボックス：留守録BOX 0001"});
        QCOMPARE(ui.lastMessage()->caption, QStringLiteral("ダウンロード中止"));
        QVERIFY(QFile::exists(box + m1.stem + ".vmdat"));
        QVERIFY(!QFile::exists(box + m2.stem + ".vmdat"));
        QVERIFY(!QFile::exists(box + m2.stem + ".vminf"));
        const QStringList t = sim->transcript();
        QVERIFY(t.contains("ABOR"));
    }

    // A slow unit takes seconds per voice file; "キャンセル" in the middle of one says so at once, breaks the transfer
    // off well before the file would end, and leaves the control connection answering in step.
    void cancelStopsASlowTransferAtOnce_data() {
        QTest::addColumn<bool>("fromList");
        QTest::newRow("box download") << false;
        QTest::newRow("download from the list") << true;
    }
    void cancelStopsASlowTransferAtOnce() {
        QFETCH(bool, fromList);
        const auto m1 = message("0001", 1);
        const auto m2 = message("0001", 2, 2000); // 20 kB: five seconds at the unit's pace below
        unitMessage("rusuroku", m1);
        unitMessage("rusuroku", m2);
        const QString box = localBox("rusuroku", "0001") + "/";
        sim->setFaults(QStringLiteral("RETR arg=*%1.vmdat slow-data 4000\n").arg(m2.stem));
        CScriptedUi ui;
        auto ftp = login(ui);
        if (fromList) {
            CScriptedUi info;
            QCOMPARE(CBoxDownload::RunBoxDownload(info, *ftp, CBoxDownload::Kind::InfoOnly, true,
                                                  CBoxDownload::BulkBoxes(dl))
                         .last,
                     UnitResult::Done);
        }
        QElapsedTimer sinceArrival;
        QElapsedTimer sincePress;
        ui.onDispatch = [&](int) {
            if (!sinceArrival.isValid() && QFile::exists(box + CBoxFetch::receivingName()) &&
                QFile::exists(box + m1.stem + ".vmdat")) {
                sinceArrival.start();
            }
            if (sinceArrival.isValid() && !sincePress.isValid() && sinceArrival.elapsed() > 700) {
                sincePress.start();
                ui.pressCancel("ダウンロード中");
            }
        };
        if (fromList) {
            CVoiceDownload::RunVoiceDownload(ui, *ftp, {box + m1.stem + ".vminf", box + m2.stem + ".vminf"});
        } else {
            CBoxDownload::RunBoxDownload(ui, *ftp, CBoxDownload::Kind::VoiceAndInfo, true, CBoxDownload::BulkBoxes(dl));
        }
        QVERIFY(sincePress.isValid());
        QVERIFY2(sincePress.elapsed() < 1500, qPrintable(QString::number(sincePress.elapsed())));
        QStringList texts;
        QStringList buttons;
        for (const auto& e : ui.progressEvents) {
            if (e.what == "text") {
                texts << e.value;
            } else if (e.what == "cancel") {
                buttons << e.value;
            }
        }
        QCOMPARE(texts.last(), QStringLiteral("ダウンロードを中止しています。"));
        QCOMPARE(buttons, QStringList{"off"});
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.messageTexts().first().startsWith(
            "ダウンロードを中止しました。\nこのダウンロードで受信したメッセージ：1件"));
        QCOMPARE(CTestFiles::read(box + m1.stem + ".vmdat").mid(990),
                 sim->readFile("rusuroku/0001/" + m1.stem + ".vmdat"));
        QVERIFY(!QFile::exists(box + m2.stem + ".vmdat"));
        QVERIFY(!QFile::exists(box + CBoxFetch::receivingName()));
        const QStringList t = sim->transcript();
        QCOMPARE(t.mid(t.indexOf("ABOR")).value(1), QStringLiteral("PWD"));
        QString reply;
        QCOMPARE(ftp->Connection()->Command(QString("PWD\r\n"), &reply), 0);
        QVERIFY2(reply.startsWith("257 "), qPrintable(reply));
    }

    void voiceDataOfInformationOnlyRows() {
        const auto m1 = message("0001", 1);
        const auto m2 = message("0001", 2);
        const auto m3 = message("0001", 3);
        unitMessage("rusuroku", m1);
        unitMessage("rusuroku", m2);
        unitMessage("rusuroku", m3);
        QVERIFY(QFile::remove(sim->root() + "/rusuroku/0001/" + m3.stem + ".vmdat"));
        localBox("rusuroku", "0001");
        CScriptedUi ui;
        auto ftp = login(ui);
        QCOMPARE(CBoxDownload::RunBoxDownload(ui, *ftp, CBoxDownload::Kind::InfoOnly, true, CBoxDownload::BulkBoxes(dl))
                     .last,
                 UnitResult::Done);
        const QString box = dl + "/rusuroku/0001/";
        // The user edits the first message before fetching its voice data: the edit carries over.
        FILESTS_INFO rec;
        CFileMng::ReadRecord(box + m1.stem + ".vminf", rec);
        FILESTS_INFO::setText(rec.title, QStringLiteral("至急"));
        QCOMPARE(CFileMng::RewriteRecord(rec, box + m1.stem + ".vminf"), CFileMng::WriteResult::Written);

        CScriptedUi list;
        const bool reload =
            CVoiceDownload::RunVoiceDownload(
                list, *ftp, {box + m1.stem + ".vminf", box + m2.stem + ".vminf", box + m3.stem + ".vminf"})
                .reload;
        QVERIFY(reload);
        QCOMPARE(list.messageTexts(),
                 QStringList{"一部の音声ファイルがダウンロードできませんでした\n(音声ファイルなし)。"});
        QCOMPARE(list.messages[0].caption, QStringLiteral("ダウンロード完了"));
        QCOMPARE(list.mainWindowDisables, 1);
        QVERIFY(list.mainWindowEnabled);
        CFileMng::ReadRecord(box + m1.stem + ".vmdat", rec);
        QCOMPARE(FILESTS_INFO::text(rec.title), QStringLiteral("至急"));
        QCOMPARE(int(rec.importStatus), 2);
        QVERIFY(QFile::exists(box + m2.stem + ".vmdat"));
        QVERIFY(!QFile::exists(box + m3.stem + ".vmdat"));

        // Cancelled while fetching again: the voice file that was here stays as it was, and so does a ".tmp" the
        // user keeps beside it (it may be the only good copy left by an interrupted run of an older program).
        const QByteArray before = CTestFiles::read(box + m1.stem + ".vmdat");
        QFile keep(box + m1.stem + ".tmp");
        QVERIFY(keep.open(QIODevice::WriteOnly));
        keep.write("only copy");
        keep.close();
        sim->setFaults("RETR stall-data 100 2\n");
        CScriptedUi cancel;
        auto ftp2 = login(cancel);
        cancel.onDispatch = [&](int) {
            if (QFile::exists(box + CBoxFetch::receivingName())) {
                cancel.pressCancel("ダウンロード中");
            }
        };
        QVERIFY(CVoiceDownload::RunVoiceDownload(cancel, *ftp2, {box + m1.stem + ".vmdat"}).reload);
        QCOMPARE(cancel.messageTexts(),
                 QStringList{"ダウンロードを中止しました。\nこのダウンロードで受信したメッセージ：0件\n"
                             "音声データを受信していない選択メッセージ：1件"});
        QCOMPARE(CTestFiles::read(box + m1.stem + ".vmdat"), before);
        QCOMPARE(CTestFiles::read(box + m1.stem + ".tmp"), QByteArray("only copy"));
        QVERIFY(!QFile::exists(box + CBoxFetch::receivingName()));

        // Fetched again to the end: still the local copy with its edited record.
        sim->setFaults(QString());
        CScriptedUi again;
        QVERIFY(CVoiceDownload::RunVoiceDownload(again, *ftp2, {box + m1.stem + ".vmdat"}).reload);
        QCOMPARE(again.messageTexts(), QStringList{"ファイルのダウンロードが正常に完了しました。"});
        QCOMPARE(CTestFiles::read(box + m1.stem + ".vmdat"), before);
        QVERIFY(!QFile::exists(box + CBoxFetch::receivingName()));

        CScriptedUi none;
        QVERIFY(!CVoiceDownload::RunVoiceDownload(none, *ftp2, {}).reload);
        QCOMPARE(none.messageTexts(), QStringList{"選択されていません。"});
    }

    void targets() {
        const auto t = CVoiceDownload::TargetOf("/d/f/naisen/0200/2026120809000001_0200_0001.vminf");
        QCOMPARE(t.name, QStringLiteral("2026120809000001_0200_0001.vmdat"));
        QCOMPARE(t.boxFolder, QStringLiteral("/d/f/naisen/0200"));
        QCOMPARE(t.boxNo, QStringLiteral("0200"));
        QCOMPARE(t.unitPath, QStringLiteral("/naisen/0200/2026120809000001_0200_0001.vmdat"));
        QCOMPARE(CVoiceDownload::TargetOf("/d/f/rusuroku/01/x.vmdat").unitDir, QStringLiteral("/rusuroku/01"));
    }
};

QTEST_GUILESS_MAIN(TestDownloads)
#include "tst_downloads.moc"
