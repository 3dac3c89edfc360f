// Message deletion against the simulated unit: the messages shown, the files left on disk and what the unit was
// sent.
#include "link/CFtpMng.h"
#include "operations/CBoxDownload.h"
#include "operations/CDelKindSetLogic.h"
#include "operations/CMsgCopy.h"
#include "operations/CMsgDelete.h"
#include "settings/CKeldaSession.h"
#include "store/CFileMng.h"
#include "store/CFolderLock.h"
#include "support/CSampleFolder.h"
#include "support/CScriptedUi.h"
#include "support/CZunoSimProcess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Msgs = QList<RESULT_MESSAGE>;

RESULT_MESSAGE err(const QString& text) {
    return {text, QStringLiteral("エラー"), MsgIcon::Exclamation};
}
RESULT_MESSAGE fine(const QString& text) {
    return {text, QStringLiteral("消去完了"), MsgIcon::Information};
}
const QString kDone = QStringLiteral("音声メッセージの消去が正常に完了しました。");
const QString kNotDownloaded = QStringLiteral("音声ファイルがダウンロードされて\nいません。");
const QString kNoMessage = QStringLiteral("音声メッセージがありません。\nまたは｢保護｣に設定されています。");

Msgs shown(const CScriptedUi& ui) {
    Msgs out;
    for (const auto& m : ui.messages) {
        out << RESULT_MESSAGE{m.text, m.caption, m.icon};
    }
    return out;
}

QString stem(const QString& path) {
    return path.left(path.size() - 6);
}

} // namespace

Q_DECLARE_METATYPE(CMsgDelete::Summary)

class TestMsgDelete : public QObject {
    Q_OBJECT

    CZunoSimProcess* sim = nullptr;
    QTemporaryDir* local = nullptr;
    QString dl;

    // A downloaded message: X.vminf and X.vmdat on the PC, the same names on the unit. Returns the record.
    FILESTS_INFO downloaded(const QString& kind, const QString& box, int seq, int protect = 0, bool onUnit = true) {
        return downloadedAs(kind, box, box, seq, false, protect, onUnit);
    }
    // The same in the box folder kind/box, its name carrying nameBox in one of the two name forms.
    FILESTS_INFO downloadedAs(const QString& kind, const QString& box, const QString& nameBox, int seq, bool padded,
                              int protect = 0, bool onUnit = true) {
        CSampleFolder::Message m;
        m.protect = protect;
        m.paddedBox = padded;
        const QString folder = dl + "/" + kind + "/" + box;
        const QString vmdat = CSampleFolder::writeMessage(folder, nameBox, seq, m);
        m.voice = false;
        CSampleFolder::writeMessage(folder, nameBox, seq, m);
        const QString name = QFileInfo(stem(vmdat)).fileName();
        if (onUnit) {
            sim->writeFile(kind + "/" + box + "/" + name + ".vminf", "info");
            sim->writeFile(kind + "/" + box + "/" + name + ".vmdat", "voice");
        }
        FILESTS_INFO rec;
        CFileMng::ReadRecord(vmdat, rec);
        return rec;
    }
    FILESTS_INFO infoOnly(const QString& kind, const QString& box, int seq) {
        CSampleFolder::Message m;
        m.voice = false;
        const QString vminf = CSampleFolder::writeMessage(dl + "/" + kind + "/" + box, box, seq, m);
        sim->writeFile(kind + "/" + box + "/" + QFileInfo(vminf).fileName(), "info");
        FILESTS_INFO rec;
        CFileMng::ReadRecord(vminf, rec);
        return rec;
    }
    static QString pathOf(const FILESTS_INFO& rec) { return FILESTS_INFO::text(rec.filePath); }
    static QString nameOf(const FILESTS_INFO& rec) { return QFileInfo(stem(pathOf(rec))).fileName(); }
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
    CMsgDelete::Summary run(CScriptedUi& ui, CMsgDelete::Kind kind, const std::vector<FILESTS_INFO>& rows) {
        auto ftp = login(ui);
        return CMsgDelete::Run(ui, kind, rows, dl + "/", CMsgDelete::Through(*ftp));
    }
    QStringList deles() const { return sim->transcript().filter(QRegularExpression("^DELE ")); }

private Q_SLOTS:
    void init() {
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
    }

