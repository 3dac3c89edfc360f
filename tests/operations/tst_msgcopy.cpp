// Moving and copying messages between box folders: the questions asked, the messages shown and every file on disk
// afterwards.
#include "operations/CMsgCopy.h"
#include "operations/CMsgCopyLogic.h"
#include "platform/CDiskSpace.h"
#include "store/CFileMng.h"
#include "store/CFolderLock.h"
#include "support/CSampleFolder.h"
#include "support/CScriptedUi.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Msgs = QList<RESULT_MESSAGE>;

RESULT_MESSAGE err(const QString& text) {
    return {text, QStringLiteral("エラー"), MsgIcon::Exclamation};
}
RESULT_MESSAGE moved(const QString& text) {
    return {text, QStringLiteral("移動完了"), MsgIcon::Information};
}
RESULT_MESSAGE copied(const QString& text) {
    return {text, QStringLiteral("コピー完了"), MsgIcon::Information};
}

Msgs shown(const CScriptedUi& ui) {
    Msgs out;
    for (const auto& m : ui.messages) {
        out << RESULT_MESSAGE{m.text, m.caption, m.icon};
    }
    return out;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeBytes(const QString& path, const QByteArray& data) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

QString stem(const QString& path) {
    return path.left(path.size() - 6);
}

} // namespace

Q_DECLARE_METATYPE(CMsgCopy::Summary)

class TestMsgCopy : public QObject {
    Q_OBJECT

    QTemporaryDir* local = nullptr;
    QString dl;
    QStringList asked;
    std::deque<OverwriteAnswer> answers;

    // A message with voice data on the PC: X.vminf, X.vmdat and, when asked, X.wav, each of its own content.
    FILESTS_INFO message(const QString& kind, const QString& box, int seq, bool wav = false) {
        CSampleFolder::Message m;
        const QString folder = dl + "/" + kind + "/" + box;
        const QString vmdat = CSampleFolder::writeMessage(folder, box, seq, m);
        m.voice = false;
        CSampleFolder::writeMessage(folder, box, seq, m);
        if (wav) {
            writeBytes(stem(vmdat) + ".wav", "RIFF" + QByteArray::number(seq));
        }
        FILESTS_INFO rec;
        CFileMng::ReadRecord(vmdat, rec);
        return rec;
    }
    static QString pathOf(const FILESTS_INFO& rec) { return FILESTS_INFO::text(rec.filePath); }
    static QString nameOf(const FILESTS_INFO& rec) { return QFileInfo(stem(pathOf(rec))).fileName(); }
    QString in(const QString& kindBox, const FILESTS_INFO& rec, const char* ext) const {
        return dl + "/" + kindBox + "/" + nameOf(rec) + ext;
    }
    CMsgCopy::AskOverwrite asker() {
        return [this](const QString& name) {
            asked << name;
            if (answers.empty()) {
                return OverwriteAnswer::No;
            }
            const OverwriteAnswer a = answers.front();
            answers.pop_front();
            return a;
        };
    }
    // Contents of every file under the download folder, by relative path.
    QMap<QString, QByteArray> snapshot() const {
        QMap<QString, QByteArray> out;
        QDirIterator it(dl, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString p = it.next();
            if (it.fileName() == CFolderLock::kFileName) {
                continue; // the folder's lock file, empty and kept from run to run
            }
            out.insert(QDir(dl).relativeFilePath(p), readAll(p));
        }
        return out;
    }

private Q_SLOTS:
    void init() {
        local = new QTemporaryDir;
        dl = local->filePath("folder1");
        QDir().mkpath(dl + "/rusuroku/0001");
        QDir().mkpath(dl + "/rusuroku/0002");
        QDir().mkpath(dl + "/naisen/2001");
        asked.clear();
        answers.clear();
    }
    void cleanup() { delete local; }

