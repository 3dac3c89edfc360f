// What a power cut may leave after a command said it was done: every file the command leaves in the download
// folder was synced after its last write and before it got its name, and the folder that holds the name was
// synced after that, all before the command's last word. The file-system calls of each command are recorded by
// tests/preload/fsrecorder.c, loaded into it; the window's own writes run through the core in a child of this
// test. A refused sync leaves the message as it was.
#include "link/CFtpMng.h"
#include "list/CInfoEditLogic.h"
#include "list/CListModel.h"
#include "operations/CVoiceDownload.h"
#include "settings/CKeldaSession.h"
#include "store/CFileMng.h"
#include "support/CCliRunner.h"
#include "support/CSampleFolder.h"
#include "support/CScriptedUi.h"
#include "support/CZunoSimProcess.h"
#include "voice/CVoiceCommands.h"
#include "voice/CVoiceOutput.h"
#include "voice/CVoicePlayer.h"

#include "CSampleUnit.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

using Run = CCliRunner::Result;

QString keyOf(const struct stat& st) {
    return QStringLiteral("%1:%2").arg(st.st_dev).arg(st.st_ino);
}

// The recorded calls, in the order they happened.
struct FsLog {
    struct Event {
        char op = 0;
        QString key;    // the file's or folder's DEV:INO; for F the device (or "*")
        QString dirKey; // N: the folder that holds the name
        QString name;   // N: the name given (its last part)
    };
    QList<Event> events;
    int lastWord = -1;  // the last line for the person
    int firstDele = -1; // the first deletion sent to the unit

