#include "admin/CAdminTexts.h"
#include "admin/CCsvExport.h"
#include "admin/CExportSetLogic.h"
#include "list/CListModel.h"
#include "operations/CFolderCheckLogic.h"
#include "platform/CCp932.h"
#include "settings/CKeldaSession.h"
#include "support/CSampleFolder.h"
#include "support/CScriptedUi.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Three messages of box 01 with a flag, import status and date each, listed with the columns ﾌﾗｸﾞ, 取込, 日時.
struct ThreeRows {
    QTemporaryDir dir;
    CKeldaSession doc;
    CScriptedUi ui;
    CListModel* model = nullptr;

    ThreeRows() {
        const struct {
            bool voice;
            int importStatus;
            int flag;
            const char* time;
        } rows[] = {{false, 0, 1, "10:15"}, {true, 1, 0, "10:16"}, {true, 2, 1, "10:17"}};
        int seq = 1;
        for (const auto& r : rows) {
            CSampleFolder::Message m;
            m.voice = r.voice;
            m.importStatus = r.importStatus;
            m.flag = r.flag;
            m.dateTime = QStringLiteral("2026/12/08 ") + QLatin1String(r.time);
            CSampleFolder::writeMessage(dir.filePath("dl/rusuroku/01"), "01", seq++, m);
        }
        doc.folder = dir.path();
        doc.num = 1;
        doc.slotFolderName[0] = "dl";
        doc.slotDisp[0] = "留守録BOX：01";
        doc.setColumns({"ﾌﾗｸﾞ", "取込", "日時"}, {});
        model = new CListModel(doc, 1, ui);
        model->rebuildColumns();
        model->load(CListModel::Load::Fresh);
        QDir().mkpath(dir.filePath("out"));
    }
    ~ThreeRows() { delete model; }
    QString out() const { return dir.filePath("out"); }
};

const QByteArray kThreeRowsCsv = CCp932::fromUnicode(QStringLiteral("ﾌﾗｸﾞ,取込,日時\n"
                                                                    "ﾌﾗｸﾞ,情報+音声(未再生),2026/12/08 10:17\n"
                                                                    ",情報+音声(再生済),2026/12/08 10:16\n"
                                                                    "ﾌﾗｸﾞ,情報のみ,2026/12/08 10:15\n"));

} // namespace

