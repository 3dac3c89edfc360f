#include "operations/CBoxDownload.h"
#include "operations/CPrgFileDwnDlg.h"
#include "platform/CCancelFlag.h"
#include "store/CFileMng.h"
#include "support/CScriptedUi.h"

#include <QDir>
#include <QMap>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Per unit directory: what counting gives, what the download gives, and the listing lines it reports.
struct FakeBox {
    int count = 2;
    int result = 0;
    int lines = 2;
    bool cancel = false;
};

class FakeUnit : public CUnitBoxOps {
public:
    QMap<QString, FakeBox> boxes;
    QStringList calls;

    int CountBoxFiles(const QString& unitDir, const QString&, int mode) override {
        calls << QStringLiteral("count %1 %2").arg(unitDir).arg(mode);
        return boxes.value(unitDir).count;
    }
    int DownloadBox(const QString&, const QString& unitDir, int& lineCount) override {
        calls << QStringLiteral("box %1").arg(unitDir);
        return run(unitDir, lineCount);
    }
    int DownloadBoxInfo(const QString&, const QString& unitDir, int& lineCount) override {
        calls << QStringLiteral("info %1").arg(unitDir);
        return run(unitDir, lineCount);
    }

private:
    int run(const QString& unitDir, int& lineCount) {
        const FakeBox b = boxes.value(unitDir);
        lineCount = b.lines;
        if (b.cancel) {
            CCancelFlag::set(1);
        }
        return b.result;
    }
};

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
        unit.boxes["/rusuroku/0001"] = {4, 0, 4};
        unit.boxes["/naisen/0200"] = {2, 0, 2};
        const int r =
            CBoxDownload::RunBoxDownload(ui, unit, CBoxDownload::VoiceAndInfo, true, boxesOf({"0001"}, {"0200"}));
        QCOMPARE(r, 0);
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
            unit.boxes["/rusuroku/0001"] = {-1, 0, 0};
            QCOMPARE(CBoxDownload::RunBoxDownload(ui, unit, 0, true, boxesOf({"0001"}, {"0200"})), -1);
            QCOMPARE(ui.messageTexts(), QStringList{"通信エラーが発生しました。"});
            QCOMPARE(unit.calls.size(), 1);
        }
        for (bool bulk : {true, false}) {
            CScriptedUi ui;
            FakeUnit unit;
            unit.boxes["/rusuroku/0001"] = {0, 0, 0};
            unit.boxes["/naisen/0200"] = {-2, -2, 0};
            QCOMPARE(CBoxDownload::RunBoxDownload(ui, unit, 1, bulk, boxesOf({"0001"}, {"0200"})), bulk ? 1 : 0);
            QCOMPARE(ui.messageTexts(), QStringList{"音声メッセージがありません。"});
            QCOMPARE(ui.messages[0].icon, MsgIcon::Exclamation);
        }
    }

    void aBoxMissingOnTheUnitIsSkipped() {
        // The last box has no directory on the unit: the run still completes with its success message.
        for (bool bulk : {true, false}) {
            CScriptedUi ui;
            FakeUnit unit;
            unit.boxes["/rusuroku/0001"] = {2, 0, 2};
            unit.boxes["/naisen/0200"] = {-2, -2, 0};
            QCOMPARE(CBoxDownload::RunBoxDownload(ui, unit, 0, bulk, boxesOf({"0001"}, {"0200"})), 0);
            QCOMPARE(ui.messageTexts(), QStringList{"ファイルのダウンロードが正常に完了しました。"});
        }
    }

    void oneMessageSelectedAgainstBulk() {
        // A conversion failure of a present voice file (-2 from a box that exists): one message selected uses
        // the single-message rules and reports it; the bulk run of the same two files shows nothing.
        FakeUnit unit;
        unit.boxes["/rusuroku/0001"] = {2, -2, 2};
        CScriptedUi selected;
        QCOMPARE(CBoxDownload::RunBoxDownload(selected, unit, 0, false, boxesOf({"0001"}, {})), -2);
        QCOMPARE(selected.messageTexts(), QStringList{"通信エラーが発生しました。"});
        CScriptedUi bulk;
        QCOMPARE(CBoxDownload::RunBoxDownload(bulk, unit, 0, true, boxesOf({"0001"}, {})), -2);
        QVERIFY(bulk.messages.isEmpty());

        // Missing voice data of that single message.
        unit.boxes["/rusuroku/0001"] = {2, 550, 2};
        CScriptedUi one;
        QCOMPARE(CBoxDownload::RunBoxDownload(one, unit, 0, false, boxesOf({"0001"}, {})), 550);
        QCOMPARE(one.messageTexts(), QStringList{"音声ファイルは既に消去されています。"});
        QCOMPARE(one.messages[0].caption, QStringLiteral("エラー"));
    }

    void missingVoiceFilesAndTheExtensionPhase() {
        // The last answering-machine box answered 550: the extension boxes are still downloaded, and since only
        // some boxes were affected the partial message is a completion.
        CScriptedUi ui;
        FakeUnit unit;
        unit.boxes["/rusuroku/0001"] = {4, 550, 4};
        unit.boxes["/naisen/0200"] = {6, 0, 6};
        QCOMPARE(CBoxDownload::RunBoxDownload(ui, unit, 0, true, boxesOf({"0001"}, {"0200"})), 0);
        QVERIFY(unit.calls.contains("box /naisen/0200"));
        QCOMPARE(ui.messageTexts(),
                 QStringList{"一部の音声ファイルがダウンロードできませんでした\n(音声ファイルなし)。"});
        QCOMPARE(ui.messages[0].caption, QStringLiteral("ダウンロード完了"));

        // Every box affected: the error form.
        CScriptedUi all;
        unit.boxes["/naisen/0200"] = {6, 550, 6};
        unit.calls.clear();
        QCOMPARE(CBoxDownload::RunBoxDownload(all, unit, 0, true, boxesOf({"0001"}, {"0200"})), 550);
        QCOMPARE(all.messageTexts(), QStringList{"音声ファイルは既に消去されています。"});
    }

    void diskFullStopsBulkButNotSelected() {
        FakeUnit unit;
        unit.boxes["/rusuroku/0001"] = {4, -4, 4};
        unit.boxes["/naisen/0200"] = {4, 0, 4};
        CScriptedUi bulk;
        QCOMPARE(CBoxDownload::RunBoxDownload(bulk, unit, 0, true, boxesOf({"0001"}, {"0200"})), -4);
        QVERIFY(!unit.calls.contains("box /naisen/0200"));
        // A disk-full run is never silent.
        QCOMPARE(bulk.messageTexts(),
                 QStringList{"一部の音声ファイルがダウンロードできませんでした\n(ＰＣのメモリ不足)。"});

        unit.calls.clear();
        CScriptedUi selected;
        QCOMPARE(CBoxDownload::RunBoxDownload(selected, unit, 0, false, boxesOf({"0001"}, {"0200"})), -4);
        QVERIFY(unit.calls.contains("box /naisen/0200"));
        QCOMPARE(selected.messageTexts(),
                 QStringList{"一部の音声ファイルがダウンロードできませんでした\n(ＰＣのメモリ不足)。"});

        // Nor does a later box whose voice files were gone hide the full disk.
        unit.boxes["/naisen/0200"] = {4, 550, 4};
        CScriptedUi gone;
        QCOMPARE(CBoxDownload::RunBoxDownload(gone, unit, 0, false, boxesOf({"0001"}, {"0200"})), -4);
        QCOMPARE(gone.messageTexts(), QStringList({"音声ファイルは既に消去されています。", "ＰＣのメモリ不足です。"}));

        // A communication failure ends the run with its message.
        unit.boxes["/rusuroku/0001"] = {4, -1, 4};
        CScriptedUi comm;
        QCOMPARE(CBoxDownload::RunBoxDownload(comm, unit, 1, true, boxesOf({"0001"}, {"0200"})), -1);
        QCOMPARE(comm.messageTexts(), QStringList{"通信エラーが発生しました。"});
    }

    void cancelShowsNothing() {
        CScriptedUi ui;
        FakeUnit unit;
        unit.boxes["/rusuroku/0001"] = {4, -3, 2, true};
        unit.boxes["/naisen/0200"] = {4, 0, 4};
        QCOMPARE(CBoxDownload::RunBoxDownload(ui, unit, 0, true, boxesOf({"0001"}, {"0200"})), -3);
        QVERIFY(ui.messages.isEmpty());
        QVERIFY(!unit.calls.contains("box /naisen/0200"));
        QVERIFY(!ui.hasOpenProgress(CPrgFileDwnDlg::kTitle));
        // The progress window's button is what sets the flag; the next run starts clear.
        CCancelFlag::clear();
        ui.pressCancel(CPrgFileDwnDlg::kTitle);
        QVERIFY(!CCancelFlag::isSet());
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
        dlg.post(CPrgFileDwnDlg::FileSize, 0);
        QCOMPARE(dlg.rangeMax(), 100);
        dlg.post(CPrgFileDwnDlg::FileSize, 58);
        QCOMPARE(dlg.rangeMax(), 58);
        dlg.post(CPrgFileDwnDlg::Position, -1);
        QCOMPARE(dlg.position(), 58);
        dlg.post(CPrgFileDwnDlg::Position, 12);
        QCOMPARE(dlg.position(), 12);
        dlg.post(CPrgFileDwnDlg::NextMessage);
        dlg.post(CPrgFileDwnDlg::NextMessage);
        QCOMPARE(dlg.counterCurrent(), 2);
        QCOMPARE(dlg.position(), 0);
        dlg.post(CPrgFileDwnDlg::Converting);
        dlg.post(CPrgFileDwnDlg::Downloading);
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
        CCancelFlag::clear();
    }
};

QTEST_GUILESS_MAIN(TestBoxDownloadRun)
#include "tst_boxdownloadrun.moc"
