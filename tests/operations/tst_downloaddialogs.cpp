#include "link/CUnitBoxOps.h"
#include "operations/CDownKindSetLogic.h"
#include "operations/CSelDownLogic.h"
#include "settings/CKeldaSession.h"
#include "store/CFileMng.h"
#include "support/CFakeUnit.h"
#include "support/CScriptedUi.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {
using RecordingUnit = CFakeUnit;
constexpr auto kVoiceAndInfo = CBoxDownload::Kind::VoiceAndInfo;
constexpr auto kInfoOnly = CBoxDownload::Kind::InfoOnly;
} // namespace

class TestDownloadDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void kindDialog() {
        QTemporaryDir dir;
        QDir().mkpath(dir.path() + "/f1/rusuroku/0001");
        QDir().mkpath(dir.path() + "/f1/naisen/0200");
        CScriptedUi ui;
        CKeldaSession doc;
        doc.folder = dir.path();
        doc.loggedIn = 1;
        RecordingUnit unit;
        CDownKindSetLogic dlg(ui, doc, unit);
        // No folder name: the buttons do nothing at all.
        QCOMPARE(dlg.download(kVoiceAndInfo), DlgOutcome::Stay);
        QVERIFY(ui.messages.isEmpty());
        doc.folderName = "f1";
        ui.replies = {MsgResult::No};
        QCOMPARE(dlg.download(kVoiceAndInfo), DlgOutcome::Stay);
        QCOMPARE(ui.messages[0].text, QStringLiteral("f1にダウンロードします。\nよろしいですか？"));
        QCOMPARE(ui.messages[0].caption, QStringLiteral("ダウンロード確認画面"));
        QVERIFY(unit.calls.isEmpty());
        bool hidden = false;
        QCOMPARE(dlg.download(kInfoOnly, [&] { hidden = true; }), DlgOutcome::EndOk);
        QVERIFY(hidden);
        QCOMPARE(unit.calls, QStringList({"count /rusuroku/0001 1", "count /naisen/0200 1", "info /rusuroku/0001",
                                          "info /naisen/0200"}));
        QCOMPARE(ui.activations, 1);
        QCOMPARE(ui.mainWindowDisables, 1);
        QVERIFY(ui.mainWindowEnabled);
        doc.loggedIn = 0;
        dlg.tick();
        QVERIFY(!dlg.buttonsEnabled());
    }

    void boxSelectionDialog() {
        QTemporaryDir dir;
        CScriptedUi ui;
        CKeldaSession doc;
        doc.folder = dir.path() + "/";
        doc.folderName = "f1";
        doc.loggedIn = 1;
        RecordingUnit unit;
        QDir().mkpath(dir.path() + "/f1/rusuroku");
        {
            CSelDownLogic empty(ui, doc, unit);
            QCOMPARE(empty.open(), DlgOutcome::EndCancel);
            QCOMPARE(ui.messageTexts(), QStringList{"フォルダにボックス情報がありません。\n確認ください。"});
        }
        QDir().mkpath(dir.path() + "/f1/rusuroku/0001");
        QDir().mkpath(dir.path() + "/f1/rusuroku/0009");
        QDir().mkpath(dir.path() + "/f1/naisen/0200");
        CFileMng::SetMake(dir.path() + "/f1/rusuroku/0009", "1");
        CSelDownLogic dlg(ui, doc, unit);
        QCOMPARE(dlg.open(), DlgOutcome::Stay);
        QCOMPARE(dlg.folderPath(), dir.path() + "/f1");
        QCOMPARE(dlg.answering().size(), 1); // the box made by hand is not offered
        QCOMPARE(dlg.extension().size(), 1);
        ui.messages.clear();
        ui.replies = {MsgResult::Yes};
        QCOMPARE(dlg.download(kVoiceAndInfo), DlgOutcome::Stay);
        QCOMPARE(ui.messageTexts().last(), QStringLiteral("選択されていません。"));
        CSelDownLogic::tickAll(dlg.extension(), true);
        QCOMPARE(dlg.download(kVoiceAndInfo), DlgOutcome::EndOk);
        QCOMPARE(unit.calls, QStringList({"count /naisen/0200 0", "box /naisen/0200"}));
        QCOMPARE(ui.mainWindowDisables, 1);
        QVERIFY(ui.mainWindowEnabled);
    }

    // The boxes are offered by box number, whatever order the file system lists their folders in.
    void boxSelectionListsBoxesByNumber() {
        QTemporaryDir dir;
        for (const char* box :
             {"rusuroku/03", "rusuroku/01", "rusuroku/02", "naisen/222", "naisen/201", "naisen/215", "naisen/208"}) {
            QVERIFY(QDir().mkpath(dir.path() + "/f1/" + QString::fromLatin1(box)));
        }
        CScriptedUi ui;
        CKeldaSession doc;
        doc.folder = dir.path() + "/";
        doc.folderName = "f1";
        doc.loggedIn = 1;
        RecordingUnit unit;
        CSelDownLogic dlg(ui, doc, unit);
        QCOMPARE(dlg.open(), DlgOutcome::Stay);
        auto numbers = [](const QList<CSelDownLogic::Row>& rows) {
            QStringList out;
            for (const auto& r : rows) {
                out << r.boxNo;
            }
            return out;
        };
        QCOMPARE(numbers(dlg.answering()), QStringList({"01", "02", "03"}));
        QCOMPARE(numbers(dlg.extension()), QStringList({"201", "208", "215", "222"}));
    }
};

QTEST_GUILESS_MAIN(TestDownloadDialogs)
#include "tst_downloaddialogs.moc"
