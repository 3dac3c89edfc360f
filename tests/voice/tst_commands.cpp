// Convert and play from the list, the conversion dialog, WAV removal at exit and the WAV deletion dialog.
#include "CSampleUnit.h"
#include "list/CBoxOpenLogic.h"
#include "platform/CCancelFlag.h"
#include "platform/CDiskSpace.h"
#include "store/CFileMng.h"
#include "support/CScriptedUi.h"
#include "support/CTestFiles.h"
#include "voice/CAudioExport.h"
#include "voice/CAudioExportName.h"
#include "voice/CG729Decoder.h"
#include "voice/CMailAttach.h"
#include "voice/CVoiceCommands.h"
#include "voice/CVoiceMeasure.h"
#include "voice/CWavConvDlg.h"
#include "voice/CWavFileDelLogic.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <vector>

namespace {

const QString kNotDownloaded = QStringLiteral("音声ファイルがダウンロードされて\nいません。");
const QString kAlreadyDeleted = QStringLiteral("音声ファイルは既に消去されています。");
const QString kNoSpace = QStringLiteral("ＰＣのメモリ不足です。");
const QString kAllDone = QStringLiteral("ＷＡＶファイルへの変換が正常に完了しました。");
const QString kPartNoSource =
    QStringLiteral("一部の音声メッセージはＷＡＶファイルへ変換\nできませんでした(変換元の音声ファイルなし)。");
const QString kPartNoSpace =
    QStringLiteral("一部の音声メッセージはＷＡＶファイルへ変換\nできませんでした(ＰＣのメモリ不足)。");

QString wavOf(const FILESTS_INFO& r) {
    QString p = FILESTS_INFO::text(r.filePath);
    return p.left(p.size() - 6) + ".wav";
}

int countEvents(const CScriptedUi& ui, const QString& title, const QString& what) {
    int n = 0;
    for (const auto& e : ui.progressEvents) {
        n += (e.title == title && e.what == what) ? 1 : 0;
    }
    return n;
}

bool hasEvent(const CScriptedUi& ui, const QString& title, const QString& what, const QString& value) {
    for (const auto& e : ui.progressEvents) {
        if (e.title == title && e.what == what && e.value == value) {
            return true;
        }
    }
    return false;
}

} // namespace

class TstCommands : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_box;
    int m_serial = 0;

    // One message in the box folder as a download leaves it; returns its record as the list loads it.
    FILESTS_INFO message(bool withVoice, int frames = 30) {
        CSampleUnit::Message m;
        m.boxNo = QStringLiteral("01");
        m.recorded = QDateTime(QDate(2026, 12, 1), QTime(9, 0)).addSecs(60 * m_serial);
        m.stem = CSampleUnit::makeStem(m.recorded, m_serial, m.boxNo, 5000 + m_serial);
        ++m_serial;
        m.callerName = QStringLiteral("佐藤花子");
        m.frames = frames;
        m.voiceSeed = static_cast<uint64_t>(m_serial);
        m.infoOnly = !withVoice;
        if (!CSampleUnit::writeMessage(m_box, m, true)) {
            qFatal("sample message not written");
        }
        FILESTS_INFO rec;
        const QString file = m_box + "/" + m.stem + (withVoice ? ".vmdat" : ".vminf");
        CFileMng::ReadRecord(file, rec);
        FILESTS_INFO::setText(rec.filePath, file);
        return rec;
    }