    static FsLog read(const QString& path) {
        FsLog log;
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            return log;
        }
        for (const QByteArray& raw : f.readAll().split('\n')) {
            const QList<QByteArray> w = raw.split(' ');
            if (w.size() < 2 || w[1].size() != 1) {
                continue;
            }
            Event e;
            e.op = w[1][0];
            if (e.op == 'O') {
                log.lastWord = static_cast<int>(log.events.size());
            }
            if (e.op == 'X' && log.firstDele < 0) {
                log.firstDele = static_cast<int>(log.events.size());
            }
            e.key = w.size() > 2 ? QString::fromLatin1(w[2]) : QString();
            if (e.op == 'N' && w.size() > 4) {
                e.dirKey = QString::fromLatin1(w[3]);
                const qsizetype pathAt = w[0].size() + w[1].size() + w[2].size() + w[3].size() + 4;
                e.name = QFileInfo(QFile::decodeName(raw.mid(pathAt))).fileName();
            }
            log.events << e;
        }
        return log;
    }

    // A sync of the file (or folder) key, or of its whole file system, strictly between two events.
    bool syncedBetween(const QString& key, char op, int after, int before) const {
        const QString device = key.section(QLatin1Char(':'), 0, 0);
        for (int i = after + 1; i < before && i < events.size(); ++i) {
            const Event& e = events[i];
            if ((e.op == op && e.key == key) || (e.op == 'F' && (e.key == device || e.key == QLatin1String("*")))) {
                return true;
            }
        }
        return false;
    }

    // What does not hold for one file or folder left at path; checked counts what this run wrote or named.
    void check(const QString& path, QStringList& problems, int& checked) const {
        struct stat st, dir;
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0 ||
            ::stat(QFile::encodeName(QFileInfo(path).path()).constData(), &dir) != 0) {
            return;
        }
        const QString key = keyOf(st);
        const QString name = QFileInfo(path).fileName();
        int naming = -1;
        int lastWrite = -1;
        int writeBeforeNaming = -1;
        for (int i = 0; i < events.size(); ++i) {
            const Event& e = events[i];
            if (e.key != key) {
                continue;
            }
            if (e.op == 'W') {
                lastWrite = i;
            } else if (e.op == 'N' && e.dirKey == keyOf(dir) && e.name == name) {
                naming = i;
                writeBeforeNaming = lastWrite;
            }
        }
        if (naming < 0 && lastWrite < 0) {
            return; // not this run's
        }
        ++checked;
        const int last = std::max(naming, lastWrite);
        const int deadline = lastWord > last ? lastWord : static_cast<int>(events.size());
        if (S_ISREG(st.st_mode)) {
            if (naming >= 0 && writeBeforeNaming >= 0 && !syncedBetween(key, 'S', writeBeforeNaming, naming)) {
                problems << path + ": named before its data was synced";
            }
            if (lastWrite > naming && !syncedBetween(key, 'S', lastWrite, deadline)) {
                problems << path + ": written in place and not synced before the command's last word";
            }
        }
        if (naming >= 0 && !syncedBetween(keyOf(dir), 'D', naming, deadline)) {
            problems << path + ": its folder was not synced after it got its name, before the command's last word";
        }
    }

    // Names given on the way, to files gone by the end: none but a temporary one is given to a file before its
    // data is on the disk, and the move note's folder is synced before any other name is given after it.
    void checkNamesOnTheWay(QStringList& problems) const {
        QHash<QString, int> lastWrite;
        for (int i = 0; i < events.size(); ++i) {
            const Event& e = events[i];
            if (e.op == 'W') {
                lastWrite[e.key] = i;
            }
            if (e.op != 'N' || e.name.endsWith(QLatin1String(".wav")) ||
                (e.name.startsWith(QLatin1String(".kelda-")) && e.name != QLatin1String(".kelda-moving.ini"))) {
                continue;
            }
            if (lastWrite.contains(e.key) && !syncedBetween(e.key, 'S', lastWrite[e.key], i)) {
                problems << e.name + ": named before its data was synced";
            }
            if (e.name == QLatin1String(".kelda-moving.ini")) {
                int next = i + 1;
                while (next < events.size() && events[next].op != 'N') {
                    ++next;
                }
                if (next < events.size() && !syncedBetween(e.dirKey, 'D', i, next)) {
                    problems << e.name + ": a file was moved before the note's folder was synced";
                }
            }
        }
    }

    // The files of a message and their folder are on the disk before the first deletion goes to the unit.
    void checkBeforeDeletion(const QStringList& files, QStringList& problems) const {
        if (firstDele < 0) {
            return;
        }
        for (const QString& path : files) {
            struct stat st, dir;
            if (::stat(QFile::encodeName(path).constData(), &st) != 0 ||
                ::stat(QFile::encodeName(QFileInfo(path).path()).constData(), &dir) != 0) {
                continue;
            }
            if (!syncedBetween(keyOf(st), 'S', -1, firstDele) || !syncedBetween(keyOf(dir), 'D', -1, firstDele)) {
                problems << path + ": not synced before the unit was told to delete it";
            }
        }
    }

    // Every file and folder of the download folder, the folder itself included.
    QStringList checkTree(const QString& dl, int& checked) const {
        QStringList problems;
        checkNamesOnTheWay(problems);
        check(dl, problems, checked);
        QDirIterator it(dl, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            // WAV files are made again from the voice data; the lock file holds nothing.
            if (!path.endsWith(QLatin1String(".wav")) && !path.endsWith(QLatin1String(".kelda-lock"))) {
                check(path, problems, checked);
            }
        }
        return problems;
    }
};