    void resultMessages_data() {
        QTest::addColumn<CMsgDelete::Summary>("summary");
        QTest::addColumn<Msgs>("expected");
        CMsgDelete::Summary s;
        s.selected = 1;
        s.deleted = 1;
        QTest::newRow("one done") << s << Msgs{fine(kDone)};
        s.inUse = true;
        s.inUseBox = "2001";
        s.inUseExtension = true;
        s.notDownloaded = true;
        QTest::newRow("one busy extension first")
            << s << Msgs{err("内線BOX2001の音声メッセージは\n使用中のため消去できません。")};
        s.inUseExtension = false;
        QTest::newRow("one busy answering")
            << s << Msgs{err("留守録BOX2001の音声メッセージは\n使用中のため消去できません。")};
        s = {};
        s.selected = 3;
        s.deleted = 2;
        s.inUse = s.notDownloaded = s.noMessage = true;
        QTest::newRow("some deleted, every flag")
            << s
            << Msgs{fine("一部の音声メッセージが消去できませんでした。\n(音声メッセージ使用中)。"),
                    fine("一部の音声メッセージが消去できませんでした。\n(音声ファイル未ダウンロード)。"),
                    fine("一部の音声メッセージが消去できませんでした。\n(音声メッセージなし または｢保護｣)。")};
        s.deleted = 0;
        QTest::newRow("none deleted, every flag")
            << s << Msgs{err("音声メッセージは使用中のため\n消去できません。"), err(kNotDownloaded), err(kNoMessage)};
        s = {};
        s.selected = 2;
        s.deleted = 3;
        s.undeletable = 1;
        QTest::newRow("a file stayed") << s << Msgs{err(CMsgDelete::UndeletableText(false))};
        s.keptOnUnit = 1;
        QTest::newRow("a file stayed, so did the message on the unit")
            << s << Msgs{err(CMsgDelete::UndeletableText(false, true))};
        s.linkError = true;
        QTest::newRow("link error has its own") << s << Msgs{};
        s = {};
        s.selected = 1;
        s.noMessage = true;
        QTest::newRow("one protected") << s << Msgs{err(kNoMessage)};
        s = {};
        s.selected = 2;
        s.deleted = 2;
        s.unmarked = QStringList{"/d/f/rusuroku/0001/x.vmdat"};
        QTest::newRow("a record not marked")
            << s
            << Msgs{err("ＺＵＮＯの音声メッセージは消去しましたが、\n録音情報を更新できませんでした。\n"
                        "/d/f/rusuroku/0001/x.vmdat")};
        s.deleted = 1;
        s.inUse = true;
        QTest::newRow("one busy, one not marked")
            << s
            << Msgs{fine("一部の音声メッセージが消去できませんでした。\n(音声メッセージ使用中)。"),
                    err(CMsgDelete::UnmarkedText(s.unmarked))};
    }
    void resultMessages() {
        QFETCH(CMsgDelete::Summary, summary);
        QFETCH(Msgs, expected);
        QCOMPARE(CMsgDelete::ResultMessages(summary), expected);
        // kelda-cli's exit status follows completed(), which must agree with the completion message shown.
        QCOMPARE(summary.completed(), !expected.isEmpty() && expected.last().text == CMsgDelete::DoneText());
    }