    void resultMessages_data() {
        QTest::addColumn<CMsgCopy::Kind>("kind");
        QTest::addColumn<CMsgCopy::Summary>("summary");
        QTest::addColumn<Msgs>("expected");
        CMsgCopy::Summary s;
        s.selected = 3;
        s.processed = 1;
        s.noVoice = s.memory = true;
        QTest::newRow("copy, some done, both flags")
            << CMsgCopy::Kind::Copy << s
            << Msgs{copied("一部の音声メッセージがコピーできませんでした\n(音声ファイルなし)。"),
                    copied("一部の音声メッセージがコピーできませんでした\n(ＰＣのメモリ不足)。")};
        s.processed = 0;
        QTest::newRow("move, none done, both flags")
            << CMsgCopy::Kind::Move << s
            << Msgs{err("音声ファイルがダウンロードされていません。"), err("ＰＣのメモリ不足です。")};
        s.noVoice = s.memory = false;
        // Every message declined at the overwrite question: nothing was moved, and that is what is said.
        QTest::newRow("move, none done, no flag")
            << CMsgCopy::Kind::Move << s << Msgs{moved("移動した音声メッセージはありません。")};
        s.processed = 3;
        QTest::newRow("copy, all declined")
            << CMsgCopy::Kind::Copy << s << Msgs{copied("コピーした音声メッセージはありません。")};
        s.transferred = 1;
        QTest::newRow("copy, one of three done")
            << CMsgCopy::Kind::Copy << s << Msgs{copied("音声メッセージのコピーが正常に完了しました。")};
        s.transferred = 0;
        s.processed = 0;
        s.failed = 2;
        QTest::newRow("unreadable files are counted")
            << CMsgCopy::Kind::Move << s << Msgs{err(CMsgCopy::FailedText(CMsgCopy::Kind::Move, 2))};
        s.failed = 0;
        s.stopped = true;
        QTest::newRow("overwrite question cancelled") << CMsgCopy::Kind::Copy << s << Msgs{};
    }
    void resultMessages() {
        QFETCH(CMsgCopy::Kind, kind);
        QFETCH(CMsgCopy::Summary, summary);
        QFETCH(Msgs, expected);
        QCOMPARE(CMsgCopy::ResultMessages(kind, summary), expected);
        // kelda-cli's exit status follows completed(), which must agree with the completion message shown.
        QCOMPARE(summary.completed(), !expected.isEmpty() && expected.last().text == CMsgCopy::DoneText(kind));
    }

    void dialogChoosesOneTarget() {
        CScriptedUi ui;
        CMsgCopyLogic logic(ui, dl);
        QCOMPARE(logic.open(), DlgOutcome::Stay);
        QCOMPARE(logic.answering().size(), 2);
        QCOMPARE(logic.extension().size(), 1);
        QCOMPARE(logic.choose(CMsgCopy::Kind::Move), DlgOutcome::Stay);
        QCOMPARE(shown(ui), (Msgs{{"移動します。よろしいですか？", "移動の確認", MsgIcon::Question},
                                  err("BOXが選択されていません。")}));
        logic.check(false, 1);
        logic.check(true, 0);
        QVERIFY(!logic.answering()[1].checked);
        QVERIFY(logic.extension()[0].checked);
        ui.replies = {MsgResult::No};
        QCOMPARE(logic.choose(CMsgCopy::Kind::Copy), DlgOutcome::Stay);
        QCOMPARE(ui.messages.last().caption, QString("コピーの確認"));
        QCOMPARE(logic.choose(CMsgCopy::Kind::Copy), DlgOutcome::EndOk);
        QCOMPARE(logic.target(), QString("naisen/2001"));
        QCOMPARE(logic.kind(), CMsgCopy::Kind::Copy);

        QTemporaryDir empty;
        CScriptedUi none;
        CMsgCopyLogic bare(none, empty.path());
        QCOMPARE(bare.open(), DlgOutcome::EndCancel);
        QCOMPARE(shown(none), Msgs{err("フォルダにボックス情報がありません。\n確認ください。")});
    }

    void copyAsksOncePerMessage() {
        const FILESTS_INFO a = message("rusuroku", "0001", 1, true);
        writeBytes(in("rusuroku/0002", a, ".vminf"), "old information");
        writeBytes(in("rusuroku/0002", a, ".vmdat"), "old voice");
        answers = {OverwriteAnswer::Yes};
        CScriptedUi ui;
        CMsgCopy op(ui, asker());
        const auto s = op.Run(CMsgCopy::Kind::Copy, "rusuroku/0002", {a}, dl);
        QCOMPARE(asked, QStringList{nameOf(a) + ".vminf"});
        QCOMPARE(s.processed, 1);
        for (const char* ext : {".vminf", ".vmdat", ".wav"}) {
            QCOMPARE(readAll(in("rusuroku/0002", a, ext)), readAll(in("rusuroku/0001", a, ext)));
        }
        QCOMPARE(
            shown(ui),
            Msgs{copied(
                "音声メッセージのコピーが正常に完了しました。\nコピーした音声メッセージ：1件（留守録BOX0002へ）")});
        QCOMPARE(ui.progressEvents.first().title, QString("コピー中"));
        QVERIFY(ui.mainWindowEnabled);
    }