class TestCsvExport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Fields are not quoted, so a caller name from the unit must not bring its own field or line breaks.
    void everyRowStaysOneLineWithTheHeadersFields_data() {
        QTest::addColumn<QString>("callerName");
        QTest::addColumn<QString>("written");
        QTest::newRow("comma") << QStringLiteral("山田,太郎") << QStringLiteral("山田，太郎");
        QTest::newRow("LF") << QStringLiteral("山田\n太郎") << QStringLiteral("山田 太郎");
        QTest::newRow("CR") << QStringLiteral("山田\r太郎") << QStringLiteral("山田 太郎");
        QTest::newRow("CRLF and commas") << QStringLiteral("a,\r\nb,") << QStringLiteral("a，  b，");
        QTest::newRow("plain") << QStringLiteral("山田太郎") << QStringLiteral("山田太郎");
    }
    void everyRowStaysOneLineWithTheHeadersFields() {
        QFETCH(QString, callerName);
        QFETCH(QString, written);
        QTemporaryDir dir;
        CSampleFolder::Message m;
        m.dateTime = QStringLiteral("2026/12/08 10:15");
        m.callerName = callerName;
        CSampleFolder::writeMessage(dir.filePath("dl/rusuroku/01"), "01", 1, m);
        m.dateTime = QStringLiteral("2026/12/08 10:16");
        m.callerName = QStringLiteral("next");
        CSampleFolder::writeMessage(dir.filePath("dl/rusuroku/01"), "01", 2, m);

        CKeldaSession doc;
        doc.folder = dir.path();
        doc.num = 1;
        doc.slotFolderName[0] = "dl";
        doc.slotDisp[0] = "留守録BOX：01";
        doc.setColumns({"BOX番号", "相手名称", "日時"}, {});
        CScriptedUi ui;
        CListModel model(doc, 1, ui);
        model.rebuildColumns();
        model.load(CListModel::Load::Fresh);
        QCOMPARE(model.rowCount(), 2);

        const QString csv = CCp932::toUnicode(CCsvExport::ExportBytes(model));
        QVERIFY(!csv.contains(QLatin1Char('\r')));
        QStringList lines = csv.split(QLatin1Char('\n'));
        QCOMPARE(lines.takeLast(), QString());
        QCOMPARE(lines, QStringList({"BOX番号,相手名称,日時", "01,next,2026/12/08 10:16",
                                     "01," + written + ",2026/12/08 10:15"}));
    }

    // The findings of a folder check as CSV: every field quoted, so a path with a comma, a quote or a line break
    // stays one field of one record.
    void folderCheckFindingsStayOneRecordEach_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << QStringLiteral("/dl/rusuroku/01/notes.txt")
                               << QStringLiteral("\"/dl/rusuroku/01/notes.txt\"");
        QTest::newRow("comma") << QStringLiteral("/dl/rusuroku/01/a,b.txt")
                               << QStringLiteral("\"/dl/rusuroku/01/a,b.txt\"");
        QTest::newRow("quote") << QStringLiteral("/dl/rusuroku/01/\"x\".txt")
                               << QStringLiteral("\"/dl/rusuroku/01/\"\"x\"\".txt\"");
        QTest::newRow("line break") << QStringLiteral("/dl/営業\n部/01/x") << QStringLiteral("\"/dl/営業\n部/01/x\"");
    }
    void folderCheckFindingsStayOneRecordEach() {
        QFETCH(QString, path);
        QFETCH(QString, written);
        CHECK_FINDING f;
        f.kind = CHECK_FINDING::Kind::Stray;
        f.path = path;
        f.problem = QStringLiteral("不明なファイル");
        f.advice = QStringLiteral("移してください");
        const QByteArray bytes = CFolderCheckLogic::CsvBytes({f, f});
        QCOMPARE(CCp932::toUnicode(bytes),
                 "kind,path,problem,advice\n" +
                     QString("stray," + written + ",\"不明なファイル\",\"移してください\"\n").repeated(2));
    }

    // The export dialog's file holds exactly the list export's bytes: CP932, LF line ends, the two columns as
    // words, the list's row order.
    void exportWritesTheListsLines() {
        ::umask(022);
        ThreeRows t;
        QCOMPARE(t.model->rowCount(), 3);
        QCOMPARE(CCsvExport::ExportBytes(*t.model), kThreeRowsCsv);
        CExportSetLogic logic(t.ui, t.doc, t.model);
        logic.open();
        QVERIFY(!logic.okEnabled());
        QCOMPARE(logic.title(), QStringLiteral("エクスポート設定"));
        logic.setFolder(t.out());
        QVERIFY(!logic.okEnabled());
        logic.setFile("list.csv");
        QVERIFY(logic.okEnabled());
        QCOMPARE(logic.ok(), CExportSetLogic::Ok::Exported);
        QVERIFY(t.ui.messages.isEmpty());
        QCOMPARE(readBytes(t.out() + "/list.csv"), kThreeRowsCsv);
        // Written under a temporary name, the file still gets the permissions of any new file.
        const QFileDevice::Permissions rw = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                            QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
        QCOMPARE(QFileInfo(t.out() + "/list.csv").permissions() & rw,
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        QCOMPARE(t.doc.exportPath, t.out());
        QCOMPARE(t.doc.exportName, QStringLiteral("list.csv"));
        QCOMPARE(QDir(t.out()).entryList(QDir::Files | QDir::Hidden), QStringList{"list.csv"});

        // Reopened with the remembered values: "OK" is enabled at once.
        CExportSetLogic again(t.ui, t.doc, t.model);
        again.open();
        QVERIFY(again.okEnabled());
        QCOMPARE(again.folder(), t.out());
    }

    void refusals_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("withModel");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("no .csv") << "out"
                                 << "list.txt" << true << false;
        QTest::newRow(".csv before another extension") << "out"
                                                       << "list.csv.txt" << true << true;
        QTest::newRow("folder missing") << "nowhere"
                                        << "list.csv" << true << false;
        QTest::newRow("no active list") << "out"
                                        << "list.csv" << false << false;
    }
    void refusals() {
        QFETCH(QString, folder);
        QFETCH(QString, file);
        QFETCH(bool, withModel);
        QFETCH(bool, accepted);
        ThreeRows t;
        CExportSetLogic logic(t.ui, t.doc, withModel ? t.model : nullptr);
        logic.open();
        logic.setFolder(t.dir.filePath(folder));
        logic.setFile(file);
        const CExportSetLogic::Ok result = logic.ok();
        QCOMPARE(result == CExportSetLogic::Ok::Exported, accepted);
        if (!accepted) {
            QCOMPARE(t.ui.messageTexts(), QStringList{CAdminTexts::ExportError()});
            QCOMPARE(t.ui.lastMessage()->caption, QStringLiteral("エラー"));
            QVERIFY(t.doc.exportName.isEmpty());
            QVERIFY(QDir(t.out()).entryList(QDir::Files | QDir::Hidden).isEmpty());
            QVERIFY(logic.okEnabled() && !logic.running() && !logic.progressVisible());
            QCOMPARE(logic.text(), QStringLiteral("一覧表をCSVファイルとしてエクスポートします。"));
        }
    }

    void emptyListIsRefused() {
        ThreeRows t;
        t.doc.slotDisp[0] = "留守録BOX：99";
        t.model->load(CListModel::Load::Fresh);
        QCOMPARE(t.model->rowCount(), 0);
        CExportSetLogic logic(t.ui, t.doc, t.model);
        logic.setFolder(t.out());
        logic.setFile("list.csv");
        QCOMPARE(logic.ok(), CExportSetLogic::Ok::StayOpen);
        QCOMPARE(t.ui.messageTexts(), QStringList{CAdminTexts::ExportError()});
    }

    // Overwriting asks first; "No" keeps the earlier file; a cancel midway keeps it too and leaves no part of
    // the new one behind.
    void overwriteAndCancel() {
        ThreeRows t;
        const QString target = t.out() + "/list.csv";
        QFile earlier(target);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier export\n");
        earlier.close();

        CExportSetLogic logic(t.ui, t.doc, t.model);
        logic.setFolder(t.out());
        logic.setFile("list.csv");
        t.ui.replies = {MsgResult::No};
        QCOMPARE(logic.ok(), CExportSetLogic::Ok::StayOpen);
        QCOMPARE(t.ui.messageTexts(), QStringList{CAdminTexts::ExportOverwrite(target)});
        QCOMPARE(t.ui.lastMessage()->caption, QStringLiteral("エクスポート設定"));
        QCOMPARE(t.ui.lastMessage()->buttons, MsgButtons::YesNo);
        QCOMPARE(readBytes(target), QByteArray("earlier export\n"));

        t.ui.messages.clear();
        t.ui.onDispatch = [&](int) {
            if (logic.running() && logic.progressPos() >= 1) {
                QVERIFY(!logic.cancel());
            }
        };
        QCOMPARE(logic.ok(), CExportSetLogic::Ok::StayOpen);
        QCOMPARE(t.ui.messageTexts(), QStringList{CAdminTexts::ExportOverwrite(target)});
        QCOMPARE(readBytes(target), QByteArray("earlier export\n"));
        QCOMPARE(QDir(t.out()).entryList(QDir::Files | QDir::Hidden), QStringList{"list.csv"});
        QVERIFY(!logic.running() && !logic.cancelRequested() && logic.okEnabled());
        QCOMPARE(logic.title(), QStringLiteral("エクスポート設定"));
        QVERIFY(t.doc.exportName.isEmpty());

        t.ui.onDispatch = nullptr;
        QCOMPARE(logic.ok(), CExportSetLogic::Ok::Exported);
        QCOMPARE(readBytes(target), kThreeRowsCsv);
    }

    void chooserFillsTheFields() {
        ThreeRows t;
        CExportSetLogic logic(t.ui, t.doc, t.model);
        logic.open();
        t.ui.saveFileChoice = t.out() + "/chosen";
        QVERIFY(logic.choose());
        QCOMPARE(logic.folder(), t.out());
        QCOMPARE(logic.file(), QStringLiteral("chosen.csv"));
        QCOMPARE(t.doc.exportName, QStringLiteral("chosen.csv"));
        QVERIFY(logic.okEnabled());
        t.ui.saveFileChoice.clear();
        QVERIFY(!logic.choose());
    }
};

QTEST_GUILESS_MAIN(TestCsvExport)
#include "tst_csvexport.moc"
