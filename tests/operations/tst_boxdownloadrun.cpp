#include "operations/CBoxDownload.h"
#include "operations/CPrgFileDwnDlg.h"
#include "platform/CCancelFlag.h"
#include "store/CFileMng.h"
#include "support/CFakeUnit.h"
#include "support/CScriptedUi.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(UnitResult)

namespace {

using FakeUnit = CFakeUnit;
using R = UnitResult;
using Kind = CBoxDownload::Kind;
using Ending = CBoxDownload::Ending;

QList<CBoxDownload::Box> boxesOf(const QStringList& answering, const QStringList& extension) {
    return CBoxDownload::SelectedBoxes("/dl", answering, extension);
}

} // namespace

class TestBoxDownloadRun : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void successAcrossBothKinds() {
        CScriptedUi ui;
        FakeUnit unit;
        unit.boxes["/rusuroku/0001"] = FakeUnit::box(4, R::Done);
        unit.boxes["/naisen/0200"] = FakeUnit::box(2, R::Done);
        const CBoxDownload::Outcome r =
            CBoxDownload::RunBoxDownload(ui, unit, Kind::VoiceAndInfo, true, boxesOf({"0001"}, {"0200"}));
        QCOMPARE(r.ending, Ending::Finished);
        QCOMPARE(r.last, R::Done);
        QVERIFY(r.complete());
        QCOMPARE(unit.calls, QStringList({"count /rusuroku/0001 0", "count /naisen/0200 0", "box /rusuroku/0001",
                                          "box /naisen/0200"}));
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, QStringLiteral("ファイルのダウンロードが正常に完了しました。"));
        QCOMPARE(ui.messages[0].caption, QStringLiteral("ダウンロード完了"));
        QCOMPARE(ui.messages[0].icon, MsgIcon::Information);
        // Kind 0 counts messages, two files each: 6 files are 3 messages.
        bool counter = false;
        for (const auto& e : ui.progressEvents) {
            counter = counter || (e.what == "counter" && e.value == QStringLiteral("1／3"));
        }
        QVERIFY(counter);
        QVERIFY(!ui.hasOpenProgress(CPrgFileDwnDlg::kTitle));
    }

    void countingDecidesEarlyEnds() {
        {
            CScriptedUi ui;
            FakeUnit unit;
            unit.boxes["/rusuroku/0001"] = FakeUnit::failingCount(R::CommFailure, R::Done);
            QCOMPARE(
                CBoxDownload::RunBoxDownload(ui, unit, Kind::VoiceAndInfo, true, boxesOf({"0001"}, {"0200"})).ending,
                Ending::CountFailed);
            QCOMPARE(ui.messageTexts(), QStringList{"通信エラーが発生しました。"});
            QCOMPARE(unit.calls.size(), 1);
        }
        for (bool bulk : {true, false}) {
            CScriptedUi ui;
            FakeUnit unit;
            unit.boxes["/rusuroku/0001"] = FakeUnit::box(0, R::Done);
            unit.boxes["/naisen/0200"] = FakeUnit::failingCount(R::NoBoxDirectory, R::NoBoxDirectory);
            QCOMPARE(CBoxDownload::RunBoxDownload(ui, unit, Kind::InfoOnly, bulk, boxesOf({"0001"}, {"0200"})).ending,
                     Ending::NothingToDownload);
            QCOMPARE(ui.messageTexts(), QStringList{"音声メッセージがありません。"});
            QCOMPARE(ui.messages[0].icon, MsgIcon::Exclamation);
        }
    }

    void aBoxMissingOnTheUnitIsSkipped() {
        // The last box has no directory on the unit: the run still completes with its success message.
        for (bool bulk : {true, false}) {
            CScriptedUi ui;
            FakeUnit unit;
            unit.boxes["/rusuroku/0001"] = FakeUnit::box(2, R::Done);
            unit.boxes["/naisen/0200"] = FakeUnit::failingCount(R::NoBoxDirectory, R::NoBoxDirectory);
            QCOMPARE(CBoxDownload::RunBoxDownload(ui, unit, Kind::VoiceAndInfo, bulk, boxesOf({"0001"}, {"0200"})).last,
                     R::Done);
            QCOMPARE(ui.messageTexts(), QStringList{"ファイルのダウンロードが正常に完了しました。"});
        }
    }

    void oneMessageSelectedAgainstBulk() {
        // A conversion failure of a present voice file: one message selected uses
        // the single-message rules and reports it; the bulk run of the same two files shows nothing.
        FakeUnit unit;
        unit.boxes["/rusuroku/0001"] = FakeUnit::box(2, R::PresentVoiceNotConverted);
        CScriptedUi selected;
        QCOMPARE(CBoxDownload::RunBoxDownload(selected, unit, Kind::VoiceAndInfo, false, boxesOf({"0001"}, {})).last,
                 R::PresentVoiceNotConverted);
        QCOMPARE(selected.messageTexts(), QStringList{"通信エラーが発生しました。"});
        CScriptedUi bulk;
        QCOMPARE(CBoxDownload::RunBoxDownload(bulk, unit, Kind::VoiceAndInfo, true, boxesOf({"0001"}, {})).last,
                 R::PresentVoiceNotConverted);
        QVERIFY(bulk.messages.isEmpty());

        // Missing voice data of that single message.
        unit.boxes["/rusuroku/0001"] = FakeUnit::box(2, R::FileGoneOnUnit);
        CScriptedUi one;
        QCOMPARE(CBoxDownload::RunBoxDownload(one, unit, Kind::VoiceAndInfo, false, boxesOf({"0001"}, {})).last,
                 R::FileGoneOnUnit);
        QCOMPARE(one.messageTexts(), QStringList{"音声ファイルは既に消去されています。"});
        QCOMPARE(one.messages[0].caption, QStringLiteral("エラー"));
    }

    void missingVoiceFilesAndTheExtensionPhase() {
        // The last answering-machine box answered 550: the extension boxes are still downloaded, and since only
        // some boxes were affected the partial message is a completion.
        CScriptedUi ui;
        FakeUnit unit;
        unit.boxes["/rusuroku/0001"] = FakeUnit::box(4, R::FileGoneOnUnit);
        unit.boxes["/naisen/0200"] = FakeUnit::box(6, R::Done);
        QCOMPARE(CBoxDownload::RunBoxDownload(ui, unit, Kind::VoiceAndInfo, true, boxesOf({"0001"}, {"0200"})).last,
                 R::Done);
        QVERIFY(unit.calls.contains("box /naisen/0200"));
        QCOMPARE(ui.messageTexts(),
                 QStringList{"一部の音声ファイルがダウンロードできませんでした\n(音声ファイルなし)。"});
        QCOMPARE(ui.messages[0].caption, QStringLiteral("ダウンロード完了"));

        // Every box affected: the error form.
        CScriptedUi all;
        unit.boxes["/naisen/0200"] = FakeUnit::box(6, R::FileGoneOnUnit);
        unit.calls.clear();
        QCOMPARE(CBoxDownload::RunBoxDownload(all, unit, Kind::VoiceAndInfo, true, boxesOf({"0001"}, {"0200"})).last,
                 R::FileGoneOnUnit);
        QCOMPARE(all.messageTexts(), QStringList{"音声ファイルは既に消去されています。"});
    }

    void diskFullStopsBulkButNotSelected() {
        FakeUnit unit;
        unit.boxes["/rusuroku/0001"] = FakeUnit::box(4, R::NoDiskSpace);
        unit.boxes["/naisen/0200"] = FakeUnit::box(4, R::Done);
        CScriptedUi bulk;
        QCOMPARE(CBoxDownload::RunBoxDownload(bulk, unit, Kind::VoiceAndInfo, true, boxesOf({"0001"}, {"0200"})).last,
                 R::NoDiskSpace);
        QVERIFY(!unit.calls.contains("box /naisen/0200"));
        // A disk-full run is never silent.
        QCOMPARE(bulk.messageTexts(),
                 QStringList{"一部の音声ファイルがダウンロードできませんでした\n(ＰＣのメモリ不足)。"});

        unit.calls.clear();
        CScriptedUi selected;
        QCOMPARE(
            CBoxDownload::RunBoxDownload(selected, unit, Kind::VoiceAndInfo, false, boxesOf({"0001"}, {"0200"})).last,
            R::NoDiskSpace);
        QVERIFY(unit.calls.contains("box /naisen/0200"));
        QCOMPARE(selected.messageTexts(),
                 QStringList{"一部の音声ファイルがダウンロードできませんでした\n(ＰＣのメモリ不足)。"});

        // Nor does a later box whose voice files were gone hide the full disk.
        unit.boxes["/naisen/0200"] = FakeUnit::box(4, R::FileGoneOnUnit);
        CScriptedUi gone;
        QCOMPARE(CBoxDownload::RunBoxDownload(gone, unit, Kind::VoiceAndInfo, false, boxesOf({"0001"}, {"0200"})).last,
                 R::NoDiskSpace);
        QCOMPARE(gone.messageTexts(), QStringList({"音声ファイルは既に消去されています。", "ＰＣのメモリ不足です。"}));

        // A communication failure ends the run with its message.
        unit.boxes["/rusuroku/0001"] = FakeUnit::box(4, R::CommFailure);
        CScriptedUi comm;
        QCOMPARE(CBoxDownload::RunBoxDownload(comm, unit, Kind::InfoOnly, true, boxesOf({"0001"}, {"0200"})).last,
                 R::CommFailure);
        QCOMPARE(comm.messageTexts(), QStringList{"通信エラーが発生しました。"});
    }

    void cancelSaysWhatIsLeft() {
        CScriptedUi ui;
        FakeUnit unit;
        unit.boxes["/rusuroku/0001"] = [] {
            auto b = FakeUnit::box(4, R::Cancelled, 2);
            b.cancel = true;
            return b;
        }();
        unit.boxes["/naisen/0200"] = FakeUnit::box(4, R::Done);
        const auto cancelled =
            CBoxDownload::RunBoxDownload(ui, unit, Kind::VoiceAndInfo, true, boxesOf({"0001"}, {"0200"}));
        QCOMPARE(cancelled.ending, Ending::Cancelled);
        QCOMPARE(cancelled.last, R::Cancelled);
        QCOMPARE(ui.messageTexts(),
                 QStringList{"ダウンロードを中止しました。\nこのダウンロードで受信したメッセージ：0件\n"
                             "ダウンロードが終わっていないボックス：留守録BOX 0001  内線BOX 0200"});
        QCOMPARE(ui.lastMessage()->icon, MsgIcon::Information);
        QVERIFY(!unit.calls.contains("box /naisen/0200"));
        QVERIFY(!ui.hasOpenProgress(CPrgFileDwnDlg::kTitle));
        // The progress window's button is what sets the flag; the next run starts clear.
        CCancelFlag::clear();
        ui.pressCancel(CPrgFileDwnDlg::kTitle);
        QVERIFY(!CCancelFlag::isSet());
    }

    void resultMessages_data() {
        QTest::addColumn<bool>("single");
        QTest::addColumn<UnitResult>("last");
        QTest::addColumn<bool>("filesGone");
        QTest::addColumn<int>("affected");
        QTest::addColumn<int>("total");
        QTest::addColumn<QStringList>("messages");
        const QString done = "ファイルのダウンロードが正常に完了しました。";
        const QString erased = "音声ファイルは既に消去されています。";
        const QString noSpace = "ＰＣのメモリ不足です。";
        const QString comm = "通信エラーが発生しました。";
        const QString partlyVoice = "一部の音声ファイルがダウンロードできませんでした\n(音声ファイルなし)。";
        const QString partlySpace = "一部の音声ファイルがダウンロードできませんでした\n(ＰＣのメモリ不足)。";
        // One message to come: exactly one message, the first that applies.
        QTest::newRow("one, done") << true << R::Done << false << 0 << 2 << QStringList{done};
        QTest::newRow("one, done after a gone box") << true << R::Done << true << 2 << 2 << QStringList{done};
        QTest::newRow("one, gone") << true << R::FileGoneOnUnit << true << 2 << 2 << QStringList{erased};
        QTest::newRow("one, disk full") << true << R::NoDiskSpace << false << 2 << 2 << QStringList{noSpace};
        QTest::newRow("one, gone and disk full") << true << R::NoDiskSpace << true << 2 << 2 << QStringList{erased};
        QTest::newRow("one, not converted")
            << true << R::PresentVoiceNotConverted << false << 2 << 2 << QStringList{comm};
        QTest::newRow("one, link failed") << true << R::CommFailure << false << 2 << 2 << QStringList{comm};
        // Several: partial forms when only some files were affected.
        QTest::newRow("done") << false << R::Done << false << 0 << 10 << QStringList{done};
        QTest::newRow("done after a gone box, partly")
            << false << R::Done << true << 4 << 10 << QStringList{partlyVoice};
        QTest::newRow("link failed") << false << R::CommFailure << true << 4 << 10 << QStringList{comm};
        QTest::newRow("gone and disk full, partly")
            << false << R::NoDiskSpace << true << 4 << 10 << QStringList{partlyVoice, partlySpace};
        QTest::newRow("disk full, all") << false << R::NoDiskSpace << false << 10 << 10 << QStringList{noSpace};
        QTest::newRow("gone and disk full, all")
            << false << R::NoDiskSpace << true << 10 << 10 << QStringList{erased, noSpace};
        QTest::newRow("gone, all") << false << R::FileGoneOnUnit << true << 10 << 10 << QStringList{erased};
        // A box whose present voice file would not convert ends a bulk run without a word, as it always has.
        QTest::newRow("not converted, partly")
            << false << R::PresentVoiceNotConverted << false << 4 << 10 << QStringList{};
    }

    void resultMessages() {
        QFETCH(bool, single);
        QFETCH(UnitResult, last);
        QFETCH(bool, filesGone);
        QFETCH(int, affected);
        QFETCH(int, total);
        QFETCH(QStringList, messages);
        CBoxDownload::Tally tally;
        tally.single = single;
        tally.last = last;
        tally.filesGoneOnUnit = filesGone;
        tally.filesAffected = affected;
        tally.filesTotal = total;
        QStringList texts;
        for (const CBoxDownload::Message m : CBoxDownload::ResultMessages(tally)) {
            texts << CBoxDownload::TextOf(m);
        }
        QCOMPARE(texts, messages);
    }

    void boxSources() {
        QTemporaryDir dir;
        const QString dl = dir.path();
        for (const char* p : {"rusuroku/0001", "rusuroku/0002", "naisen/0200"}) {
            QDir().mkpath(dl + "/" + p);
        }
        CFileMng::SetMake(dl + "/rusuroku/0002", "1");
        const auto boxes = CBoxDownload::BulkBoxes(dl);
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[0].unitDir, QStringLiteral("/rusuroku/0001"));
        QCOMPARE(boxes[0].boxFolder, dl + "/rusuroku/0001");
        QCOMPARE(boxes[1].unitDir, QStringLiteral("/naisen/0200"));
        QVERIFY(boxes[1].extension);
        QCOMPARE(CBoxDownload::DownloadFolderPath("/root/", QStringLiteral("a：b")), QStringLiteral("/root/a:b"));
    }

    void progressReports() {
        CScriptedUi ui;
        CPrgFileDwnDlg dlg(ui);
        dlg.setCounterTotal(2);
        dlg.advanceCounter();
        dlg.setStepTotal(0);
        QCOMPARE(dlg.rangeMax(), 100);
        dlg.setStepTotal(58);
        QCOMPARE(dlg.rangeMax(), 58);
        dlg.setStepDone(-1);
        QCOMPARE(dlg.position(), 58);
        dlg.setStepDone(12);
        QCOMPARE(dlg.position(), 12);
        dlg.nextFile();
        dlg.nextFile();
        QCOMPARE(dlg.counterCurrent(), 2);
        QCOMPARE(dlg.position(), 0);
        dlg.setPhase(CProgress::Phase::Converting);
        dlg.setPhase(CProgress::Phase::Downloading);
        QCOMPARE(dlg.rangeMax(), 100);
        QCOMPARE(ui.progressEvents.last().value, QStringLiteral("0"));
        QStringList texts;
        for (const auto& e : ui.progressEvents) {
            if (e.what == "text") {
                texts << e.value;
            }
        }
        QCOMPARE(texts, QStringList({"ＷＡＶファイルに変換中です。", "ファイルをダウンロード中です。"}));
        ui.pressCancel(CPrgFileDwnDlg::kTitle);
        QVERIFY(CCancelFlag::isSet());
        QVERIFY(dlg.isOpen());
        // Stopping is shown at once and stays shown while the transfer winds down; the button greys once.
        dlg.setPhase(CProgress::Phase::Converting);
        ui.pressCancel(CPrgFileDwnDlg::kTitle);
        QStringList after;
        for (const auto& e : ui.progressEvents) {
            if (e.what == "text" || e.what == "cancel") {
                after << e.value;
            }
        }
        QCOMPARE(after.mid(2), QStringList({"ダウンロードを中止しています。", "off"}));
        CCancelFlag::clear();
    }
};

QTEST_GUILESS_MAIN(TestBoxDownloadRun)
#include "tst_boxdownloadrun.moc"