    void overwriteAllAsksOnlyOnce() {
        const FILESTS_INFO a = message("rusuroku", "0001", 1);
        const FILESTS_INFO b = message("rusuroku", "0001", 2);
        for (const auto& r : {a, b}) {
            writeBytes(in("rusuroku/0002", r, ".vminf"), "old");
            writeBytes(in("rusuroku/0002", r, ".vmdat"), "old");
        }
        answers = {OverwriteAnswer::All};
        CScriptedUi ui;
        CMsgCopy op(ui, asker());
        op.Run(CMsgCopy::Kind::Move, "rusuroku/0002", {a, b}, dl);
        QCOMPARE(asked.size(), 1);
        for (const auto& r : {a, b}) {
            QVERIFY(!QFile::exists(pathOf(r)));
            QCOMPARE(readAll(in("rusuroku/0002", r, ".vmdat")).left(990).size(), 990);
        }
        QCOMPARE(
            shown(ui),
            Msgs{moved("音声メッセージの移動が正常に完了しました。\n移動した音声メッセージ：2件（留守録BOX0002へ）")});
    }

    void noAnswerLeavesTheMessageWhole() {
        const FILESTS_INFO a = message("rusuroku", "0001", 1);
        writeBytes(in("rusuroku/0002", a, ".vmdat"), "old voice");
        CScriptedUi ui;
        CMsgCopy op(ui, asker()); // no answer queued: "いいえ(&N)"
        const auto s = op.Run(CMsgCopy::Kind::Move, "rusuroku/0002", {a}, dl);
        QCOMPARE(asked, QStringList{nameOf(a) + ".vmdat"});
        // Moving the information file alone would split the message between the two boxes.
        QVERIFY(!QFile::exists(in("rusuroku/0002", a, ".vminf")));
        QVERIFY(QFile::exists(in("rusuroku/0001", a, ".vminf")));
        QVERIFY(QFile::exists(pathOf(a)));
        QCOMPARE(readAll(in("rusuroku/0002", a, ".vmdat")), QByteArray("old voice"));
        QCOMPARE(shown(ui), Msgs{moved("移動した音声メッセージはありません。")});
        QVERIFY(!s.completed());
    }

