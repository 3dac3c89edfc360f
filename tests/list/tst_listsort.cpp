// Sorting of a list window: the comparison, the default order, the header-click state machine and its arrow, and
// the orders reloads keep or forget.
#include "list/CListModel.h"
#include "list/CListSortState.h"
#include "settings/CKeldaSession.h"
#include "support/CSampleFolder.h"
#include "support/CScriptedUi.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
struct Row {
    QString box;
    QString date;
    QString callerNo;
    QString callerName;
    QString recTime;
};
} // namespace

class TestListSort : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    CKeldaSession doc;
    CScriptedUi ui;
    int folders = 0;

    // Writes the messages into box folders of a new download folder and points slot 1 at all of them.
    void makeFolder(const QList<Row>& rows) {
        QStringList boxes;
        int seq = 1;
        const QString name = QStringLiteral("dl%1").arg(++folders);
        for (const Row& r : rows) {
            CSampleFolder::Message m;
            m.dateTime = r.date;
            m.callerNo = r.callerNo;
            m.callerName = r.callerName;
            m.recTime = r.recTime;
            QVERIFY(!CSampleFolder::writeMessage(dir.filePath(name + "/rusuroku/" + r.box), r.box, seq++, m).isEmpty());
            if (!boxes.contains(r.box)) {
                boxes << r.box;
            }
        }
        doc.folder = dir.path();
        doc.folderName = name;
        doc.num = 1;
        doc.slotFolderName[0] = name;
        doc.slotDisp[0] = "留守録BOX：" + boxes.join(',');
        doc.resetColumns();
    }

    static QStringList column(const CListModel& m, CListModel::ColumnKind kind) {
        QStringList out;
        const int c = m.findColumn(kind);
        for (int r = 0; r < m.rowCount(); ++r) {
            out << m.cellText(r, c);
        }
        return out;
    }

    // Rows that are equal in the given columns keep the order they were loaded in.
    static bool tiesInLoadOrder(const CListModel& m, const QList<CListModel::ColumnKind>& kinds) {
        for (int r = 1; r < m.rowCount(); ++r) {
            bool equal = true;
            for (auto k : kinds) {
                const int c = m.findColumn(k);
                equal = equal && CListSortState::compare(m.cellText(r - 1, c), m.cellText(r, c)) == 0;
            }
            if (equal && m.recordIndex(r - 1) > m.recordIndex(r)) {
                return false;
            }
        }
        return true;
    }