    void unitPathsComeOnlyFromMessageNames_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("unitPath");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("sameBox");
        const QString name = "2026120810000001_0001_0001";
        QTest::newRow("answering") << "/d/f/rusuroku/0001/" + name + ".vmdat"
                                   << "/rusuroku/0001/" + name + ".vminf" << true << true;
        QTest::newRow("extension") << "/d/f/naisen/0001/" + name + ".vmdat"
                                   << "/naisen/0001/" + name + ".vminf" << true << true;
        QTest::newRow("naisen higher up") << "/naisen/f/rusuroku/0001/" + name + ".vmdat"
                                          << "/rusuroku/0001/" + name + ".vminf" << true << true;
        QTest::newRow("moved") << "/d/f/rusuroku/0002/" + name + ".vmdat"
                               << "/rusuroku/0002/" + name + ".vminf" << true << false;
        QTest::newRow("line break in box") << "/d/f/rusuroku/0\r\n1/" + name + ".vmdat"
                                           << "/rusuroku/0\r\n1/" + name + ".vminf" << false << false;
        QTest::newRow("short name") << "/d/f/rusuroku/0001/x_0001_abcdefghijk.vmdat"
                                    << "/rusuroku/0001/x_0001_abcdefghijk.vminf" << false << false;
        QTest::newRow("padded box") << "/d/f/rusuroku/12/2026120810000001_R12__0001.vmdat"
                                    << "/rusuroku/12/2026120810000001_R12__0001.vminf" << true << true;
        QTest::newRow("short box") << "/d/f/rusuroku/12/2026120810000001_12_000001.vmdat"
                                   << "/rusuroku/12/2026120810000001_12_000001.vminf" << true << true;
        QTest::newRow("short box moved") << "/d/f/rusuroku/12/2026120810000001_1_0000001.vmdat"
                                         << "/rusuroku/12/2026120810000001_1_0000001.vminf" << true << false;
    }
    void unitPathsComeOnlyFromMessageNames() {
        QFETCH(QString, path);
        QFETCH(QString, unitPath);
        QFETCH(bool, valid);
        QFETCH(bool, sameBox);
        const auto t = CMsgDelete::UnitTargetOf(path);
        QCOMPARE(t.path, unitPath);
        QCOMPARE(t.valid, valid);
        QCOMPARE(t.sameBox, sameBox);
    }

    void kindDialogUnitButtonsFollowTheLink() {
        CScriptedUi ui;
        CKeldaSession doc;
        doc.loggedIn = 0;
        CDelKindSetLogic logic(ui, doc);
        logic.tick();
        QVERIFY(!logic.unitButtonsEnabled());
        QCOMPARE(logic.choose(CMsgDelete::Kind::UnitOnly), DlgOutcome::Stay);
        QCOMPARE(logic.choose(CMsgDelete::Kind::UnitAndPc), DlgOutcome::Stay);
        QVERIFY(ui.messages.isEmpty());
        ui.replies = {MsgResult::No, MsgResult::Yes};
        QCOMPARE(logic.choose(CMsgDelete::Kind::PcOnly), DlgOutcome::Stay);
        QCOMPARE(logic.choose(CMsgDelete::Kind::PcOnly), DlgOutcome::EndOk);
        QCOMPARE(logic.kind(), CMsgDelete::Kind::PcOnly);
        QCOMPARE(ui.messages[0].text, QString("消去します。よろしいですか？"));
        QCOMPARE(ui.messages[0].caption, QString("消去の確認"));
        QCOMPARE(ui.messages[0].buttons, MsgButtons::YesNo);

        doc.loggedIn = 1;
        CDelKindSetLogic online(ui, doc);
        online.tick();
        QVERIFY(online.unitButtonsEnabled());
        doc.loggedIn = 0; // logged out while the dialog is open: the next tick greys the buttons
        online.tick();
        QVERIFY(!online.unitButtonsEnabled());
    }

    // An operation's last word waits for the person; the download folder is free by then, so that a nightly run
    // beside the window is not held up by a message nobody has answered.
    void theFolderIsFreeWhileTheLastWordWaits_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("lastWord");
        QTest::newRow("delete on the PC") << "delete pc" << kDone;
        QTest::newRow("delete on the unit") << "delete unit" << kDone;
        QTest::newRow("delete, link lost") << "delete unit, no link"
                                           << "通信エラーが発生しました。";
        QTest::newRow("copy") << "copy"
                              << "音声メッセージのコピーが正常に完了しました。";
        QTest::newRow("move") << "move"
                              << "音声メッセージの移動が正常に完了しました。";
        QTest::newRow("box download") << "download"
                                      << "ファイルのダウンロードが正常に完了しました。";
    }
    void theFolderIsFreeWhileTheLastWordWaits() {
        QFETCH(QString, operation);
        QFETCH(QString, lastWord);
        const FILESTS_INFO rec = downloaded("rusuroku", "0001", 1);
        QDir().mkpath(dl + "/rusuroku/0002");
        CScriptedUi ui;
        QStringList heldWhile;
        ui.onMessage = [&](const QString& text, MsgButtons buttons) {
            CFolderLock other;
            if (buttons == MsgButtons::Ok && other.acquire(dl, 0) != CFolderLock::State::Held) {
                heldWhile << text;
            }
        };
        if (operation.startsWith("delete")) {
            auto ftp = login(ui);
            if (operation.endsWith("no link")) {
                sim->stop();
            }
            CMsgDelete::Run(ui, operation.contains("pc") ? CMsgDelete::Kind::PcOnly : CMsgDelete::Kind::UnitOnly, {rec},
                            dl + "/", CMsgDelete::Through(*ftp));
        } else if (operation == "copy" || operation == "move") {
            CMsgCopy copy(ui, [](const QString&) { return OverwriteAnswer::No; });
            copy.Run(operation == "copy" ? CMsgCopy::Kind::Copy : CMsgCopy::Kind::Move, "rusuroku/0002", {rec}, dl);
        } else {
            sim->makeBox("rusuroku", "0002");
            sim->writeFile("rusuroku/0002/2026120809000000_0002_0001.vminf", QByteArray(256, '\0'));
            auto ftp = login(ui);
            CBoxDownload::RunBoxDownload(ui, *ftp, CBoxDownload::Kind::InfoOnly, true, CBoxDownload::BulkBoxes(dl));
        }
        QVERIFY2(!ui.messages.isEmpty(), "no last word");
        // The last word may go on with what was done; it begins with the operation's own text.
        QVERIFY2(ui.messages.last().text.startsWith(lastWord), qPrintable(ui.messages.last().text));
        QVERIFY2(heldWhile.isEmpty(), qPrintable(heldWhile.join(" / ")));
    }

    void noRowSelected() {
        CScriptedUi ui;
        CMsgDelete::Run(ui, CMsgDelete::Kind::UnitOnly, {}, dl + "/", [](const QString&, const QString&) {
            qFatal("nothing may be sent");
            return UnitResult::CommFailure;
        });
        QCOMPARE(shown(ui), Msgs{err("選択されていません。")});
        QVERIFY(ui.progressEvents.isEmpty());
    }

    void neverDownloadedRowIsLeftOnBothSides_data() {
        QTest::addColumn<CMsgDelete::Kind>("kind");
        QTest::newRow("unit only") << CMsgDelete::Kind::UnitOnly;
        QTest::newRow("unit and PC") << CMsgDelete::Kind::UnitAndPc;
    }
    void neverDownloadedRowIsLeftOnBothSides() {
        QFETCH(CMsgDelete::Kind, kind);
        const FILESTS_INFO rec = infoOnly("rusuroku", "0001", 1);
        CScriptedUi ui;
        run(ui, kind, {rec});
        QCOMPARE(shown(ui), Msgs{err(kNotDownloaded)});
        QVERIFY(deles().isEmpty());
        QVERIFY(QFile::exists(pathOf(rec)));
        QVERIFY(sim->exists("rusuroku/0001/" + QFileInfo(pathOf(rec)).fileName()));
    }

    void unitOnlyDeletesTheInformationFileAndMarksTheRecord() {
        const FILESTS_INFO rec = downloaded("rusuroku", "0001", 1);
        QFile before(pathOf(rec));
        QVERIFY(before.open(QIODevice::ReadOnly));
        const QByteArray bytes = before.readAll();
        before.close();
        CScriptedUi ui;
        const auto s = run(ui, CMsgDelete::Kind::UnitOnly, {rec});
        QCOMPARE(deles(), QStringList{"DELE /rusuroku/0001/" + nameOf(rec) + ".vminf"});
        QCOMPARE(shown(ui), Msgs{fine(kDone + "\n消去した音声メッセージ：1件（ＺＵＮＯのみ）")});
        QCOMPARE(s.deleted, 1);
        QVERIFY(!sim->exists("rusuroku/0001/" + nameOf(rec) + ".vminf"));
        QVERIFY(QFile::exists(pathOf(rec)));
        QVERIFY(QFile::exists(stem(pathOf(rec)) + ".vminf"));
        FILESTS_INFO after;
        CFileMng::ReadRecord(pathOf(rec), after);
        QCOMPARE(int(after.importStatus), 3);
        // Only the status byte changed; the voice data and the rest of the record are as they were.
        QFile now(pathOf(rec));
        QVERIFY(now.open(QIODevice::ReadOnly));
        QByteArray expected = bytes;
        expected[2] = 3;
        QCOMPARE(now.readAll(), expected);
        QVERIFY(ui.mainWindowEnabled);
        QCOMPARE(ui.progressEvents.first().value, QString("音声メッセージを消去中です。"));
        QVERIFY(!ui.hasOpenProgress("消去中"));
    }

    void shortBoxNumbersInEitherNameForm_data() {
        QTest::addColumn<CMsgDelete::Kind>("kind");
        QTest::addColumn<QString>("unitKind");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("nameBox");
        QTest::addColumn<bool>("padded");
        QTest::addColumn<bool>("sent");
        for (const auto& [kindName, kind] :
             {std::pair{"unit", CMsgDelete::Kind::UnitOnly}, std::pair{"both", CMsgDelete::Kind::UnitAndPc}}) {
            for (const char* unitKind : {"rusuroku", "naisen"}) {
                const QString box = QString(unitKind) == "rusuroku" ? "02" : "201";
                for (const bool padded : {true, false}) {
                    QTest::addRow("%s %s %s", kindName, unitKind, padded ? "padded" : "short")
                        << kind << unitKind << box << box << padded << true;
                }
            }
        }
        // A message moved from box 01 into 02 carries 01 by either reading: never deleted on the unit.
        QTest::newRow("unit moved padded") << CMsgDelete::Kind::UnitOnly << "rusuroku"
                                           << "02"
                                           << "01" << true << false;
        QTest::newRow("unit moved short") << CMsgDelete::Kind::UnitOnly << "rusuroku"
                                          << "02"
                                          << "01" << false << false;
        QTest::newRow("unit moved extension") << CMsgDelete::Kind::UnitOnly << "naisen"
                                              << "21"
                                              << "201" << false << false;
    }
    void shortBoxNumbersInEitherNameForm() {
        QFETCH(CMsgDelete::Kind, kind);
        QFETCH(QString, unitKind);
        QFETCH(QString, box);
        QFETCH(QString, nameBox);
        QFETCH(bool, padded);
        QFETCH(bool, sent);
        const FILESTS_INFO rec = downloadedAs(unitKind, box, nameBox, 7, padded);
        const QString onUnit = unitKind + "/" + box + "/" + nameOf(rec) + ".vminf";
        CScriptedUi ui;
        run(ui, kind, {rec});
        if (!sent) {
            QVERIFY(deles().isEmpty());
            QCOMPARE(shown(ui), Msgs{err(kNoMessage)});
            QVERIFY(sim->exists(onUnit));
            FILESTS_INFO after;
            CFileMng::ReadRecord(pathOf(rec), after);
            QCOMPARE(int(after.importStatus), 2);
            return;
        }
        QCOMPARE(deles(), QStringList{"DELE /" + onUnit});
        QCOMPARE(shown(ui), Msgs{fine(kDone + (kind == CMsgDelete::Kind::UnitOnly
                                                   ? "\n消去した音声メッセージ：1件（ＺＵＮＯのみ）"
                                                   : "\n消去した音声メッセージ：1件（ＺＵＮＯとＰＣ）"))});
        QVERIFY(!sim->exists(onUnit));
        if (kind == CMsgDelete::Kind::UnitOnly) {
            FILESTS_INFO after;
            CFileMng::ReadRecord(pathOf(rec), after);
            QCOMPARE(int(after.importStatus), 3);
        } else {
            QVERIFY(!QFile::exists(pathOf(rec)));
            QVERIFY(!QFile::exists(stem(pathOf(rec)) + ".vminf"));
        }
    }

    void pcOnlyRemovesEveryLocalFile() {
        const FILESTS_INFO rec = downloaded("naisen", "2001", 4);
        QFile wav(stem(pathOf(rec)) + ".wav");
        QVERIFY(wav.open(QIODevice::WriteOnly));
        wav.close();
        CScriptedUi ui;
        const auto s =
            CMsgDelete::Run(ui, CMsgDelete::Kind::PcOnly, {rec}, dl + "/", [](const QString&, const QString&) {
                qFatal("nothing may be sent");
                return UnitResult::CommFailure;
            });
        QCOMPARE(s.deleted, 3);
        for (const char* ext : {".wav", ".vmdat", ".vminf"}) {
            QVERIFY(!QFile::exists(stem(pathOf(rec)) + ext));
        }
        QStringList positions;
        for (const auto& e : ui.progressEvents) {
            if (e.what == "pos") {
                positions << e.value;
            }
        }
        QCOMPARE(positions, (QStringList{"1", "2", "3", "3"}));
        QCOMPARE(shown(ui), Msgs{fine(kDone + "\n消去した音声メッセージ：1件（ＰＣのみ）")});
    }

    void bothKindsOnProtectedAndBusyRows() {
        const FILESTS_INFO a = downloaded("rusuroku", "0001", 1);
        const FILESTS_INFO prot = downloaded("rusuroku", "0001", 2, 1);
        const FILESTS_INFO busy = downloaded("rusuroku", "0002", 3);
        sim->setFaults("DELE arg=/rusuroku/0002/* reply 450 in use\n");
        CScriptedUi ui;
        run(ui, CMsgDelete::Kind::UnitAndPc, {a, prot, busy});
        QCOMPARE(deles(), (QStringList{"DELE /rusuroku/0001/" + nameOf(a) + ".vminf",
                                       "DELE /rusuroku/0002/" + nameOf(busy) + ".vminf"}));
        QCOMPARE(shown(ui),
                 (Msgs{fine("一部の音声メッセージが消去できませんでした。\n(音声メッセージ使用中)。"),
                       fine("一部の音声メッセージが消去できませんでした。\n(音声メッセージなし または｢保護｣)。")}));
        QVERIFY(!QFile::exists(pathOf(a)));
        QVERIFY(!sim->exists("rusuroku/0001/" + nameOf(a) + ".vminf"));
        // The protected row stays on both sides.
        QVERIFY(QFile::exists(pathOf(prot)));
        QVERIFY(QFile::exists(stem(pathOf(prot)) + ".vminf"));
        QVERIFY(sim->exists("rusuroku/0001/" + nameOf(prot) + ".vminf"));
        // The busy one is gone on the PC (that pass came first) and still on the unit.
        QVERIFY(!QFile::exists(pathOf(busy)));
        QVERIFY(sim->exists("rusuroku/0002/" + nameOf(busy) + ".vminf"));
    }

    void busyOneOfThreeAndSingleBusyExtension() {
        const FILESTS_INFO a = downloaded("rusuroku", "0001", 1);
        const FILESTS_INFO b = downloaded("rusuroku", "0001", 2);
        const FILESTS_INFO c = downloaded("rusuroku", "0001", 3);
        const FILESTS_INFO e = downloaded("naisen", "2001", 4);
        sim->setFaults(
            QStringLiteral("DELE arg=*%1.vminf reply 450\nDELE arg=/naisen/2001/* reply 450\n").arg(nameOf(b)));
        CScriptedUi ui;
        const auto s = run(ui, CMsgDelete::Kind::UnitOnly, {a, b, c});
        QCOMPARE(s.deleted, 2);
        QCOMPARE(shown(ui), Msgs{fine("一部の音声メッセージが消去できませんでした。\n(音声メッセージ使用中)。")});
        QVERIFY(sim->exists("rusuroku/0001/" + nameOf(b) + ".vminf"));
        QVERIFY(!sim->exists("rusuroku/0001/" + nameOf(c) + ".vminf"));
        FILESTS_INFO rb;
        CFileMng::ReadRecord(pathOf(b), rb);
        QCOMPARE(int(rb.importStatus), 2);

        CScriptedUi one;
        run(one, CMsgDelete::Kind::UnitOnly, {e});
        QCOMPARE(shown(one), Msgs{err("内線BOX2001の音声メッセージは\n使用中のため消去できません。")});
    }

    void lostLinkKeepsEarlierDeletions() {
        const FILESTS_INFO a = downloaded("rusuroku", "0001", 1);
        const FILESTS_INFO b = downloaded("rusuroku", "0001", 2);
        const FILESTS_INFO c = downloaded("rusuroku", "0001", 3);
        sim->setFaults(QStringLiteral("DELE arg=*%1.vminf hangup\n").arg(nameOf(b)));
        CScriptedUi ui;
        const auto s = run(ui, CMsgDelete::Kind::UnitOnly, {a, b, c});
        QVERIFY(s.linkError);
        QCOMPARE(shown(ui), Msgs{err("通信エラーが発生しました。")});
        QVERIFY(!sim->exists("rusuroku/0001/" + nameOf(a) + ".vminf"));
        QVERIFY(sim->exists("rusuroku/0001/" + nameOf(c) + ".vminf"));
        FILESTS_INFO ra;
        CFileMng::ReadRecord(pathOf(a), ra);
        QCOMPARE(int(ra.importStatus), 3);
        QVERIFY(ui.mainWindowEnabled);
        QVERIFY(!ui.hasOpenProgress("消去中"));
    }

    void aDeletionCountsOnlyWhenItsReplyIsWhole_data() {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("several lines") << "DELE multiline" << true;
        QTest::newRow("never finished") << "DELE raw 250-Deleting" << false;
        QTest::newRow("answered late") << "DELE silence 4" << false;
    }
    void aDeletionCountsOnlyWhenItsReplyIsWhole() {
        QFETCH(QString, rule);
        QFETCH(bool, deleted);
        const FILESTS_INFO a = downloaded("rusuroku", "0001", 1);
        const FILESTS_INFO b = downloaded("rusuroku", "0001", 2);
        sim->setFaults(rule);
        CScriptedUi ui;
        const auto s = run(ui, CMsgDelete::Kind::UnitOnly, {a, b});
        FILESTS_INFO ra;
        CFileMng::ReadRecord(pathOf(a), ra);
        if (deleted) {
            QCOMPARE(deles(), (QStringList{"DELE /rusuroku/0001/" + nameOf(a) + ".vminf",
                                           "DELE /rusuroku/0001/" + nameOf(b) + ".vminf"}));
            QCOMPARE(shown(ui), Msgs{fine(kDone + "\n消去した音声メッセージ：2件（ＺＵＮＯのみ）")});
            QCOMPARE(int(ra.importStatus), 3);
            return;
        }
        // The run stops at the first message, which stays marked as on the unit; nothing is sent after it.
        QVERIFY(s.linkError);
        QCOMPARE(deles(), QStringList{"DELE /rusuroku/0001/" + nameOf(a) + ".vminf"});
        QCOMPARE(shown(ui), Msgs{err("通信エラーが発生しました。")});
        QCOMPARE(int(ra.importStatus), 2);
        QVERIFY(sim->exists("rusuroku/0001/" + nameOf(b) + ".vminf"));
    }

    void foreignOrMalformedNamesAreNeverSent() {
        // A message moved into another box folder keeps the first box number in its name.
        const FILESTS_INFO moved = downloaded("rusuroku", "0001", 1);
        const QString other = dl + "/rusuroku/0002";
        QDir().mkpath(other);
        FILESTS_INFO m = moved;
        for (const char* ext : {".vmdat", ".vminf"}) {
            QVERIFY(QFile::rename(stem(pathOf(moved)) + ext, other + "/" + nameOf(moved) + ext));
        }
        FILESTS_INFO::setText(m.filePath, other + "/" + nameOf(moved) + ".vmdat");
        // A file whose name is not of the unit's form.
        const QString oddFolder = dl + "/rusuroku/0003";
        QDir().mkpath(oddFolder);
        QFile odd(oddFolder + "/odd name.vmdat");
        QVERIFY(odd.open(QIODevice::WriteOnly));
        odd.close();
        QFile(oddFolder + "/odd name.vminf").open(QIODevice::WriteOnly);
        FILESTS_INFO o = moved;
        FILESTS_INFO::setText(o.filePath, oddFolder + "/odd name.vmdat");
        CScriptedUi ui;
        run(ui, CMsgDelete::Kind::UnitOnly, {m, o});
        QVERIFY(deles().isEmpty());
        QCOMPARE(shown(ui), Msgs{err(kNoMessage)});
        QVERIFY(sim->exists("rusuroku/0001/" + nameOf(moved) + ".vminf"));
    }

    void bothKindsLeaveOnTheUnitWhatStaysOnThePc_data() {
        QTest::addColumn<bool>("alone");
        QTest::newRow("alone") << true;
        QTest::newRow("with another") << false;
    }
    void bothKindsLeaveOnTheUnitWhatStaysOnThePc() {
        QFETCH(bool, alone);
        const FILESTS_INFO stays = downloaded("rusuroku", "0001", 1);
        const FILESTS_INFO goes = downloaded("naisen", "2001", 2);
        // A folder in the WAV file's place cannot be removed as a file, whoever runs the test.
        QVERIFY(QDir().mkpath(stem(pathOf(stays)) + ".wav/inside"));
        std::vector<FILESTS_INFO> rows{stays};
        if (!alone) {
            rows.push_back(goes);
        }
        CScriptedUi ui;
        const auto s = run(ui, CMsgDelete::Kind::UnitAndPc, rows);
        QCOMPARE(deles(), alone ? QStringList{} : QStringList{"DELE /naisen/2001/" + nameOf(goes) + ".vminf"});
        QVERIFY(sim->exists("rusuroku/0001/" + nameOf(stays) + ".vminf"));
        QCOMPARE(s.keptOnUnit, 1);
        QVERIFY(!s.completed());
        QCOMPARE(shown(ui), Msgs{err(CMsgDelete::UndeletableText(alone, true))});
    }

    void aRecordThatCannotBeMarkedIsNamed() {
        const FILESTS_INFO a = downloaded("rusuroku", "0001", 1);
        const FILESTS_INFO b = downloaded("rusuroku", "0001", 2);
        // b's voice file stands where a file cannot be written: a folder of the same name.
        QVERIFY(QFile::remove(pathOf(b)));
        QVERIFY(QDir().mkpath(pathOf(b) + "/inside"));
        CScriptedUi ui;
        const auto s = run(ui, CMsgDelete::Kind::UnitOnly, {a, b});
        QCOMPARE(deles(), (QStringList{"DELE /rusuroku/0001/" + nameOf(a) + ".vminf",
                                       "DELE /rusuroku/0001/" + nameOf(b) + ".vminf"}));
        QCOMPARE(s.unmarked, QStringList{pathOf(b)});
        QVERIFY(!s.completed());
        QCOMPARE(shown(ui), Msgs{err(CMsgDelete::UnmarkedText({pathOf(b)}))});
        QVERIFY(shown(ui).first().text.endsWith("\n" + pathOf(b)));
        FILESTS_INFO ra;
        CFileMng::ReadRecord(pathOf(a), ra);
        QCOMPARE(int(ra.importStatus), 3);
    }

    void aFileThatStaysIsReported() {
        const FILESTS_INFO a = downloaded("rusuroku", "0001", 1);
        const FILESTS_INFO b = downloaded("rusuroku", "0001", 2);
        // A folder in the WAV file's place cannot be removed as a file.
        QVERIFY(QDir().mkpath(stem(pathOf(a)) + ".wav/inside"));
        CScriptedUi ui;
        const auto s = CMsgDelete::Run(ui, CMsgDelete::Kind::PcOnly, {a, b}, dl + "/", {});
        QCOMPARE(s.undeletable, 1);
        QCOMPARE(s.deleted, 4);
        QCOMPARE(shown(ui), Msgs{err(CMsgDelete::UndeletableText(false))});
        QVERIFY(!QFile::exists(pathOf(a)));
        QVERIFY(!QFile::exists(pathOf(b)));
    }
};

QTEST_GUILESS_MAIN(TestMsgDelete)
#include "tst_msgdelete.moc"