    // A target that has only some of a message's files (a copy cut short) holds no message yet: it is completed,
    // and only its files that differ from the source's are asked about.
    void anIncompleteTargetIsCompleted_data() {
        QTest::addColumn<CMsgCopy::Kind>("kind");
        QTest::addColumn<bool>("sameInformation"); // the target's lone ".vminf" is the source's
        QTest::addColumn<int>("answer");           // -1: not asked
        QTest::addColumn<bool>("informationReplaced");
        QTest::addColumn<bool>("moved"); // a move took the message
        QTest::newRow("copy, same information") << CMsgCopy::Kind::Copy << true << -1 << false << false;
        QTest::newRow("copy, other information, no")
            << CMsgCopy::Kind::Copy << false << int(OverwriteAnswer::No) << false << false;
        QTest::newRow("copy, other information, yes")
            << CMsgCopy::Kind::Copy << false << int(OverwriteAnswer::Yes) << true << false;
        QTest::newRow("move, same information") << CMsgCopy::Kind::Move << true << -1 << true << true;
        QTest::newRow("move, other information, no")
            << CMsgCopy::Kind::Move << false << int(OverwriteAnswer::No) << false << false;
        QTest::newRow("move, other information, all")
            << CMsgCopy::Kind::Move << false << int(OverwriteAnswer::All) << true << true;
    }
    void anIncompleteTargetIsCompleted() {
        QFETCH(CMsgCopy::Kind, kind);
        QFETCH(bool, sameInformation);
        QFETCH(int, answer);
        QFETCH(bool, informationReplaced);
        QFETCH(bool, moved);
        const FILESTS_INFO a = message("rusuroku", "0001", 1, true);
        const auto before = snapshot();
        const QByteArray oldInfo = sameInformation ? readAll(in("rusuroku/0001", a, ".vminf")) : "older information";
        writeBytes(in("rusuroku/0002", a, ".vminf"), oldInfo);
        if (answer >= 0) {
            answers = {OverwriteAnswer(answer)};
        }
        CScriptedUi ui;
        CMsgCopy op(ui, asker());
        const auto s = op.Run(kind, "rusuroku/0002", {a}, dl);
        QCOMPARE(asked, answer < 0 ? QStringList{} : QStringList{nameOf(a) + ".vminf"});
        const bool takenWhole = kind == CMsgCopy::Kind::Copy || moved;
        for (const char* ext : {".vminf", ".vmdat", ".wav"}) {
            const QByteArray source = before.value("rusuroku/0001/" + nameOf(a) + ext);
            const QByteArray expected =
                QByteArray(ext) == ".vminf" && !informationReplaced && !sameInformation ? oldInfo : source;
            if (takenWhole) {
                QCOMPARE(readAll(in("rusuroku/0002", a, ext)), expected);
            }
            QCOMPARE(QFile::exists(in("rusuroku/0001", a, ext)), !moved);
        }
        if (!takenWhole) {
            // A move that may not replace the target's file leaves the message whole where it was.
            QCOMPARE(readAll(in("rusuroku/0002", a, ".vminf")), oldInfo);
            QVERIFY(!QFile::exists(in("rusuroku/0002", a, ".vmdat")));
        }
        QCOMPARE(s.completed(), takenWhole);
        QCOMPARE(shown(ui).last().text.section(QLatin1Char('\n'), 0, 0),
                 takenWhole ? CMsgCopy::DoneText(kind) : QStringLiteral("移動した音声メッセージはありません。"));
        QVERIFY(!QFile::exists(dl + "/.kelda-moving.ini"));
    }

    // A message an older program left split, its information file in the target and the rest in the source: moving
    // what is left joins it, where it used to be refused for want of voice data.
    void aSplitMessageIsJoinedByMovingTheRest() {
        const FILESTS_INFO a = message("rusuroku", "0001", 1, true);
        const auto before = snapshot();
        QVERIFY(QFile::rename(in("rusuroku/0001", a, ".vminf"), in("rusuroku/0002", a, ".vminf")));
        CScriptedUi ui;
        CMsgCopy op(ui, asker());
        QVERIFY(op.Run(CMsgCopy::Kind::Move, "rusuroku/0002", {a}, dl).completed());
        QVERIFY(asked.isEmpty());
        for (const char* ext : {".vminf", ".vmdat", ".wav"}) {
            QCOMPARE(readAll(in("rusuroku/0002", a, ext)), before.value("rusuroku/0001/" + nameOf(a) + ext));
            QVERIFY(!QFile::exists(in("rusuroku/0001", a, ext)));
        }
        QCOMPARE(
            shown(ui),
            Msgs{moved("音声メッセージの移動が正常に完了しました。\n移動した音声メッセージ：1件（留守録BOX0002へ）")});
    }

    void declinedOverwriteSaysNothingWasDone_data() {
        QTest::addColumn<CMsgCopy::Kind>("kind");
        QTest::addColumn<QString>("text");
        QTest::newRow("copy") << CMsgCopy::Kind::Copy << "コピーした音声メッセージはありません。";
        QTest::newRow("move") << CMsgCopy::Kind::Move << "移動した音声メッセージはありません。";
    }
    void declinedOverwriteSaysNothingWasDone() {
        QFETCH(CMsgCopy::Kind, kind);
        QFETCH(QString, text);
        const FILESTS_INFO a = message("rusuroku", "0001", 1);
        for (const char* ext : {".vminf", ".vmdat"}) {
            writeBytes(in("rusuroku/0002", a, ext), "old");
        }
        const auto before = snapshot();
        CScriptedUi ui;
        CMsgCopy op(ui, asker()); // "いいえ(&N)"
        const auto s = op.Run(kind, "rusuroku/0002", {a}, dl);
        QCOMPARE(asked, QStringList{nameOf(a) + ".vminf"});
        QCOMPARE(shown(ui), (Msgs{{text, CMsgCopy::DoneCaption(kind), MsgIcon::Information}}));
        QVERIFY(!s.completed());
        QCOMPARE(snapshot(), before);
    }