private Q_SLOTS:
    void comparison_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("sign");
        QTest::newRow("letters without case") << "abc"
                                              << "ABC" << 0;
        QTest::newRow("full-width letters without case") << "ａｂ"
                                                         << "ＡＢ" << 0;
        QTest::newRow("text, not numbers") << "10"
                                           << "9" << -1;
        QTest::newRow("shorter first") << "ab"
                                       << "abc" << -1;
        QTest::newRow("underscore below letters") << "a_"
                                                  << "aB" << -1;
        QTest::newRow("empty") << ""
                               << "" << 0;
        QTest::newRow("kana") << "サトウ"
                              << "ヤマダ" << -1;
    }
    void comparison() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, sign);
        const int r = CListSortState::compare(a, b);
        QCOMPARE((r > 0) - (r < 0), sign);
        const int back = CListSortState::compare(b, a);
        QCOMPARE((back > 0) - (back < 0), -sign);
    }

    // The default order sorts the shown texts as the header sorts compare them: box numbers as text, date-times
    // newest first with a date-time that begins a longer one after it, letters without case, every code unit up
    // to the last one; rows equal in both stay in load order. It holds with either column hidden.
    void defaultOrderComparesTheShownTexts_data() {
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QStringList>("rows"); // "box|date" in the order written
        QTest::addColumn<QStringList>("order");
        const QStringList both{"BOX番号", "日時"};
        const QString last(QChar(0xFFFF));
        QTest::newRow("box numbers as text")
            << both << QStringList{"9|2026/01/01", "100|2026/01/01", "1|2026/01/01", "10|2026/01/01"}
            << QStringList{"1|2026/01/01", "10|2026/01/01", "100|2026/01/01", "9|2026/01/01"};
        QTest::newRow("a date-time that begins another comes after it")
            << both << QStringList{"1|2026/01/01", "1|2026/01/01 10:00", "1|2026/01/01 1"}
            << QStringList{"1|2026/01/01 10:00", "1|2026/01/01 1", "1|2026/01/01"};
        QTest::newRow("letters without case") << both << QStringList{"1|2026 a", "1|2026 B", "1|2026 A", "1|2026 b"}
                                              << QStringList{"1|2026 B", "1|2026 b", "1|2026 a", "1|2026 A"};
        QTest::newRow("full-width letters and the last code unit")
            << both << QStringList{"1|a", "1|ａ", "1|" + last, "1|a" + last, "1|Ｂ"}
            << QStringList{"1|" + last, "1|Ｂ", "1|ａ", "1|a" + last, "1|a"};
        QTest::newRow("an empty date-time last") << both << QStringList{"1|", "2|2026/01/01", "1|2026/01/01"}
                                                 << QStringList{"1|2026/01/01", "1|", "2|2026/01/01"};
        QTest::newRow("date-time hidden")
            << QStringList{"BOX番号", "相手番号"} << QStringList{"2|2026/01/02", "1|2026/01/01", "1|2026/01/03"}
            << QStringList{"1|2026/01/01", "1|2026/01/03", "2|2026/01/02"};
        QTest::newRow("box number hidden")
            << QStringList{"相手番号", "日時"} << QStringList{"1|2026/01/01", "2|2026/01/03", "1|2026/01/02"}
            << QStringList{"2|2026/01/03", "1|2026/01/02", "1|2026/01/01"};
    }
    void defaultOrderComparesTheShownTexts() {
        QFETCH(QStringList, columns);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, order);
        QList<Row> written;
        for (const QString& r : rows) {
            written << Row{r.section('|', 0, 0), r.section('|', 1), "1", "", "00:00:01"};
        }
        makeFolder(written);
        doc.setColumns(columns, {});
        CListModel m(doc, 1, ui);
        m.load(CListModel::Load::Fresh);
        QCOMPARE(m.rowCount(), order.size());
        const bool boxShown = columns.contains("BOX番号");
        const bool dateShown = columns.contains("日時");
        auto same = [](const QString& a, const QString& b) { return CListSortState::compare(a, b) == 0; };
        for (int r = 0; r < m.rowCount(); ++r) {
            const QString box = FILESTS_INFO::text(m.recordAt(r).boxNo);
            const QString date = FILESTS_INFO::text(m.recordAt(r).recDateTime);
            const QString& want = order[r];
            // Rows the shown columns cannot tell apart match either expected text; the load order decides.
            QVERIFY2((!boxShown || same(box, want.section('|', 0, 0))) &&
                         (!dateShown || same(date, want.section('|', 1))),
                     qPrintable(QString("row %1: %2|%3, expected %4").arg(r).arg(box, date, want)));
            if (r > 0) {
                const bool tie = (!boxShown || same(box, FILESTS_INFO::text(m.recordAt(r - 1).boxNo))) &&
                                 (!dateShown || same(date, FILESTS_INFO::text(m.recordAt(r - 1).recDateTime)));
                QVERIFY(!tie || m.recordIndex(r - 1) < m.recordIndex(r));
            }
        }
    }

    void defaultOrderAndHeaderClicks() {
        makeFolder({
            {"9", "2026/01/02 10:00", "0300", "abc", "00:00:30"},
            {"10", "2026/01/01 10:00", "0100", "yamada", "00:00:10"},
            {"9", "2026/01/05 10:00", "0200", "ABC", "00:00:20"},
            {"10", "2026/01/03 10:00", "0100", "abc", "00:00:20"},
            {"9", "2026/01/02 10:00", "0100", "Abc", "00:00:10"},
        });
        CListModel m(doc, 1, ui);
        m.load(CListModel::Load::Fresh);
        QCOMPARE(m.rowCount(), 5);
        // Box numbers as text ("10" before "9"), newest first inside a box, equal date-times in load order.
        QCOMPARE(column(m, CListModel::ColBoxNo), QStringList({"10", "10", "9", "9", "9"}));
        QCOMPARE(column(m, CListModel::ColDateTime).mid(0, 2), QStringList({"2026/01/03 10:00", "2026/01/01 10:00"}));
        QVERIFY(tiesInLoadOrder(m, {CListModel::ColBoxNo, CListModel::ColDateTime}));
        QCOMPARE(m.sortState().arrowColumn(), -1);

        const int recTime = m.findColumn(CListModel::ColRecTime);
        const int callerNo = m.findColumn(CListModel::ColCallerNo);
        const int box = m.findColumn(CListModel::ColBoxNo);
        const int name = m.findColumn(CListModel::ColCallerName);

        // First click: ascending; ties fall back to the default order.
        m.headerClick(recTime);
        QCOMPARE(column(m, CListModel::ColRecTime),
                 QStringList({"00:00:10", "00:00:10", "00:00:20", "00:00:20", "00:00:30"}));
        QCOMPARE(column(m, CListModel::ColBoxNo), QStringList({"10", "9", "10", "9", "9"}));
        QCOMPARE(m.sortState().arrowColumn(), recTime);
        QCOMPARE(m.sortState().arrowImage(), 0);
        // Again: descending.
        m.headerClick(recTime);
        QCOMPARE(column(m, CListModel::ColRecTime).first(), QString("00:00:30"));
        QCOMPARE(column(m, CListModel::ColBoxNo), QStringList({"9", "10", "9", "10", "9"}));
        QCOMPARE(m.sortState().arrowImage(), 1);
        // Another column takes the last direction, and the arrow moves.
        m.headerClick(callerNo);
        QCOMPARE(column(m, CListModel::ColCallerNo), QStringList({"0300", "0200", "0100", "0100", "0100"}));
        QCOMPARE(column(m, CListModel::ColBoxNo).mid(2), QStringList({"10", "10", "9"}));
        QCOMPARE(m.sortState().arrowColumn(), callerNo);
        QCOMPARE(m.sortState().arrowImage(), 1);
        m.headerClick(callerNo);
        QCOMPARE(column(m, CListModel::ColCallerNo).first(), QString("0100"));
        QCOMPARE(m.sortState().arrowImage(), 0);

        // Names equal but for case keep the default order between them: box 10 first, then box 9 newest first.
        m.headerClick(name);
        const QStringList names = column(m, CListModel::ColCallerName);
        QCOMPARE(names.mid(0, 2), QStringList({"abc", "ABC"}));
        QCOMPARE(names.last(), QString("yamada"));
        QCOMPARE(column(m, CListModel::ColBoxNo), QStringList({"10", "9", "9", "9", "10"}));
        QVERIFY(tiesInLoadOrder(m, {CListModel::ColCallerName, CListModel::ColBoxNo, CListModel::ColDateTime}));
        Q_UNUSED(box);
    }

    void caseTiesKeepTheDefaultOrder() {
        makeFolder({
            {"1", "2026/01/01 10:00", "1", "abc", "00:00:01"},
            {"2", "2026/01/01 10:00", "1", "ABC", "00:00:01"},
            {"1", "2026/01/02 10:00", "1", "Abc", "00:00:01"},
            {"2", "2026/01/03 10:00", "1", "b", "00:00:01"},
        });
        CListModel m(doc, 1, ui);
        m.load(CListModel::Load::Fresh);
        m.headerClick(m.findColumn(CListModel::ColCallerName));
        // All three spellings compare equal and stay in the default order: box 1 newest first, then box 2.
        QCOMPARE(column(m, CListModel::ColCallerName), QStringList({"Abc", "abc", "ABC", "b"}));
    }

    void firstBoxClickAfterALoadSortsDescending() {
        makeFolder({
            {"9", "2026/01/02 10:00", "1", "", "00:00:01"},
            {"10", "2026/01/01 10:00", "1", "", "00:00:01"},
            {"100", "2026/01/01 10:00", "1", "", "00:00:01"},
        });
        CListModel m(doc, 1, ui);
        m.load(CListModel::Load::Fresh);
        const int box = m.findColumn(CListModel::ColBoxNo);
        m.headerClick(box);
        QCOMPARE(column(m, CListModel::ColBoxNo), QStringList({"9", "100", "10"}));
        QCOMPARE(m.sortState().arrowImage(), 1);
        m.headerClick(box);
        QCOMPARE(column(m, CListModel::ColBoxNo), QStringList({"10", "100", "9"}));
        QCOMPARE(m.sortState().arrowImage(), 0);
        // After a fresh load the first click turns them round again.
        m.load(CListModel::Load::Fresh);
        QCOMPARE(m.sortState().arrowColumn(), -1);
        m.headerClick(box);
        QCOMPARE(column(m, CListModel::ColBoxNo).first(), QString("9"));
    }

    void reloadsKeepOrForgetTheUsersSort() {
        makeFolder({
            {"1", "2026/01/01 10:00", "0300", "", "00:00:01"},
            {"1", "2026/01/02 10:00", "0100", "", "00:00:01"},
            {"2", "2026/01/03 10:00", "0200", "", "00:00:01"},
        });
        CListModel m(doc, 1, ui);
        m.load(CListModel::Load::Fresh);
        const int callerNo = m.findColumn(CListModel::ColCallerNo);
        m.headerClick(callerNo);
        m.headerClick(callerNo);
        const QStringList userOrder{"0300", "0200", "0100"};
        QCOMPARE(column(m, CListModel::ColCallerNo), userOrder);

        // After playback: the user's column and direction again, the arrow stays, and the next click still
        // turns the rows round.
        m.reload(CListModel::Sort::Keep, CListModel::Columns::Same);
        QCOMPARE(column(m, CListModel::ColCallerNo), userOrder);
        QCOMPARE(m.sortState().arrowColumn(), callerNo);
        QCOMPARE(m.sortState().arrowImage(), 1);
        m.reload(CListModel::Sort::Keep, CListModel::Columns::Same);
        QCOMPARE(column(m, CListModel::ColCallerNo), userOrder);
        m.headerClick(callerNo);
        QCOMPARE(column(m, CListModel::ColCallerNo), QStringList({"0100", "0200", "0300"}));

        // After a column change: the default order, no arrow.
        m.reload(CListModel::Sort::Reset, CListModel::Columns::Changed);
        QCOMPARE(column(m, CListModel::ColCallerNo), QStringList({"0100", "0300", "0200"}));
        QCOMPARE(m.sortState().arrowColumn(), -1);
        QVERIFY(!m.sortState().userSorted());
    }

    void withoutBoxAndDateColumnsTheLoadOrderStays() {
        makeFolder({
            {"2", "2026/01/01 10:00", "1", "", "00:00:01"},
            {"1", "2026/01/02 10:00", "2", "", "00:00:01"},
        });
        doc.setColumns({"相手番号"}, {});
        CListModel m(doc, 1, ui);
        m.load(CListModel::Load::Fresh);
        QCOMPARE(m.recordIndex(0), 0);
        QCOMPARE(m.recordIndex(1), 1);
    }
};

QTEST_GUILESS_MAIN(TestListSort)
#include "tst_listsort.moc"
