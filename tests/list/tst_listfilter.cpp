// Display selection: the matching rules, the criteria dialog's decisions and the two filters of a list.
#include "list/CFindSetLogic.h"
#include "list/CListModel.h"
#include "list/CSelectMatcher.h"
#include "settings/CKeldaSession.h"
#include "settings/CSelectCriteria.h"
#include "store/CFileMng.h"
#include "support/CSampleFolder.h"
#include "support/CScriptedUi.h"

#include <QTemporaryDir>
#include <QtTest>

class TestListFilter : public QObject {
    Q_OBJECT

    static FILESTS_INFO record(const QString& title, const QString& boxNo = "1", const QString& date = QString()) {
        FILESTS_INFO r;
        r.clear();
        FILESTS_INFO::setText(r.title, title);
        FILESTS_INFO::setText(r.boxNo, boxNo);
        FILESTS_INFO::setText(r.recDateTime, date);
        return r;
    }

private Q_SLOTS:
    void wildcard_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("match");
        QTest::newRow("prefix, same") << "AB"
                                      << "AB" << true;
        QTest::newRow("prefix, longer text") << "AB"
                                             << "ABC" << true;
        QTest::newRow("prefix, other text") << "AB"
                                            << "AC" << false;
        QTest::newRow("prefix, shorter text") << "ABC"
                                              << "AB" << false;
        QTest::newRow("case counts") << "ab"
                                     << "AB" << false;
        QTest::newRow("_ inside") << "A_C"
                                  << "ABC" << true;
        QTest::newRow("_ inside, other") << "A_C"
                                         << "AXC" << true;
        QTest::newRow("_ inside, wrong end") << "A_C"
                                             << "ABD" << false;
        QTest::newRow("_ last needs a character") << "AB_"
                                                  << "AB" << false;
        QTest::newRow("_ last with a character") << "AB_"
                                                 << "ABX" << true;
        QTest::newRow("_ alone, empty") << "_"
                                        << "" << false;
        QTest::newRow("% alone, empty") << "%"
                                        << "" << true;
        QTest::newRow("% alone, text") << "%"
                                       << "anything" << true;
        QTest::newRow("%BC on ABC") << "%BC"
                                    << "ABC" << true;
        QTest::newRow("%BC on BCD") << "%BC"
                                    << "BCD" << true;
        QTest::newRow("%BC on ACB") << "%BC"
                                    << "ACB" << false;
        QTest::newRow("%CD on ACXCD: no going back") << "%CD"
                                                     << "ACXCD" << false;
        QTest::newRow("%CD on XXCD") << "%CD"
                                     << "XXCD" << true;
        QTest::newRow("%% never") << "%%"
                                  << "%%" << false;
        QTest::newRow("%% on empty") << "%%"
                                     << "" << false;
        QTest::newRow("A% on A") << "A%"
                                 << "A" << true;
        QTest::newRow("A% on B") << "A%"
                                 << "B" << false;
        QTest::newRow("A%C on ABBC") << "A%C"
                                     << "ABBC" << true;
        QTest::newRow("A%C on ABB") << "A%C"
                                    << "ABB" << false;
        QTest::newRow("%_ last on A") << "%_"
                                      << "A" << true;
        QTest::newRow("%_ last on empty") << "%_"
                                          << "" << false;
        QTest::newRow("%会議 on 定例会議") << "%会議"
                                           << "定例会議です" << true;
        QTest::newRow("empty pattern, empty field") << ""
                                                    << "" << true;
        QTest::newRow("empty pattern, text") << ""
                                             << "A" << false;
    }
    void wildcard() {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, match);
        QCOMPARE(CSelectMatcher::wildcardMatch(pattern, text), match);
    }

    void prefixAndDates() {
        for (const char* box : {"1", "10", "123"}) {
            QVERIFY(CSelectMatcher::prefixMatch(u"1", QString::fromLatin1(box)));
        }
        QVERIFY(!CSelectMatcher::prefixMatch(u"1", u"21"));
        QVERIFY(!CSelectMatcher::prefixMatch(u"12", u"1"));
        QVERIFY(CSelectMatcher::prefixMatch(u"", u""));
        QVERIFY(!CSelectMatcher::prefixMatch(u"", u"1"));

        // Only the date part counts: the last day's 23:59 is inside the range.
        QVERIFY(CSelectMatcher::dateMatch(u"2024/01/01", u"2024/01/31", u"2024/01/31 23:59"));
        QVERIFY(CSelectMatcher::dateMatch(u"2024/01/01", u"2024/01/31", u"2024/01/01 00:00"));
        QVERIFY(!CSelectMatcher::dateMatch(u"2024/01/01", u"2024/01/31", u"2024/02/01 00:00"));
        QVERIFY(!CSelectMatcher::dateMatch(u"2024/01/01", u"2024/01/31", u"2023/12/31 23:59"));
        QVERIFY(CSelectMatcher::dateMatch(u"2024/01/05", u"2024/01/05", u"2024/01/05 12:00"));
        QVERIFY(!CSelectMatcher::dateMatch(u"2024/01/05", u"2024/01/05", u"2024/01/06 12:00"));
    }

    void importCodes() {
        // code -> importStatus values it takes
        const QList<QList<int>> takes{{1, 2, 3}, {1, 2}, {1, 3}, {2, 3}, {1}, {2}, {3}, {0}};
        for (int code = 0; code < 8; ++code) {
            for (int s = 0; s <= 3; ++s) {
                QCOMPARE(CSelectCriteria::importMatches(code, s), takes[code].contains(s));
            }
            const auto t = CSelectCriteria::importTicks(code);
            QCOMPARE(CSelectCriteria::importCode(t[0], t[1], t[2], t[3]), code);
        }
        QCOMPARE(CSelectCriteria::importCode(false, false, false, false), 7);
        QVERIFY(CSelectCriteria::importMatches(8, 2));
    }

    void matchingAllCriteria() {
        CSelectCriteria c = CSelectCriteria::initial();
        QVERIFY(!c.anyUsed());
        FILESTS_INFO r = record("定例会議", "0100", "2026/03/01 09:00");
        r.flag = 1;
        r.importStatus = 2;
        QVERIFY(CSelectMatcher::matches(c, r));
        c.flag = 0;
        QVERIFY(!CSelectMatcher::matches(c, r));
        c.flag = 1;
        c.import = 5;
        QVERIFY(CSelectMatcher::matches(c, r));
        c.import = 4;
        QVERIFY(!CSelectMatcher::matches(c, r));
        c.import = 8;
        // A criterion in use with an empty pattern takes only empty fields.
        c.memoOn = 1;
        QVERIFY(CSelectMatcher::matches(c, r));
        FILESTS_INFO::setText(r.memo, QStringLiteral("x"));
        QVERIFY(!CSelectMatcher::matches(c, r));
    }

    void dialogChecksInOrder() {
        CScriptedUi ui;
        CSelectCriteria shared = CSelectCriteria::initial();
        CFindSetLogic logic(shared, ui, "/root/dl");
        auto& f = logic.form();

        // Nothing ticked.
        QVERIFY(!logic.accept());
        QCOMPARE(ui.lastMessage()->text, QString("選択されていません。"));
        QCOMPARE(ui.lastMessage()->caption, QString("エラー"));

        // Byte counts of the CP932 form: 20 double-byte characters fit a title, 21 do not; a box number takes
        // no double-byte character at all.
        f.titleOn = true;
        f.title = QString(20, QChar(u'会'));
        QVERIFY(logic.accept());
        f.title = QString(21, QChar(u'会'));
        QVERIFY(!logic.accept());
        QCOMPARE(ui.lastMessage()->text, QString("入力値エラーです。"));
        f.title = "A";
        f.boxNo = "ｱ1"; // half-width kana is one byte
        QVERIFY(logic.accept());
        f.boxNo = "１";
        QVERIFY(!logic.accept());
        f.boxNo = "12345";
        QVERIFY(!logic.accept());
        f.boxNo.clear();
        // An unticked edit is still checked as typed.
        f.memo = QString(41, QChar('m'));
        QVERIFY(!logic.accept());
        QCOMPARE(ui.lastMessage()->text, QString("入力値エラーです。"));
        f.memo.clear();

        // Reversed dates are refused and leave the shared criteria as they were.
        const CSelectCriteria before = shared;
        f.dateOn = true;
        f.dateFrom = "2024/02/01";
        f.dateTo = "2024/01/31";
        QVERIFY(!logic.accept());
        QCOMPARE(ui.lastMessage()->text, QString("日付範囲指定に異常があります。"));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(&shared), sizeof(shared)),
                 QByteArray(reinterpret_cast<const char*>(&before), sizeof(before)));
        f.dateTo = "2024/02/01";
        QVERIFY(logic.accept());
        QCOMPARE(FILESTS_INFO::text(shared.dateFrom), QString("2024/02/01"));
        QCOMPARE(shared.dateOn, 1);
        QCOMPARE(shared.titleOn, 1);
        QCOMPARE(FILESTS_INFO::text(shared.title), QString("A"));

        // Radios store 1 for the first choice, 0 for the second; "取込" with nothing ticked is code 7.
        f.dateOn = false;
        f.titleOn = false;
        f.playedOn = true;
        f.playedFirst = false;
        f.importOn = true;
        QVERIFY(logic.accept());
        QCOMPARE(int(shared.played), 0);
        QCOMPARE(int(shared.import), 7);
        QCOMPARE(int(shared.flag), 2);
        QCOMPARE(shared.dateOn, 0);

        // A new dialog opens with them.
        CFindSetLogic again(shared, ui);
        QVERIFY(again.form().playedOn && !again.form().playedFirst);
        QVERIFY(again.form().importOn && again.form().importTicks[CFindSetLogic::ImportInfoOnly]);
        QVERIFY(!again.form().flagOn && again.form().flagFirst);
    }

    void importTicksExcludeEachOther() {
        CScriptedUi ui;
        CSelectCriteria shared = CSelectCriteria::initial();
        CFindSetLogic logic(shared, ui);
        logic.setImportTick(CFindSetLogic::ImportPlayed, true);
        logic.setImportTick(CFindSetLogic::ImportErased, true);
        logic.setImportTick(CFindSetLogic::ImportInfoOnly, true);
        const auto& t = logic.form().importTicks;
        QVERIFY(!t[0] && !t[1] && !t[2] && t[3]);
        logic.setImportTick(CFindSetLogic::ImportUnplayed, true);
        QVERIFY(!t[0] && t[1] && !t[2] && !t[3]);
    }

    void filtersOfAList() {
        QTemporaryDir dir;
        auto put = [&](const QString& box, int seq, const QString& date, bool voice, const QString& title) {
            CSampleFolder::Message m;
            m.dateTime = date;
            m.voice = voice;
            m.importStatus = voice ? 1 + seq % 2 : 0;
            const QString file = CSampleFolder::writeMessage(dir.filePath("dl/rusuroku/" + box), box, seq, m);
            FILESTS_INFO rec;
            CFileMng::ReadRecord(file, rec);
            FILESTS_INFO::setText(rec.title, title);
            QCOMPARE(CFileMng::RewriteRecord(rec, file), CFileMng::WriteResult::Written);
        };
        put("1", 1, "2024/01/31 23:59", true, "定例会議");
        put("1", 2, "2024/02/01 00:00", true, "会議");
        put("10", 3, "2024/01/10 10:00", false, "至急");
        put("2", 4, "2024/01/15 10:00", false, "");
        CKeldaSession doc;
        CSampleFolder::showFirstList(doc, dir.path(), "留守録BOX：1,10,2");
        CScriptedUi ui;
        CListModel m(doc, 1, ui);
        m.load(CListModel::Load::Fresh);
        QCOMPARE(m.rowCount(), 4);

        CSelectCriteria c = CSelectCriteria::initial();
        c.boxNoOn = 1;
        FILESTS_INFO::setText(c.boxNo, QStringLiteral("1"));
        c.dateOn = 1;
        FILESTS_INFO::setText(c.dateFrom, QStringLiteral("2024/01/01"));
        FILESTS_INFO::setText(c.dateTo, QStringLiteral("2024/01/31"));
        m.setCriteria(c);
        m.setKeepSort(0);
        QCOMPARE(m.selectDisplay(), CListModel::SelectOutcome::Shown);
        QCOMPARE(m.displayMode(), 1);
        QCOMPARE(m.rowCount(), 2);
        QCOMPARE(m.listTotal(), 2);
        QCOMPARE(m.boxTotal(), 4);
        QCOMPARE(m.cellText(0, m.findColumn(CListModel::ColBoxNo)), QString("1"));
        QCOMPARE(m.cellText(1, m.findColumn(CListModel::ColBoxNo)), QString("10"));
        QCOMPARE(m.unplayedOnUnit() + m.playedOnUnit(), 1);

        // A reload after an operation filters the freshly loaded messages again.
        put("1", 5, "2024/01/20 08:00", true, "新着");
        m.reload(CListModel::Sort::Keep, CListModel::Columns::Same);
        QCOMPARE(m.displayMode(), 1);
        QCOMPARE(m.rowCount(), 3);
        QCOMPARE(m.boxTotal(), 5);

        // Nothing matches: the message, all messages, display mode 0.
        c.titleOn = 1;
        FILESTS_INFO::setText(c.title, QStringLiteral("%%"));
        m.setCriteria(c);
        QCOMPARE(m.selectDisplay(), CListModel::SelectOutcome::NothingMatched);
        QCOMPARE(ui.lastMessage()->text, QString("該当するメッセージがありません。"));
        QCOMPARE(ui.lastMessage()->caption, QString("エラー"));
        QCOMPARE(ui.lastMessage()->icon, MsgIcon::Exclamation);
        QCOMPARE(m.displayMode(), 0);
        QCOMPARE(m.rowCount(), 5);

        // "取込" with nothing ticked: the information-only messages.
        c = CSelectCriteria::initial();
        c.import = static_cast<uint8_t>(CSelectCriteria::importCode(false, false, false, false));
        m.setCriteria(c);
        QCOMPARE(m.selectDisplay(), CListModel::SelectOutcome::Shown);
        QCOMPARE(m.rowCount(), 2);

        // The not-downloaded display of a filtered list loads everything first.
        m.notDownloadedDisplay(1);
        QCOMPARE(m.displayMode(), 2);
        QCOMPARE(m.rowCount(), 2);
        QCOMPARE(m.listTotal(), 2);
        QCOMPARE(m.playedOnUnit() + m.unplayedOnUnit(), 0);
        for (int r = 0; r < m.rowCount(); ++r) {
            QVERIFY(FILESTS_INFO::text(m.recordAt(r).filePath).endsWith(".vminf"));
        }
        m.reload(CListModel::Sort::Keep, CListModel::Columns::Same);
        QCOMPARE(m.displayMode(), 2);
        QCOMPARE(m.rowCount(), 2);
        // All display.
        m.load(CListModel::Load::Fresh);
        QCOMPARE(m.displayMode(), 0);
        QCOMPARE(m.rowCount(), 5);
    }
};

QTEST_GUILESS_MAIN(TestListFilter)
#include "tst_listfilter.moc"
