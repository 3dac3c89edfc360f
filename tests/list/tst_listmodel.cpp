#include "list/CBoxOpenLogic.h"
#include "list/CBoxSelection.h"
#include "list/CListColumns.h"
#include "list/CListModel.h"
#include "settings/CKeldaSession.h"
#include "shell/CMainFrameLogic.h"
#include "store/CFileMng.h"
#include "support/CSampleFolder.h"
#include "support/CScriptedUi.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestListModel : public QObject {
    Q_OBJECT

    static CSampleFolder::Message msg(const QString& dateTime, bool voice = true, int importStatus = 2) {
        CSampleFolder::Message m;
        m.dateTime = dateTime;
        m.voice = voice;
        m.importStatus = importStatus;
        return m;
    }

private Q_SLOTS:
    void boxSelectionTexts() {
        QCOMPARE(CBoxSelection::build({"01", "02"}, {"100", "101"}), QString("留守録BOX：01,02,  内線BOX：100,101"));
        QCOMPARE(CBoxSelection::build({}, {"100"}), QString("内線BOX：100"));
        QCOMPARE(CBoxSelection::build({"01"}, {}), QString("留守録BOX：01"));
        QCOMPARE(CBoxSelection::build({}, {}), QString());

        const auto boxes = CBoxSelection::parse("留守録BOX：01,02,  内線BOX：100,101");
        QCOMPARE(boxes.size(), size_t(4));
        QVERIFY(!boxes[1].naisen && boxes[1].boxNo == "02");
        QVERIFY(boxes[2].naisen && boxes[3].boxNo == "101");
        // A half-width separator works the same; blank pieces name nothing.
        QCOMPARE(CBoxSelection::parse("内線BOX:7,,8").size(), size_t(2));
        QCOMPARE(CBoxSelection::boxFolders("/d/f/", "留守録BOX：01,  内線BOX：100"),
                 QStringList({"/d/f/rusuroku/01", "/d/f/naisen/100"}));
    }

    void packsRecordsPastStrayFilesInDefaultOrder() {
        QTemporaryDir dir;
        const QString folder = dir.filePath("dl");
        CSampleFolder::writeMessage(folder + "/rusuroku/02", "02", 1, msg("2026/01/01 10:00"));
        CSampleFolder::writeMessage(folder + "/rusuroku/02", "02", 2, msg("2026/03/01 10:00", false));
        CSampleFolder::writeMessage(folder + "/naisen/100", "100", 3, msg("2026/02/01 10:00", true, 1));
        CSampleFolder::writeMessage(folder + "/naisen/100", "100", 4, msg("2026/05/01 10:00", true, 1));
        QFile stray(folder + "/rusuroku/02/notes.txt");
        QVERIFY(stray.open(QIODevice::WriteOnly));
        stray.write("x");
        stray.close();

        CKeldaSession doc;
        doc.folder = dir.path();
        doc.folderName = "dl";
        doc.num = 1;
        doc.slotFolderName[0] = "dl";
        doc.slotDisp[0] = "留守録BOX：02,  内線BOX：100";
        doc.resetColumns();
        CScriptedUi ui;
        CListModel model(doc, 1, ui);
        model.load(CListModel::Load::Fresh);

        // The stray file is counted, so one spare zero record sits at the end; the naisen box follows directly.
        QCOMPARE(model.arraySize(), 5);
        QCOMPARE(model.records().size(), size_t(6));
        QCOMPARE(model.rowCount(), 4);
        QVERIFY(model.records()[2].filePath[0] != 0);
        QVERIFY(model.records()[4].filePath[0] == 0);
        QCOMPARE(model.boxTotal(), 4);
        QCOMPARE(model.listTotal(), 4);
        QCOMPARE(model.playedOnUnit(), 2);
        QCOMPARE(model.unplayedOnUnit(), 1);
        QVERIFY(model.infoOnlyPresent());

        // Box number ascending, newest first inside a box.
        const int boxCol = model.findColumn(CListModel::ColBoxNo);
        const int dtCol = model.findColumn(CListModel::ColDateTime);
        QStringList order;
        for (int r = 0; r < model.rowCount(); ++r) {
            order << model.cellText(r, boxCol) + ' ' + model.cellText(r, dtCol).left(7);
        }
        QCOMPARE(order, QStringList({"02 2026/03", "02 2026/01", "100 2026/05", "100 2026/02"}));

        const int fileCol = model.findColumn(CListModel::ColFileName);
        QVERIFY(model.cellText(0, fileCol).startsWith("dl/rusuroku/02/"));
        QCOMPARE(model.cellText(0, model.findColumn(CListModel::ColImport)), QString("2"));
        QCOMPARE(model.cellText(2, model.findColumn(CListModel::ColImport)), QString("1"));

        // The first load showed the progress window; a reload does not.
        QCOMPARE(ui.progressEvents.first().title, QString("一覧表を開く"));
        QVERIFY(!ui.hasOpenProgress("一覧表を開く"));
        const auto before = ui.progressEvents.size();
        model.load(CListModel::Load::Refresh);
        QCOMPARE(ui.progressEvents.size(), before);
        QVERIFY(ui.mainWindowEnabled);

        // Selection facts.
        auto f = model.selectionFacts({0});
        QVERIFY(!f.voiceSelected && !f.singleVoiceSelected);
        f = model.selectionFacts({1});
        QVERIFY(f.voiceSelected && f.singleVoiceSelected);
        QCOMPARE(f.singleRecord, model.recordIndex(1));
        f = model.selectionFacts({1, 2});
        QVERIFY(f.voiceSelected && !f.singleVoiceSelected);
        // Convert with any voice row among the selection, play with exactly one.
        f = model.selectionFacts({});
        QVERIFY(!f.voiceSelected && !f.singleVoiceSelected);
        f = model.selectionFacts({0, 1});
        QVERIFY(f.voiceSelected && !f.singleVoiceSelected);
    }

    void flagClickWritesTheRecord() {
        QTemporaryDir dir;
        const QString file =
            CSampleFolder::writeMessage(dir.filePath("dl/rusuroku/01"), "01", 1, msg("2026/01/01 10:00"));
        const QByteArray tail = [&] {
            QFile f(file);
            f.open(QIODevice::ReadOnly);
            return f.readAll().mid(FILESTS_INFO::SIZE);
        }();
        CKeldaSession doc;
        CSampleFolder::showFirstList(doc, dir.path(), "留守録BOX：01");
        CScriptedUi ui;
        CListModel model(doc, 1, ui);
        model.load(CListModel::Load::Fresh);
        QCOMPARE(model.cellText(0, 0), QString("0"));
        QCOMPARE(model.toggleFlag(0), 1);
        FILESTS_INFO rec;
        CFileMng::ReadRecord(file, rec);
        QCOMPARE(int(rec.flag), 1);
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        QCOMPARE(f.readAll().mid(FILESTS_INFO::SIZE), tail);
        model.load(CListModel::Load::Refresh);
        QCOMPARE(model.cellText(0, 0), QString("1"));

        // An unwritable file keeps its state in the list too.
        QFile::setPermissions(file, QFile::ReadOwner);
        if (!QFileInfo(file).isWritable()) {
            QCOMPARE(model.toggleFlag(0), 0);
            QCOMPARE(model.cellText(0, 0), QString("1"));
        }
    }

    void boxOpenDecisions() {
        QTemporaryDir dir;
        const QString root = dir.path();
        CSampleFolder::makeDownloadFolder(root, "dl", {"01", "02"}, {"100"}, 1);
        QDir().mkpath(root + "/empty/rusuroku");
        CKeldaSession doc;
        doc.folder = root;
        doc.folderName = "dl";
        doc.num = 1;
        doc.slotFolderName[0] = "dl";
        doc.slotDisp[0] = "留守録BOX：02";
        doc.slotFolderName[1] = "leftover";
        CScriptedUi ui;

        CBoxOpenLogic open(doc, ui);
        QVERIFY(open.checkHasBoxes());
        auto& rusu = open.rusuroku();
        QCOMPARE(rusu.size(), size_t(2));
        auto find = [](std::vector<CBoxOpenLogic::Row>& rows, const QString& box) -> CBoxOpenLogic::Row& {
            for (auto& r : rows) {
                if (r.boxNo == box) {
                    return r;
                }
            }
            return rows.front();
        };
        QCOMPARE(find(rusu, "02").check, int(CBoxOpenLogic::Greyed));
        QCOMPARE(find(rusu, "01").check, int(CBoxOpenLogic::Unchecked));
        CBoxOpenLogic::setAll(rusu, true);
        QCOMPARE(find(rusu, "02").check, int(CBoxOpenLogic::Greyed));
        CBoxOpenLogic::setAll(rusu, false);

        // Nothing ticked.
        QCOMPARE(open.accept(), 0);
        QCOMPARE(ui.lastMessage()->text, QString("BOXが選択されていません。"));
        QCOMPARE(ui.lastMessage()->caption, QString("エラー"));

        for (size_t k = 0; k < rusu.size(); ++k) {
            CBoxOpenLogic::toggle(rusu, int(k));
        }
        CBoxOpenLogic::toggle(open.naisen(), 0);
        QCOMPARE(open.accept(), 2);
        QCOMPARE(doc.slotDisp[1], QString("留守録BOX：01,  内線BOX：100"));
        QCOMPARE(doc.slotFolderName[1], QString("dl"));

        // Another folder's lists do not grey anything.
        doc.folderName = "dl";
        doc.slotFolderName[0] = "elsewhere";
        CBoxOpenLogic other(doc, ui);
        QCOMPARE(find(other.rusuroku(), "02").check, int(CBoxOpenLogic::Unchecked));

        doc.num = 4;
        CBoxOpenLogic full(doc, ui);
        CBoxOpenLogic::toggle(full.naisen(), 0);
        QCOMPARE(full.accept(), 0);
        QCOMPARE(ui.lastMessage()->text, QString("開ける一覧表が上限に達しています。"));

        doc.folderName = "empty";
        CBoxOpenLogic none(doc, ui);
        QVERIFY(!none.checkHasBoxes());
        QCOMPARE(ui.lastMessage()->text, QString("フォルダにボックス情報がありません。\n確認ください。"));
    }

    // Every title the display-column setting can hold names one column of the table, and no two titles or
    // command-line keys name the same one: the list, its export and kelda-cli find a column by them.
    void everySettingTitleNamesItsOwnColumn_data() {
        QTest::addColumn<QString>("title");
        for (const QString& t : CKeldaSettings::resetShownColumns() + CKeldaSettings::resetRemovedColumns()) {
            QTest::newRow(qPrintable(t)) << t;
        }
    }
    void everySettingTitleNamesItsOwnColumn() {
        QFETCH(QString, title);
        const CListColumns::Kind kind = CListColumns::kindOfTitle(title);
        QVERIFY(kind != CListColumns::ColUnknown);
        QCOMPARE(CListColumns::of(kind).kind, kind);
        int sameTitle = 0;
        int sameKey = 0;
        for (const QString& other : CKeldaSettings::resetShownColumns() + CKeldaSettings::resetRemovedColumns()) {
            sameTitle += CListColumns::kindOfTitle(other) == kind ? 1 : 0;
        }
        for (const CListColumns::Column& c : CListColumns::all()) {
            sameKey += QLatin1String(c.key) == QLatin1String(CListColumns::of(kind).key) ? 1 : 0;
        }
        QCOMPARE(sameTitle, 1);
        QCOMPARE(sameKey, 1);
        QCOMPARE(CListColumns::all().size(), size_t(CListColumns::ColUnknown));
        QCOMPARE(CListColumns::kindOfTitle(u"選択"), CListColumns::ColUnknown);
    }

    // A window sizes a column by one text of each shape its rows show: every row's text must have its shape
    // there (or the column comes out too narrow for it), and texts that differ only in ASCII digits share one.
    void columnTextsComeOneOfEachShape_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("shapes"); // digits written as 0
        QTest::newRow("digits alike") << QStringList{"山田1", "山田2", "山田10", "山田7"}
                                      << QStringList{"山田0", "山田00"};
        QTest::newRow("case is no digit") << QStringList{"a1", "A1", "a2"} << QStringList{"a0", "A0"};
        QTest::newRow("full-width digits are not ASCII")
            << QStringList{"１", "２", "1"} << QStringList{"１", "２", "0"};
        QTest::newRow("a shape seen before comes again")
            << QStringList{"x1", "y1", "x2", "y3"} << QStringList{"x0", "y0"};
        QTest::newRow("empty names") << QStringList{"", ""} << QStringList{""};
    }
    void columnTextsComeOneOfEachShape() {
        QFETCH(QStringList, names);
        QFETCH(QStringList, shapes);
        QTemporaryDir dir;
        for (int k = 0; k < names.size(); ++k) {
            CSampleFolder::Message m = msg(QStringLiteral("2026/01/%1 10:00").arg(k + 1, 2, 10, QChar('0')));
            m.callerName = names[k];
            CSampleFolder::writeMessage(dir.filePath("dl/rusuroku/01"), "01", k + 1, m);
        }
        CKeldaSession doc;
        CSampleFolder::showFirstList(doc, dir.path(), "留守録BOX：01");
        CScriptedUi ui;
        CListModel model(doc, 1, ui);
        model.load(CListModel::Load::Fresh);
        const int column = model.findColumn(CListModel::ColCallerName);
        const std::vector<std::vector<QStringView>> all = model.columnShapes();
        QStringList found;
        for (const QStringView shape : all[static_cast<size_t>(column)]) {
            QString s = shape.toString();
            for (QChar& c : s) {
                if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
                    c = QLatin1Char('0');
                }
            }
            found << s;
        }
        found.sort();
        shapes.sort();
        QCOMPARE(found, shapes);
    }

    // A reload finds the messages the user had selected by their files; a message whose voice data came or went
    // in the meantime is found under its other ending, one no longer there is not found.
    void messagesAreFoundAgainByTheirFiles_data() {
        QTest::addColumn<QStringList>("asked"); // names in box 01; "" asks with an empty identity
        QTest::addColumn<QStringList>("found"); // "" for not found
        const QString a = "2026120810000001_01_000001";
        const QString b = "2026120810000002_01_000002";
        const QString c = "2026120810000003_01_000003";
        QTest::newRow("the same files") << QStringList{c + ".vmdat", a + ".vmdat"}
                                        << QStringList{c + ".vmdat", a + ".vmdat"};
        QTest::newRow("voice data came") << QStringList{b + ".vmdat"} << QStringList{b + ".vminf"};
        QTest::newRow("voice data went") << QStringList{a + ".vminf"} << QStringList{a + ".vmdat"};
        QTest::newRow("gone or empty") << QStringList{"2026120810000009_01_000009.vmdat", "", b + ".vminf"}
                                       << QStringList{"", "", b + ".vminf"};
        QTest::newRow("asked twice") << QStringList{a + ".vmdat", a + ".vmdat"}
                                     << QStringList{a + ".vmdat", a + ".vmdat"};
    }
    void messagesAreFoundAgainByTheirFiles() {
        QFETCH(QStringList, asked);
        QFETCH(QStringList, found);
        QTemporaryDir dir;
        const QString box = dir.filePath("dl/rusuroku/01");
        CSampleFolder::writeMessage(box, "01", 1, msg("2026/01/01 10:00"));
        CSampleFolder::writeMessage(box, "01", 2, msg("2026/01/02 10:00", false));
        CSampleFolder::writeMessage(box, "01", 3, msg("2026/01/03 10:00"));
        CKeldaSession doc;
        CSampleFolder::showFirstList(doc, dir.path(), "留守録BOX：01");
        CScriptedUi ui;
        CListModel model(doc, 1, ui);
        model.load(CListModel::Load::Fresh);
        QCOMPARE(model.rowCount(), 3);
        QStringList identities;
        for (const QString& name : asked) {
            identities << (name.isEmpty() ? QString() : box + '/' + name);
        }
        const std::vector<int> rows = model.rowsOfMessages(identities);
        QStringList names;
        for (const int row : rows) {
            names << (row < 0 ? QString() : model.messageIdentity(row).mid(box.size() + 1));
        }
        QCOMPARE(names, found);
    }

    // One file of a box that cannot be read leaves the rest of the box in the list, and the status line says so.
    void anUnreadableFileCostsOnlyItselfAndIsTold() {
        QTemporaryDir dir;
        const QString box = dir.filePath("dl/rusuroku/02");
        CSampleFolder::writeMessage(box, "02", 1, msg("2026/01/01 10:00"));
        CSampleFolder::writeMessage(box, "02", 3, msg("2026/03/01 10:00"));
        QVERIFY(QFile::link(dir.filePath("nowhere"), box + "/2026020110000002_02_0002.vmdat"));

        CKeldaSession doc;
        CSampleFolder::showFirstList(doc, dir.path(), "留守録BOX：02");
        CScriptedUi ui;
        CListModel model(doc, 1, ui);
        model.load(CListModel::Load::Fresh);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.unreadableFiles(), 1);

        CMainFrameLogic::ListCounts counts;
        counts.boxTotal = model.boxTotal();
        counts.listTotal = model.listTotal();
        counts.unreadable = model.unreadableFiles();
        QCOMPARE(CMainFrameLogic::statusText(3, counts),
                 QString("件数: ﾌｫﾙﾀﾞﾄｰﾀﾙ 3  ﾎﾞｯｸｽﾄｰﾀﾙ 2  一覧表ﾄｰﾀﾙ 2  未再生 0  再生済 0  読めないﾌｧｲﾙ 1"));

        // Once the file is gone, the count goes with it.
        QFile::remove(box + "/2026020110000002_02_0002.vmdat");
        model.load(CListModel::Load::Refresh);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.unreadableFiles(), 0);
    }
};

QTEST_GUILESS_MAIN(TestListModel)
#include "tst_listmodel.moc"