    void aFolderInUseIsLeftAlone_data() {
        QTest::addColumn<CMsgCopy::Kind>("kind");
        QTest::newRow("move") << CMsgCopy::Kind::Move;
        QTest::newRow("copy") << CMsgCopy::Kind::Copy;
    }
    void aFolderInUseIsLeftAlone() {
        QFETCH(CMsgCopy::Kind, kind);
        const FILESTS_INFO a = message("rusuroku", "0001", 1);
        CFolderLock other;
        QCOMPARE(other.acquire(dl, 0), CFolderLock::State::Held);
        const auto before = snapshot();
        CScriptedUi ui;
        CMsgCopy op(ui, asker());
        const auto s = op.Run(kind, "rusuroku/0002", {a}, dl);
        QVERIFY(!s.completed());
        QCOMPARE(shown(ui), Msgs{err(CFolderLock::BusyText())});
        QCOMPARE(snapshot(), before);
        QVERIFY(ui.progressEvents.isEmpty());
        // Free again: the same run goes through.
        other.release();
        CScriptedUi again;
        CMsgCopy op2(again, asker());
        QVERIFY(op2.Run(kind, "rusuroku/0002", {a}, dl).completed());
    }

    void cancelDuringTheSecondOfThreeMoves() {
        const FILESTS_INFO a = message("rusuroku", "0001", 1);
        const FILESTS_INFO b = message("rusuroku", "0001", 2);
        const FILESTS_INFO c = message("rusuroku", "0001", 3);
        CScriptedUi ui;
        CMsgCopy op(ui, asker());
        const QString bTarget = in("naisen/2001", b, ".vminf");
        ui.onDispatch = [&](int) {
            if (QFile::exists(bTarget) && ui.hasOpenProgress("移動中")) {
                ui.pressCancel("移動中");
            }
        };
        const auto s = op.Run(CMsgCopy::Kind::Move, "naisen/2001", {a, b, c}, dl);
        QVERIFY(s.cancelled);
        QVERIFY(ui.messages.isEmpty());
        for (const char* ext : {".vminf", ".vmdat"}) {
            QVERIFY(QFile::exists(in("naisen/2001", a, ext)));
            QVERIFY(!QFile::exists(in("rusuroku/0001", a, ext)));
            QVERIFY(QFile::exists(in("rusuroku/0001", b, ext)));
            QVERIFY(!QFile::exists(in("naisen/2001", b, ext)));
            QVERIFY(QFile::exists(in("rusuroku/0001", c, ext)));
            QVERIFY(!QFile::exists(in("naisen/2001", c, ext)));
        }
        QVERIFY(ui.mainWindowEnabled);
        QVERIFY(!ui.hasOpenProgress("移動中"));
    }

    void tooLittleSpaceForTheVoiceData() {
        const FILESTS_INFO a = message("rusuroku", "0001", 1);
        QFile voice(pathOf(a));
        QVERIFY(voice.open(QIODevice::Append));
        voice.write(QByteArray(8000, '\x55'));
        voice.close();
        const qint64 infoSize = QFileInfo(in("rusuroku/0001", a, ".vminf")).size();
        // Room for the information file, not for the larger voice data file.
        const auto before = snapshot();
        CScriptedUi ui;
        CMsgCopy op(ui, asker());
        op.setFreeSpace([infoSize](const QString&) { return CDiskSpace::bytesNeeded(infoSize); });
        const auto s = op.Run(CMsgCopy::Kind::Move, "rusuroku/0002", {a}, dl);
        QVERIFY(s.memory);
        QCOMPARE(snapshot(), before);
        QCOMPARE(shown(ui), Msgs{err("ＰＣのメモリ不足です。")});
    }