private Q_SLOTS:
    void init() {
        CCancelFlag::clear();
        m_box = m_dir.filePath(QStringLiteral("dl%1/rusuroku/01").arg(m_serial));
        QVERIFY(QDir().mkpath(m_box));
        QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("dl%1/naisen").arg(m_serial))));
    }
    void conversionDialogFollowsNotifications() {
        CScriptedUi ui;
        CWavConvDlg dlg(ui, 3);
        QVERIFY(ui.hasOpenProgress(QStringLiteral("変換中")));
        QCOMPARE(ui.progressEvents.at(0).value, QStringLiteral("WAVファイルに変換中です。"));
        QCOMPARE(ui.progressEvents.at(1).value, QStringLiteral("1／3"));
        dlg.nextFile();
        QCOMPARE(ui.progressEvents.last().what, QStringLiteral("repaint"));
        QCOMPARE(ui.dispatchCalls, 5);
        QCOMPARE(ui.sleepCalls, 5);
        dlg.setStepTotal(250);
        QCOMPARE(dlg.rangeMax(), 250);
        dlg.setStepDone(100);
        QCOMPARE(dlg.position(), 100);
        dlg.setStepDone(900);
        QCOMPARE(dlg.position(), 250);
        dlg.nextFile();
        QCOMPARE(dlg.position(), 0);
        QCOMPARE(dlg.filesBegun(), 2);
        QVERIFY(hasEvent(ui, QStringLiteral("変換中"), QStringLiteral("counter"), QStringLiteral("2／3")));
        ui.pressCancel(QStringLiteral("変換中"));
        QCOMPARE(CCancelFlag::value(), 1);
        QVERIFY(!dlg.isOpen());
    }

    void singleRowWithoutVoiceData() {
        CScriptedUi ui;
        CVoiceCommands::Convert(ui, {message(false)});
        QCOMPARE(ui.messageTexts(), QStringList{kNotDownloaded});
        QCOMPARE(ui.messages[0].caption, QStringLiteral("エラー"));
        QCOMPARE(ui.messages[0].icon, MsgIcon::Exclamation);
        QVERIFY(ui.progressEvents.isEmpty());
        QVERIFY(ui.mainWindowEnabled);
        QCOMPARE(ui.mainWindowDisables, 1);
    }

    void singleRowWhoseFileIsGone() {
        CScriptedUi ui;
        FILESTS_INFO r = message(true);
        QFile::remove(FILESTS_INFO::text(r.filePath));
        CVoiceCommands::Convert(ui, {r});
        QCOMPARE(ui.messageTexts(), QStringList{kAlreadyDeleted});
        QVERIFY(ui.progressEvents.isEmpty());
    }

    void someRowsWithoutVoiceData() {
        CScriptedUi ui;
        const std::vector<FILESTS_INFO> rows = {message(true), message(false), message(true), message(false)};
        const auto outcome = CVoiceCommands::Convert(ui, rows);
        QCOMPARE(outcome.converted, 2);
        QVERIFY(QFile::exists(wavOf(rows[0])));
        QVERIFY(QFile::exists(wavOf(rows[2])));
        QCOMPARE(ui.messageTexts(), QStringList{kPartNoSource});
        QCOMPARE(ui.messages[0].caption, QStringLiteral("変換完了"));
        QCOMPARE(ui.messages[0].icon, MsgIcon::Information);
        // Every row without voice data and every converted row advanced the file counter.
        QVERIFY(hasEvent(ui, QStringLiteral("変換中"), QStringLiteral("counter"), QStringLiteral("4／4")));
        QVERIFY(!ui.hasOpenProgress(QStringLiteral("変換中")));
        QVERIFY(ui.mainWindowEnabled);
        QCOMPARE(ui.activations, 1);
    }

    void allWavFilesPresent() {
        CScriptedUi ui;
        const std::vector<FILESTS_INFO> rows = {message(true), message(true)};
        QVERIFY(CVoiceCommands::Convert(ui, rows).converted == 2);
        for (const auto& r : rows) {
            QFile f(wavOf(r));
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("kept");
        }
        CScriptedUi again;
        QCOMPARE(CVoiceCommands::Convert(again, rows).converted, 0);
        QCOMPARE(again.messageTexts(), QStringList{kAllDone + "\n対象：2件"});
        for (const auto& r : rows) {
            QCOMPARE(QFileInfo(wavOf(r)).size(), 4);
        }
        // Rows already converted do not advance the counter: it stays at its opening text.
        QCOMPARE(countEvents(again, QStringLiteral("変換中"), QStringLiteral("counter")), 1);
    }

    void cancelDuringARun() {
        CScriptedUi ui;
        const std::vector<FILESTS_INFO> rows = {message(true, 40), message(true, 40), message(true, 40)};
        // Cancel a few frames into the second file (its unfinished WAV file appears when its decoding starts).
        int cancelAt = 0;
        ui.onDispatch = [&](int n) {
            if (QFile::exists(wavOf(rows[1]) + ".part") && cancelAt == 0) {
                cancelAt = n + 5;
            }
            if (cancelAt != 0 && n == cancelAt) {
                ui.pressCancel(QStringLiteral("変換中"));
            }
        };
        const auto outcome = CVoiceCommands::Convert(ui, rows);
        QVERIFY(outcome.cancelled);
        QCOMPARE(outcome.converted, 1);
        QVERIFY(ui.messages.isEmpty());
        QVERIFY(QFile::exists(wavOf(rows[0])));
        QVERIFY(!QFile::exists(wavOf(rows[1])));
        QVERIFY(!QFile::exists(wavOf(rows[2])));
        QVERIFY(QDir(m_box).entryList({"*.tmp", "*.part"}).isEmpty());
        QVERIFY(ui.mainWindowEnabled);
    }

    void cancelBetweenFilesStopsTheRun() {
        CScriptedUi ui;
        const std::vector<FILESTS_INFO> rows = {message(false), message(true), message(true)};
        // Pressed while the row without voice data is passed over, before any decoding.
        ui.onDispatch = [&](int n) {
            if (n == 1) {
                ui.pressCancel(QStringLiteral("変換中"));
            }
        };
        const auto outcome = CVoiceCommands::Convert(ui, rows);
        QVERIFY(outcome.cancelled);
        QCOMPARE(outcome.converted, 0);
        QVERIFY(!QFile::exists(wavOf(rows[1])));
        QVERIFY(ui.messages.isEmpty());
    }

    void notEnoughSpace() {
        // 8 KiB free; a 1000-byte voice file needs (16000 div 4096 + 1) * 4096 = 16384 bytes.
        FILESTS_INFO r = message(true);
        const QString file = FILESTS_INFO::text(r.filePath);
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.resize(1000));
        }
        qint64 free = 8192;
        const CDiskSpace::Probe probe = [&free](const QString&) { return free; };
        CScriptedUi ui;
        CVoiceCommands::Convert(ui, {r}, probe);
        QCOMPARE(ui.messageTexts(), QStringList{kNoSpace});
        QVERIFY(ui.progressEvents.isEmpty());

        CScriptedUi play;
        QStringList queue;
        QCOMPARE(CVoiceCommands::Play(play, r, false, queue, probe), false);
        QCOMPARE(play.messageTexts(), QStringList{kNoSpace});
        QVERIFY(play.openedFiles.isEmpty());

        // With a converted file before it, the shortage is reported as a partial conversion.
        free = 16384 * 64;
        FILESTS_INFO ok = message(true, 20);
        FILESTS_INFO big = message(true, 4000);
        free = 400000;
        CScriptedUi several;
        QCOMPARE(CVoiceCommands::Convert(several, {ok, big}, probe).converted, 1);
        QCOMPARE(several.messageTexts(), QStringList{kPartNoSpace});
        QVERIFY(!QFile::exists(wavOf(big)));
    }

    void exactlyEnoughSpace() {
        FILESTS_INFO r = message(true, 5);
        const qint64 size = QFileInfo(FILESTS_INFO::text(r.filePath)).size();
        const CDiskSpace::Probe probe = [size](const QString&) { return (16 * size / 4096 + 1) * 4096; };
        CScriptedUi ui;
        QCOMPARE(CVoiceCommands::Convert(ui, {r}, probe).converted, 1);
        QCOMPARE(ui.messageTexts(), QStringList{kAllDone + "\n対象：1件"});
    }

    void playConvertsMarksAndQueues() {
        FILESTS_INFO r = message(true);
        const QString file = FILESTS_INFO::text(r.filePath);
        QStringList queue;
        CScriptedUi ui;
        QCOMPARE(CVoiceCommands::Play(ui, r, true, queue), true);
        QCOMPARE(ui.openedFiles, QStringList{wavOf(r)});
        QVERIFY(QFile::exists(wavOf(r)));
        QCOMPARE(countEvents(ui, QStringLiteral("変換中"), QStringLiteral("open")), 1);
        QVERIFY(ui.dispatchCalls >= 20 + 30);
        QVERIFY(ui.mainWindowEnabled);
        FILESTS_INFO stored;
        CFileMng::ReadRecord(file, stored);
        QCOMPARE(stored.played, uint8_t(1));
        QCOMPARE(r.played, uint8_t(1));
        QCOMPARE(FILESTS_INFO::text(stored.callerName), QStringLiteral("佐藤花子"));

        // The second time the WAV file is there: no dialog, straight to the player, queued again.
        CScriptedUi second;
        QCOMPARE(CVoiceCommands::Play(second, r, true, queue), true);
        QCOMPARE(countEvents(second, QStringLiteral("変換中"), QStringLiteral("open")), 0);
        QCOMPARE(second.openedFiles, QStringList{wavOf(r)});
        QCOMPARE(queue, (QStringList{wavOf(r), wavOf(r)}));

        // At exit both entries are worked off; the second finds nothing and says nothing.
        CScriptedUi exitUi;
        CVoiceCommands::DeleteQueuedWavFiles(exitUi, queue);
        QVERIFY(!QFile::exists(wavOf(r)));
        QVERIFY(queue.isEmpty());
        QVERIFY(exitUi.messages.isEmpty());
        QCOMPARE(countEvents(exitUi, QStringLiteral("消去中"), QStringLiteral("open")), 1);
        QCOMPARE(countEvents(exitUi, QStringLiteral("消去中"), QStringLiteral("close")), 1);
        QCOMPARE(exitUi.sleepCalls, 10);
        QVERIFY(!exitUi.hasOpenProgress(QStringLiteral("消去中")));
    }

    void playWithoutDeletionSetting() {
        FILESTS_INFO r = message(true);
        QStringList queue;
        CScriptedUi ui;
        QCOMPARE(CVoiceCommands::Play(ui, r, false, queue), true);
        QVERIFY(queue.isEmpty());
        QCOMPARE(r.played, uint8_t(1));
        CScriptedUi exitUi;
        CVoiceCommands::DeleteQueuedWavFiles(exitUi, queue);
        QVERIFY(exitUi.progressEvents.isEmpty());
        QVERIFY(QFile::exists(wavOf(r)));
    }

    void playWithoutAPlayerSaysSoAndKeepsTheRowUnplayed() {
        FILESTS_INFO r = message(true);
        const QString file = FILESTS_INFO::text(r.filePath);
        QStringList queue;
        CScriptedUi ui;
        ui.openSucceeds = false;
        QCOMPARE(CVoiceCommands::Play(ui, r, true, queue), false);
        QCOMPARE(ui.messageTexts(),
                 QStringList{QStringLiteral(
                     "ＷＡＶファイルを再生できませんでした。\n再生するアプリケーションを確認ください。")});
        QCOMPARE(ui.messages.last().caption, QStringLiteral("エラー"));
        QCOMPARE(r.played, uint8_t(0));
        FILESTS_INFO stored;
        CFileMng::ReadRecord(file, stored);
        QCOMPARE(stored.played, uint8_t(0));
        QVERIFY(queue.isEmpty());
    }

    void playRefusals() {
        QStringList queue;
        FILESTS_INFO info = message(false);
        CScriptedUi ui;
        QCOMPARE(CVoiceCommands::Play(ui, info, true, queue), false);
        QCOMPARE(ui.messageTexts(), QStringList{QStringLiteral("音声ファイルがダウンロードされていません。")});

        FILESTS_INFO gone = message(true);
        QFile::remove(FILESTS_INFO::text(gone.filePath));
        CScriptedUi ui2;
        QCOMPARE(CVoiceCommands::Play(ui2, gone, true, queue), false);
        QCOMPARE(ui2.messageTexts(), QStringList{kAlreadyDeleted});

        FILESTS_INFO empty;
        empty.clear();
        CScriptedUi ui3;
        QCOMPARE(CVoiceCommands::Play(ui3, empty, true, queue), true);
        QVERIFY(ui3.messages.isEmpty() && ui3.openedFiles.isEmpty());

        // Cancelled while converting for play: nothing played, nothing marked.
        FILESTS_INFO r = message(true, 60);
        CScriptedUi ui4;
        ui4.onDispatch = [&](int n) {
            if (n == 30) {
                ui4.pressCancel(QStringLiteral("変換中"));
            }
        };
        QCOMPARE(CVoiceCommands::Play(ui4, r, true, queue), false);
        QVERIFY(ui4.openedFiles.isEmpty());
        QVERIFY(!QFile::exists(wavOf(r)));
        QCOMPARE(r.played, uint8_t(0));
        QVERIFY(queue.isEmpty());
        QVERIFY(ui4.mainWindowEnabled);
        QVERIFY(ui4.messages.isEmpty());
    }

    void aFileThatCannotBeConvertedIsReported() {
        // Cut short below the smallest voice file: conversion fails without a cancel, and the user hears of it.
        FILESTS_INFO good = message(true);
        FILESTS_INFO cut = message(true);
        QVERIFY(QFile::resize(FILESTS_INFO::text(cut.filePath), 1100));
        const QString failed = QStringLiteral("ＷＡＶファイルへの変換ができませんでした。");
        CScriptedUi ui;
        const auto outcome = CVoiceCommands::Convert(ui, {good, cut});
        QCOMPARE(outcome.converted, 1);
        QCOMPARE(ui.messageTexts(), QStringList{failed});
        QCOMPARE(ui.messages[0].caption, QStringLiteral("エラー"));

        QStringList queue;
        CScriptedUi play;
        QCOMPARE(CVoiceCommands::Play(play, cut, false, queue), false);
        QCOMPARE(play.messageTexts(), QStringList{failed});
        QVERIFY(play.openedFiles.isEmpty());
    }

    void wavDeletionDialog() {
        const QString dl = m_dir.filePath(QStringLiteral("wavdel"));
        for (const char* box : {"rusuroku/01", "rusuroku/02", "naisen/201", "naisen/305"}) {
            QVERIFY(QDir().mkpath(dl + "/" + QString::fromLatin1(box)));
        }
        auto touch = [](const QString& p) {
            QFile f(p);
            f.open(QIODevice::WriteOnly);
        };
        touch(dl + "/rusuroku/01/a.wav");
        touch(dl + "/rusuroku/01/b.vmdat");
        touch(dl + "/naisen/305/A.WAV"); // only an upper-case name

        CScriptedUi ui;
        CWavFileDelLogic dlg(ui, dl, &CBoxOpenLogic::boxFolders);
        QVERIFY(dlg.open());
        QCOMPARE(dlg.folderLabel(), dl);
        QCOMPARE(dlg.rows(CWavFileDelLogic::Rusuroku).size(), size_t(1));
        QCOMPARE(dlg.rows(CWavFileDelLogic::Rusuroku)[0].boxNo, QStringLiteral("01"));
        QCOMPARE(dlg.rows(CWavFileDelLogic::Naisen).size(), size_t(1));
        QCOMPARE(dlg.rows(CWavFileDelLogic::Naisen)[0].boxNo, QStringLiteral("305"));

        // "いいえ" keeps the dialog; "はい" with nothing checked deletes nothing.
        ui.replies = {MsgResult::No, MsgResult::Yes};
        QVERIFY(!dlg.erase());
        QVERIFY(dlg.erase());
        QCOMPARE(ui.messageTexts().last(), QStringLiteral("BOXが選択されていません。"));
        QVERIFY(QFile::exists(dl + "/rusuroku/01/a.wav"));

        dlg.setAll(CWavFileDelLogic::Rusuroku, true);
        dlg.toggle(CWavFileDelLogic::Naisen, 0);
        QVERIFY(dlg.erase());
        QCOMPARE(ui.messages.last().text, QStringLiteral("ＷＡＶファイルの消去が正常に完了しました。"));
        QCOMPARE(ui.messages.last().caption, QStringLiteral("消去完了"));
        QVERIFY(!QFile::exists(dl + "/rusuroku/01/a.wav"));
        QVERIFY(QFile::exists(dl + "/rusuroku/01/b.vmdat"));
        // The upper-case name is listed but not deleted: deletion takes only names with ".wav".
        QVERIFY(QFile::exists(dl + "/naisen/305/A.WAV"));

        QFile::remove(dl + "/naisen/305/A.WAV");
        CScriptedUi none;
        CWavFileDelLogic empty(none, dl, &CBoxOpenLogic::boxFolders);
        QVERIFY(!empty.open());
        QCOMPARE(none.messageTexts(), QStringList{QStringLiteral("フォルダにＷＡＶファイルがありません。")});
    }

    // The boxes holding WAV files are offered by box number, whatever order the file system lists them in.
    void wavDeletionListsBoxesByNumber() {
        const QString dl = m_dir.filePath(QStringLiteral("wavorder"));
        for (const char* box :
             {"rusuroku/03", "rusuroku/01", "rusuroku/02", "naisen/222", "naisen/201", "naisen/215", "naisen/208"}) {
            const QString folder = dl + "/" + QString::fromLatin1(box);
            QVERIFY(QDir().mkpath(folder));
            QFile f(folder + "/a.wav");
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        CScriptedUi ui;
        CWavFileDelLogic dlg(ui, dl, &CBoxOpenLogic::boxFolders);
        QVERIFY(dlg.open());
        auto numbers = [&](CWavFileDelLogic::BoxList list) {
            QStringList out;
            for (const auto& r : dlg.rows(list)) {
                out << r.boxNo;
            }
            return out;
        };
        QCOMPARE(numbers(CWavFileDelLogic::Rusuroku), QStringList({"01", "02", "03"}));
        QCOMPARE(numbers(CWavFileDelLogic::Naisen), QStringList({"201", "208", "215", "222"}));
    }

    // 音声を書き出す... of the selected rows: what is written, what is left out and said, and that a cancel leaves
    // the finished files and no part of the cut one.
    void exportAudio_data() {
        QTest::addColumn<QString>("rows"); // v voice, i information only, m voice file missing
        QTest::addColumn<bool>("wav");
        QTest::addColumn<bool>("normalize");
        QTest::addColumn<bool>("cancelInSecond");
        QTest::addColumn<bool>("folderThere");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("written");
        QTest::addColumn<QString>("told");
        using R = CAudioExport::Result;
        QTest::newRow("opus, information only left out")
            << "viv" << false << false << false << true << int(R::Completed) << 2
            << "2件の音声ファイルを書き出しました。\n書き出し先：DIR\n録音情報のみのメッセージ1件は書き出していません"
               "。";
        QTest::newRow("wav") << "v" << true << false << false << true << int(R::Completed) << 1
                             << "1件の音声ファイルを書き出しました。";
        QTest::newRow("cancelled in the second file")
            << "vv" << false << false << true << true << int(R::Cancelled) << 1
            << "書き出しを中止しました。\n中止までに書き出した1件はそのまま残してあります。";
        QTest::newRow("a voice file gone") << "mv" << false << false << false << true << int(R::Partly) << 1
                                           << "書き出せなかったもの（1件）：\n  gone.vmdat";
        QTest::newRow("information only")
            << "i" << false << false << false << true << int(R::Nothing) << 0 << "書き出す音声ファイルがありません。";
        QTest::newRow("wav, normalised") << "v" << true << true << false << true << int(R::Completed) << 1
                                         << "1件の音声ファイルを書き出しました。";
        QTest::newRow("no folder") << "v" << false << false << false << false << int(R::Nothing) << 0
                                   << "書き出し先のフォルダがありません。";
    }
    void exportAudio() {
        QFETCH(QString, rows);
        QFETCH(bool, wav);
        QFETCH(bool, normalize);
        QFETCH(bool, cancelInSecond);
        QFETCH(bool, folderThere);
        QFETCH(int, result);
        QFETCH(int, written);
        QFETCH(QString, told);
        std::vector<FILESTS_INFO> selected;
        for (const QChar c : rows) {
            selected.push_back(message(c != 'i', 300));
            if (c == 'm') {
                FILESTS_INFO::setText(selected.back().filePath, m_box + "/gone.vmdat");
            }
        }
        const QString folder = m_dir.filePath(QStringLiteral("export%1").arg(m_serial));
        if (folderThere) {
            QVERIFY(QDir().mkpath(folder));
        }
        CScriptedUi ui;
        ui.onDispatch = [&](int) {
            // Once the second file has its first second of voice written.
            bool second = false;
            for (const auto& e : ui.progressEvents) {
                second = second || (e.what == "counter" && e.value == QStringLiteral("2／2"));
                if (second && cancelInSecond && e.what == "pos" && e.value == "100" && !CCancelFlag::isSet()) {
                    ui.pressCancel(QStringLiteral("書き出し中"));
                }
            }
        };
        CAudioExport::Options o;
        o.folder = folder;
        o.format = wav ? CAudioExport::Format::Wav : CAudioExport::Format::Opus;
        o.normalize = normalize;
        const CAudioExport::Outcome out = CAudioExport::Run(ui, selected, o);
        QCOMPARE(int(out.result), result);
        QCOMPARE(out.written.size(), written);
        // Nothing else in the folder: no part of a cancelled file.
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), written);
        QVERIFY2(ui.messageTexts().join("|").contains(QString(told).replace("DIR", folder)),
                 qPrintable(ui.messageTexts().join("|")));
        QVERIFY(ui.mainWindowEnabled);
        QVERIFY(!ui.hasOpenProgress(QStringLiteral("書き出し中")));
        for (const QString& f : out.written) {
            QCOMPARE(CTestFiles::read(f).left(4), wav ? QByteArray("RIFF") : QByteArray("OggS"));
        }
        if (wav && !normalize) {
            // The samples the conversion writes, header and all.
            const QString voice = FILESTS_INFO::text(selected[0].filePath);
            QVERIFY(CFileMng::ConvertToWav(voice, &ui, nullptr));
            QCOMPARE(CTestFiles::read(out.written[0]), CTestFiles::read(wavOf(selected[0])));
        }
        if (normalize) {
            // Brought to the player's level, as 音量を揃える plays it.
            const QByteArray data = CTestFiles::read(out.written[0]).mid(CG729Decoder::WAV_HEADER_BYTES);
            CVoiceMeasure m;
            m.add(reinterpret_cast<const int16_t*>(data.constData()), data.size() / 2);
            const CVoiceMeasure::Figures f = m.finish();
            QVERIFY2(std::abs(f.loudnessLufs - CVoiceMeasure::TARGET_LUFS) <= 1.0 || f.peakDbfs > -0.5,
                     qPrintable(QString::number(f.loudnessLufs)));
        }
    }
    // The name of an exported file on any file system: only safe characters, the parts the record has.
    void exportNames_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("boxNo");
        QTest::addColumn<QString>("recorded");
        QTest::addColumn<QString>("callerNo");
        QTest::addColumn<QString>("name");
        QTest::newRow("extension box") << "dl/naisen/201/x.vmdat"
                                       << "201"
                                       << "2026/11/17 03:04"
                                       << "03-9721-2867"
                                       << "2026-11-17_0304_naisen201_03-9721-2867";
        QTest::newRow("no caller number") << "dl/rusuroku/02/x.vmdat"
                                          << "02"
                                          << "2026/11/17 13:04"
                                          << ""
                                          << "2026-11-17_1304_rusuroku02";
        QTest::newRow("unsafe caller number") << "dl/rusuroku/02/x.vmdat"
                                              << "02"
                                              << "2026/11/17 13:04"
                                              << "../03 *9721:\"2867\"?"
                                              << "2026-11-17_1304_rusuroku02_03_9721_2867";
        QTest::newRow("no date, outside a box folder") << "elsewhere/2026111703045004_215__1004.vmdat"
                                                       << ""
                                                       << "?"
                                                       << "非通知"
                                                       << "2026111703045004_215_1004_box";
    }
    void exportNames() {
        QFETCH(QString, file);
        QFETCH(QString, boxNo);
        QFETCH(QString, recorded);
        QFETCH(QString, callerNo);
        QFETCH(QString, name);
        FILESTS_INFO rec;
        rec.clear();
        FILESTS_INFO::setText(rec.boxNo, boxNo);
        FILESTS_INFO::setText(rec.recDateTime, recorded);
        FILESTS_INFO::setText(rec.callerNo, callerNo);
        QCOMPARE(CAudioExportName::stem(rec, m_dir.filePath(file)), name);
        QCOMPARE(CAudioExportName::candidate(name, 3, ".opus"), name + "-3.opus");
    }
    // メールで送る through a stand-in xdg-email on PATH that records its arguments: the files attached with the
    // callers in the subject; without a mail program the user is told and shown the folder.
    void mailTheExportedFiles_data() {
        QTest::addColumn<QString>("standIn"); // the stand-in's last line; empty: none on PATH
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("told");
        QTest::addColumn<bool>("folderShown");
        using R = CMailAttach::Result;
        QTest::newRow("the mail program takes them") << "exit 0" << int(R::Opened) << "" << false;
        QTest::newRow("still composing") << "/bin/sleep 1" << int(R::Opened) << "" << false;
        QTest::newRow("no mail program set up")
            << "exit 3" << int(R::NoMailProgram) << "メールソフトが設定されていない" << true;
        QTest::newRow("no xdg-email") << "" << int(R::NoMailProgram) << "メールソフトが設定されていない" << true;
        QTest::newRow("refused") << "exit 1" << int(R::Failed) << "メールソフトにファイルを渡せませんでした" << false;
    }
    void mailTheExportedFiles() {
        QFETCH(QString, standIn);
        QFETCH(int, result);
        QFETCH(QString, told);
        QFETCH(bool, folderShown);
        const QString bin = m_dir.filePath(QStringLiteral("bin%1").arg(m_serial));
        const QString argsFile = bin + "/args";
        QVERIFY(QDir().mkpath(bin));
        if (!standIn.isEmpty()) {
            QFile script(bin + "/xdg-email");
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write(QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >\"%1\"\n%2\n")
                             .arg(argsFile, standIn)
                             .toUtf8());
            script.close();
            script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
        const QByteArray path = qgetenv("PATH");
        // Only the stand-in: the desktop's own xdg-email is not asked.
        qputenv("PATH", QFile::encodeName(bin));
        const std::vector<FILESTS_INFO> rows{message(true), message(true)};
        const QStringList files{bin + "/a.opus", bin + "/b.opus"};
        for (const QString& f : files) {
            QFile attached(f);
            QVERIFY(attached.open(QIODevice::WriteOnly));
        }
        CScriptedUi ui;
        CMailAttach::Setup setup;
        setup.verdictMs = 500;
        const CMailAttach::Result r = CMailAttach::Send(ui, files, rows, bin, setup);
        qputenv("PATH", path);
        QCOMPARE(int(r), result);
        QCOMPARE(ui.messageTexts().join("|").contains(told) && !told.isEmpty(), !told.isEmpty());
        QCOMPARE(ui.openedFiles, folderShown ? QStringList{bin} : QStringList());
        // A mail program still composing ends by itself, and the process kept for it goes then.
        QTest::qWait(result == int(CMailAttach::Result::Opened) ? 1500 : 0);
        if (standIn.isEmpty()) {
            return;
        }
        const QStringList args = QString::fromUtf8(CTestFiles::read(argsFile)).split('\n');
        QCOMPARE(args.mid(args.indexOf("--attach")).join(' '), "--attach " + files[0] + " --attach " + files[1] + " ");
        QCOMPARE(args.value(args.indexOf("--subject") + 1), QStringLiteral("音声メッセージ 2件"));
        QVERIFY(args.join('\n').contains(QStringLiteral("相手名称：佐藤花子")));
    }
};

QTEST_GUILESS_MAIN(TstCommands)
#include "tst_commands.moc"