CSampleUnit::Message message(const QString& box, int serial) {
    CSampleUnit::Message m;
    m.boxNo = box;
    m.recorded = QDateTime(QDate(2026, 12, 8), QTime(9, serial, 0));
    m.stem = CSampleUnit::makeStem(m.recorded, serial, box, serial);
    m.callerNo = QStringLiteral("0312345678");
    m.frames = 30;
    m.voiceSeed = static_cast<uint64_t>(serial);
    return m;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// Every byte of every message file and box name file below a folder.
QMap<QString, QByteArray> contentOf(const QString& dl) {
    QMap<QString, QByteArray> all;
    QDirIterator it(dl, {"*.vminf", "*.vmdat", "inf.ini"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        all.insert(path, readAll(path));
    }
    return all;
}

// A sound device that takes everything at once and has played it at once.
class CInstantOutput : public CVoiceOutput {
public:
    bool start() override { return true; }
    qint64 room() const override { return 1 << 20; }
    void write(const int16_t*, qint64) override {}
    qint64 pending() const override { return 0; }
    void discard() override {}
    void setPaused(bool) override {}
    void stop() override {}
    void setVolume(double) override {}
};

// The window's writes of a record, made through the core as the list window makes them, in a child process of this
// test (so that the recorder can be loaded into it): row, the download folder's parent, the message file, the
// unit's port.
int windowWrite(const QString& row, const QString& root, const QString& file, int port) {
    CScriptedUi ui;
    bool ok = false;
    if (row == "list-download") {
        CFtpMng ftp(&ui);
        ftp.setUnitPort(port);
        QString info = file;
        info.replace(QLatin1String(".vmdat"), QLatin1String(".vminf"));
        ok = ftp.ConnectLogin("127.0.0.1", "mirta", "zuno") == CFtpMng::Login::LoggedIn &&
             CVoiceDownload::RunVoiceDownload(ui, ftp, {info}).complete;
    } else if (row == "flag") {
        CKeldaSession doc;
        CSampleFolder::showFirstList(doc, root, QStringLiteral("留守録BOX：0001"));
        CListModel model(doc, 1, ui);
        model.load(CListModel::Load::Fresh);
        ok = model.rowCount() > 0 && model.toggleFlag(0) == 1;
    } else if (row == "edit") {
        CInfoEditLogic logic(ui, file, root);
        logic.entries().memo = QStringLiteral("折り返し電話");
        ui.replies.push_back(MsgResult::Yes);
        ok = logic.accept() == CInfoEditLogic::Outcome::Written;
    } else if (row == "played") {
        FILESTS_INFO rec;
        CFileMng::ReadRecord(file, rec);
        FILESTS_INFO::setText(rec.filePath, file);
        QStringList queue;
        ok = CVoiceCommands::Play(ui, rec, false, queue);
    } else if (row == "player") {
        CInstantOutput out;
        CVoicePlayer player(out);
        player.setPumpInterval(0);
        QObject::connect(&player, &CVoicePlayer::marked, [&ok](CVoicePlayer::MarkResult r, const FILESTS_INFO&) {
            ok = r == CVoicePlayer::MarkResult::Written;
        });
        FILESTS_INFO rec;
        CFileMng::ReadRecord(file, rec);
        FILESTS_INFO::setText(rec.filePath, file);
        player.open(rec);
        player.play();
        for (int i = 0; i < 10000 && player.state() == CVoicePlayer::State::Playing; ++i) {
            player.pump();
        }
    }
    std::fputs(ok ? "done\n" : "not done\n", stderr);
    return ok ? 0 : 1;
}

} // namespace

class TestDurability : public QObject {
    Q_OBJECT

    CZunoSimProcess* sim = nullptr;
    QTemporaryDir* local = nullptr;
    QString dl;
    QString passwordFile;
    CSampleUnit::Message a1, a2, e1;

    QStringList login() const {
        return {"--unit",          "127.0.0.1",  "--port", QString::number(sim->port()), "--user", "mirta",
                "--password-file", passwordFile, "--yes"};
    }
    QString voiceOf(const CSampleUnit::Message& m, const QString& kindBox = "rusuroku/0001") const {
        return dl + "/" + kindBox + "/" + m.stem + ".vmdat";
    }
    // The runner of a recorded command: the recorder loaded, its log in logPath, syncs refused when asked.
    CCliRunner recorded(const QString& logPath, bool refuseSyncs) const {
        CCliRunner runner;
        runner.env.insert("LD_PRELOAD", QStringLiteral(KELDA_FSRECORDER));
        runner.env.insert("KELDA_FSREC_LOG", logPath);
        if (refuseSyncs) {
            runner.env.insert("KELDA_FSREC_FAIL", "sync");
        }
        // A sanitizer build lets the recorder come first.
        runner.env.insert("ASAN_OPTIONS", qEnvironmentVariable("ASAN_OPTIONS") + ":verify_asan_link_order=0");
        return runner;
    }
    // Brings the download folder to a state: "none" (no folder), "boxes" (box folders only), "info" (recording
    // information only), "downloaded".
    void prepare(const QString& state) {
        if (state == "none") {
            return;
        }
        CCliRunner runner;
        QCOMPARE(runner.run(QStringList{"folder-download", dl} + login()).code, 0);
        if (state == "info") {
            QCOMPARE(runner.run(QStringList{"download", dl, "--info-only"} + login()).code, 0);
        }
        if (state == "downloaded") {
            QCOMPARE(runner.run(QStringList{"download", dl} + login()).code, 0);
        }
    }
    // The command's arguments with $DL, $A1, $CSV and $LOGIN filled in.
    QStringList argsOf(const QStringList& pattern) const {
        QStringList args;
        for (const QString& p : pattern) {
            if (p == "$LOGIN") {
                args << login();
            } else {
                args << QString(p)
                            .replace("$DL", dl)
                            .replace("$A1", voiceOf(a1))
                            .replace("$CSV", local->filePath("book.csv"));
            }
        }
        return args;
    }
    Run runRecorded(const QString& window, const QStringList& args, const QString& logPath, bool refuseSyncs) const {
        const CCliRunner runner = recorded(logPath, refuseSyncs);
        if (window.isEmpty()) {
            return runner.run(args);
        }
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (auto it = runner.env.cbegin(); it != runner.env.cend(); ++it) {
            env.insert(it.key(), it.value());
        }
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--window-write", window, local->path(), voiceOf(a1), QString::number(sim->port())});
        child.waitForFinished(60000);
        Run r;
        r.code = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
        r.err = QString::fromUtf8(child.readAllStandardError());
        return r;
    }

private Q_SLOTS:
    void init() {
        sim = new CZunoSimProcess;
        local = new QTemporaryDir;
        dl = local->filePath("dl");
        passwordFile = local->filePath("password");
        QFile f(passwordFile);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("zuno\n");
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QVERIFY(sim->start());
        a1 = message("0001", 1);
        a2 = message("0001", 2);
        e1 = message("0201", 3);
        for (const auto& [kind, m] : {std::pair{QString("rusuroku"), a1}, {"rusuroku", a2}, {"naisen", e1}}) {
            sim->makeBox(kind, m.boxNo);
            QVERIFY(CSampleUnit::writeMessage(sim->root() + "/" + kind + "/" + m.boxNo, m, false));
        }
        sim->makeBox("rusuroku", "0002");
        QFile csv(local->filePath("book.csv"));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("h\nh\n1,0201,Sales,\n");
    }
    void cleanup() {
        delete sim;
        delete local;
    }

    void everyFileIsOnTheDiskBeforeTheCommandReports_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("window"); // a write of the window, made through the core
        QTest::addColumn<QStringList>("args");
        QTest::newRow("folder-download") << "none"
                                         << "" << QStringList{"folder-download", "$DL", "$LOGIN"};
        QTest::newRow("download --info-only") << "boxes"
                                              << "" << QStringList{"download", "$DL", "--info-only", "$LOGIN"};
        QTest::newRow("download") << "boxes"
                                  << "" << QStringList{"download", "$DL", "$LOGIN"};
        QTest::newRow("download --convert") << "boxes"
                                            << "" << QStringList{"download", "$DL", "--convert", "$LOGIN"};
        QTest::newRow("edit") << "downloaded"
                              << "" << QStringList{"edit", "$A1", "--memo", "至急", "--yes"};
        QTest::newRow("box-name") << "downloaded"
                                  << "" << QStringList{"box-name", "$DL", "naisen/0201", "営業", "--yes"};
        QTest::newRow("import-names") << "downloaded"
                                      << "" << QStringList{"import-names", "$DL", "$CSV", "--yes"};
        QTest::newRow("move") << "downloaded"
                              << "" << QStringList{"move", "$DL", "$A1", "--to", "rusuroku/0002", "--yes"};
        QTest::newRow("copy") << "downloaded"
                              << "" << QStringList{"copy", "$DL", "$A1", "--to", "rusuroku/0002", "--yes"};
        QTest::newRow("delete --kind unit") << "downloaded"
                                            << "" << QStringList{"delete", "$DL", "$A1", "--kind", "unit", "$LOGIN"};
        QTest::newRow("verify --repair") << "downloaded"
                                         << "" << QStringList{"verify", "$DL", "--repair", "$LOGIN"};
        QTest::newRow("window: download from the list") << "info"
                                                        << "list-download" << QStringList{};
        QTest::newRow("window: flag toggle") << "downloaded"
                                             << "flag" << QStringList{};
        QTest::newRow("window: played mark of 再生") << "downloaded"
                                                     << "played" << QStringList{};
        QTest::newRow("window: played mark of the player bar") << "downloaded"
                                                               << "player" << QStringList{};
        QTest::newRow("window: 録音情報編集") << "downloaded"
                                              << "edit" << QStringList{};
    }
    void everyFileIsOnTheDiskBeforeTheCommandReports() {
        QFETCH(QString, state);
        QFETCH(QString, window);
        QFETCH(QStringList, args);
        prepare(state);
        if (QTest::currentDataTag() == QByteArray("verify --repair")) {
            // A voice file cut short, which the repair fetches again.
            QVERIFY(QFile::resize(voiceOf(a1), QFileInfo(voiceOf(a1)).size() - 7));
        }
        const QString logPath = local->filePath("calls.log");
        const Run r = runRecorded(window, argsOf(args), logPath, false);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const FsLog log = FsLog::read(logPath);
        QVERIFY2(!log.events.isEmpty(), "nothing was recorded");
        int checked = 0;
        QStringList problems = log.checkTree(dl, checked);
        log.checkBeforeDeletion({voiceOf(a1), QString(voiceOf(a1)).replace(".vmdat", ".vminf")}, problems);
        QCOMPARE(log.firstDele >= 0, args.contains("unit"));
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
        QVERIFY2(checked > 0, "the command left nothing of its own in the download folder");
    }

    // A disk that refuses every sync: the command fails as for a write failure and every message and box name is
    // as it was; nothing is deleted on the unit.
    void aRefusedSyncLeavesEveryMessageAsItWas_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("said");
        QTest::newRow("download") << "boxes"
                                  << "" << QStringList{"download", "$DL", "$LOGIN"} << "通信エラーが発生しました。";
        QTest::newRow("edit") << "downloaded"
                              << "" << QStringList{"edit", "$A1", "--memo", "至急", "--yes"} << "";
        QTest::newRow("box-name") << "downloaded"
                                  << "" << QStringList{"box-name", "$DL", "naisen/0201", "営業", "--yes"} << "";
        QTest::newRow("copy") << "downloaded"
                              << "" << QStringList{"copy", "$DL", "$A1", "--to", "rusuroku/0002", "--yes"}
                              << "コピーできませんでした";
        QTest::newRow("move") << "downloaded"
                              << "" << QStringList{"move", "$DL", "$A1", "--to", "rusuroku/0002", "--yes"}
                              << "移動できませんでした";
        QTest::newRow("delete --kind unit") << "downloaded"
                                            << "" << QStringList{"delete", "$DL", "$A1", "--kind", "unit", "$LOGIN"}
                                            << "ＺＵＮＯの音声メッセージは消去していません。";
        QTest::newRow("window: 録音情報編集") << "downloaded"
                                              << "edit" << QStringList{} << "";
    }
    void aRefusedSyncLeavesEveryMessageAsItWas() {
        QFETCH(QString, state);
        QFETCH(QString, window);
        QFETCH(QStringList, args);
        QFETCH(QString, said);
        prepare(state);
        const QMap<QString, QByteArray> before = contentOf(dl);
        sim->clearTranscript();
        const Run r = runRecorded(window, argsOf(args), local->filePath("calls.log"), true);
        QVERIFY2(r.code == 1, qPrintable(r.err));
        QVERIFY2(r.err.contains(said), qPrintable(r.err));
        QVERIFY(!r.err.contains("完了"));
        QCOMPARE(contentOf(dl), before);
        QCOMPARE(sim->transcript().filter("DELE"), QStringList{});
        // No temporary file is left behind either.
        QDirIterator it(dl, {".kelda-*"}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString left = it.next();
            QVERIFY2(left.endsWith(".kelda-lock"), qPrintable(left));
        }
    }
};

int main(int argc, char** argv) {
    if (argc == 6 && qstrcmp(argv[1], "--window-write") == 0) {
        QCoreApplication app(argc, argv);
        return windowWrite(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                           QString::fromLocal8Bit(argv[4]), QByteArray(argv[5]).toInt());
    }
    QCoreApplication app(argc, argv);
    TestDurability test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_durability.moc"