    void rowsWithoutVoiceData() {
        CSampleFolder::Message m;
        m.voice = false;
        const QString vminf = CSampleFolder::writeMessage(dl + "/rusuroku/0001", "0001", 9, m);
        FILESTS_INFO info;
        CFileMng::ReadRecord(vminf, info);
        const FILESTS_INFO a = message("rusuroku", "0001", 1);
        CScriptedUi ui;
        CMsgCopy op(ui, asker());
        op.Run(CMsgCopy::Kind::Copy, "rusuroku/0002", {info}, dl);
        QCOMPARE(shown(ui), Msgs{err("音声ファイルがダウンロードされていません。")});
        QVERIFY(QDir(dl + "/rusuroku/0002").isEmpty());

        CScriptedUi two;
        CMsgCopy op2(two, asker());
        op2.Run(CMsgCopy::Kind::Move, "rusuroku/0002", {info, a}, dl);
        QCOMPARE(shown(two), Msgs{moved("一部の音声メッセージが移動ができませんでした\n(音声ファイルなし)。")});
        QVERIFY(QFile::exists(in("rusuroku/0002", a, ".vmdat")));
    }

    void aMessageAlreadyInTheTargetIsLeftAsItIs_data() {
        QTest::addColumn<CMsgCopy::Kind>("kind");
        QTest::newRow("move") << CMsgCopy::Kind::Move;
        QTest::newRow("copy") << CMsgCopy::Kind::Copy;
    }
    void aMessageAlreadyInTheTargetIsLeftAsItIs() {
        QFETCH(CMsgCopy::Kind, kind);
        const FILESTS_INFO here = message("rusuroku", "0002", 1, true);
        const auto before = snapshot();
        CScriptedUi ui;
        CMsgCopy single(ui, asker());
        single.Run(kind, "rusuroku/0002", {here}, dl);
        QVERIFY(asked.isEmpty());
        QCOMPARE(snapshot(), before);
        QCOMPARE(shown(ui),
                 (Msgs{{CMsgCopy::DoneText(kind) + (kind == CMsgCopy::Kind::Move
                                                        ? "\n移動した音声メッセージ：1件（留守録BOX0002へ）"
                                                        : "\nコピーした音声メッセージ：1件（留守録BOX0002へ）"),
                        CMsgCopy::DoneCaption(kind), MsgIcon::Information}}));

        // A selection over two boxes: the other box's message arrives, this one stays whole.
        const FILESTS_INFO there = message("rusuroku", "0001", 2, true);
        CScriptedUi ui2;
        CMsgCopy both(ui2, asker());
        const auto s = both.Run(kind, "rusuroku/0002", {there, here}, dl);
        QCOMPARE(s.processed, 2);
        QVERIFY(asked.isEmpty());
        for (const char* ext : {".vminf", ".vmdat", ".wav"}) {
            QCOMPARE(readAll(in("rusuroku/0002", here, ext)), before.value("rusuroku/0002/" + nameOf(here) + ext));
            QVERIFY(QFile::exists(in("rusuroku/0002", there, ext)));
            QCOMPARE(QFile::exists(in("rusuroku/0001", there, ext)), kind == CMsgCopy::Kind::Copy);
        }
    }

    void aFailedCopyLeavesNoCutFile() {
        const QString dest = dl + "/rusuroku/0002/target.vmdat";
        writeBytes(dest, "whole old content");
        QVERIFY(!CMsgCopy::CopyFile(dl + "/missing.vmdat", dest, true));
        QVERIFY(!CMsgCopy::CopyFile(dl + "/rusuroku/0001", dest, true)); // a folder is not read as a file
        QCOMPARE(readAll(dest), QByteArray("whole old content"));
        QCOMPARE(QDir(dl + "/rusuroku/0002").entryList(QDir::Files | QDir::Hidden), QStringList{"target.vmdat"});

        // A message whose voice data cannot be read is left out whole and counted.
        const FILESTS_INFO a = message("rusuroku", "0001", 1);
        QVERIFY(QFile::remove(pathOf(a)));
        QVERIFY(QDir().mkpath(pathOf(a)));
        CScriptedUi ui;
        CMsgCopy op(ui, asker());
        const auto s = op.Run(CMsgCopy::Kind::Copy, "naisen/2001", {a}, dl);
        QCOMPARE(s.failed, 1);
        QCOMPARE(shown(ui), Msgs{err(CMsgCopy::FailedText(CMsgCopy::Kind::Copy, 1))});
        QVERIFY(QDir(dl + "/naisen/2001").isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestMsgCopy)
#include "tst_msgcopy.moc"
