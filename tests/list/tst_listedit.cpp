// Editing a message's recording information and choosing the list columns.
#include "list/CInfoEditLogic.h"
#include "list/CListDispSelectLogic.h"
#include "list/CListModel.h"
#include "settings/CKeldaSession.h"
#include "store/CFileMng.h"
#include "store/CPrivateProfile.h"
#include "support/CSampleFolder.h"
#include "support/CScriptedUi.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestListEdit : public QObject {
    Q_OBJECT

    static QByteArray tailOf(const QString& file) {
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        return f.readAll().mid(FILESTS_INFO::SIZE);
    }
    static FILESTS_INFO read(const QString& file) {
        FILESTS_INFO r;
        CFileMng::ReadRecord(file, r);
        return r;
    }

private Q_SLOTS:
    void entryChecks_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("title of 40 single-byte characters") << "title" << QString(40, 'a') << true;
        QTest::newRow("title of 20 double-byte characters") << "title" << QString(20, QChar(u'漢')) << true;
        QTest::newRow("title of 21 double-byte characters") << "title" << QString(21, QChar(u'漢')) << false;
        QTest::newRow("title with a comma") << "title"
                                            << "a,b" << false;
        QTest::newRow("caller number of 32") << "callerNo" << QString(32, '1') << true;
        QTest::newRow("caller number of 33") << "callerNo" << QString(33, '1') << false;
        QTest::newRow("caller number with a comma") << "callerNo"
                                                    << "03,1" << false;
        QTest::newRow("caller name with a comma") << "callerName"
                                                  << "," << false;
        QTest::newRow("caller name of 16 double-byte") << "callerName" << QString(16, QChar(u'山')) << true;
        QTest::newRow("memo of 80") << "memo" << QString(80, 'm') << true;
        QTest::newRow("memo of 41 double-byte") << "memo" << QString(41, QChar(u'メ')) << false;
        QTest::newRow("memo with a comma") << "memo"
                                           << "メモ、です," << false;
        QTest::newRow("empty caller number") << "callerNo"
                                             << "" << true;
        // Only what CP932 holds is stored as given: never "?" for a character, never half of one.
        QTest::newRow("title of 21 emoji") << "title" << QString::fromUtf8("😀").repeated(21) << false;
        QTest::newRow("title of a and 39 emoji") << "title"
                                                 << "a" + QString::fromUtf8("😀").repeated(39) << false;
        QTest::newRow("caller name with e acute") << "callerName" << QStringLiteral("Ren\u00e9") << false;
        QTest::newRow("memo with a tag character") << "memo" << QString::fromUtf16(u"x\U000E0000") << false;
        QTest::newRow("title with a question mark") << "title" << QStringLiteral("何？?") << true;
    }
    void entryChecks() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(bool, accepted);
        QTemporaryDir dir;
        CSampleFolder::Message msg;
        msg.dateTime = "2026/01/01 10:00";
        const QString file = CSampleFolder::writeMessage(dir.filePath("dl/rusuroku/01"), "01", 1, msg);
        const QByteArray tail = tailOf(file);
        CScriptedUi ui;
        CInfoEditLogic logic(ui, file, dir.path());
        QVERIFY(logic.readOk());
        QCOMPARE(logic.fileNameText(), file.mid(dir.path().size() + 1));
        QCOMPARE(logic.entries().callerNo, QString("0312345678"));
        auto& e = logic.entries();
        QString* target = field == "title"        ? &e.title
                          : field == "callerNo"   ? &e.callerNo
                          : field == "callerName" ? &e.callerName
                                                  : &e.memo;
        *target = value;
        e.protect = true;
        e.flag = true;
        const auto outcome = logic.accept();
        if (!accepted) {
            QCOMPARE(outcome, CInfoEditLogic::Outcome::Refused);
            // The refusal names the field it found wrong.
            const QString label = field == "title"        ? "タイトル"
                                  : field == "callerNo"   ? "相手番号"
                                  : field == "callerName" ? "相手名称"
                                                          : "メモ";
            QCOMPARE(ui.messageTexts().size(), 1);
            QVERIFY2(ui.messageTexts()[0].startsWith("入力値エラーです。\n") && ui.messageTexts()[0].contains(label),
                     qPrintable(ui.messageTexts()[0]));
            QCOMPARE(int(read(file).protect), 0);
            return;
        }
        QCOMPARE(outcome, CInfoEditLogic::Outcome::Written);
        QCOMPARE(ui.messages.first().text, QString("登録します。よろしいですか？"));
        QCOMPARE(ui.messages.first().caption, QString("登録の確認"));
        const FILESTS_INFO r = read(file);
        const QString stored = field == "title"        ? FILESTS_INFO::text(r.title)
                               : field == "callerNo"   ? FILESTS_INFO::text(r.callerNo)
                               : field == "callerName" ? FILESTS_INFO::text(r.callerName)
                                                       : FILESTS_INFO::text(r.memo);
        QCOMPARE(stored, value);
        QCOMPARE(int(r.protect), 1);
        QCOMPARE(int(r.flag), 1);
        QCOMPARE(tailOf(file), tail);
    }

    void declinedOrUnwritableChangesNothing() {
        QTemporaryDir dir;
        CSampleFolder::Message msg;
        const QString file = CSampleFolder::writeMessage(dir.filePath("dl/rusuroku/01"), "01", 1, msg);
        CScriptedUi ui;
        ui.replies.push_back(MsgResult::No);
        CInfoEditLogic logic(ui, file, dir.path());
        logic.entries().title = "新";
        QCOMPARE(logic.accept(), CInfoEditLogic::Outcome::Declined);
        QCOMPARE(FILESTS_INFO::text(read(file).title), QString());

        CInfoEditLogic missing(ui, dir.filePath("none.vmdat"), dir.path());
        QVERIFY(!missing.readOk());
        QCOMPARE(missing.accept(), CInfoEditLogic::Outcome::NotWritten);
        QCOMPARE(ui.lastMessage()->text, QString("入力値エラーです。"));
        QVERIFY(!QFile::exists(dir.filePath("none.vmdat")));

        // Entries that are fine and a file that will not take them: said as such, not as an input error.
        CInfoEditLogic gone(ui, file, dir.path());
        QVERIFY(gone.readOk());
        gone.entries().title = "新";
        QVERIFY(QFile::remove(file));
        ui.replies.push_back(MsgResult::Yes);
        QCOMPARE(gone.accept(), CInfoEditLogic::Outcome::NotWritten);
        QCOMPARE(ui.lastMessage()->text, CInfoEditLogic::NotWrittenText(file));
        QVERIFY(!QFile::exists(file));
    }

    void flagsOfEverySelectedRowAreWritten() {
        QTemporaryDir dir;
        QStringList files;
        for (int k = 1; k <= 3; ++k) {
            CSampleFolder::Message msg;
            msg.dateTime = QStringLiteral("2026/01/0%1 10:00").arg(k);
            msg.flag = k == 2 ? 1 : 0;
            files << CSampleFolder::writeMessage(dir.filePath("dl/rusuroku/01"), "01", k, msg);
        }
        CKeldaSession doc;
        CSampleFolder::showFirstList(doc, dir.path(), "留守録BOX：01");
        CScriptedUi ui;
        CListModel m(doc, 1, ui);
        m.load(CListModel::Load::Fresh);
        // Files changed behind the list's back: the list's flags are what gets written.
        for (const QString& f : files) {
            FILESTS_INFO r = read(f);
            r.flag = r.flag ? 0 : 1;
            QCOMPARE(CFileMng::RewriteRecord(r, f), CFileMng::WriteResult::Written);
        }
        QCOMPARE(m.writeFlagsOfRows({0, 2}), 0);
        const int flagColumn = m.findColumn(CListModel::ColFlag);
        for (int row : {0, 2}) {
            const QString f = FILESTS_INFO::text(m.recordAt(row).filePath);
            QCOMPARE(QString::number(read(f).flag), m.cellText(row, flagColumn));
        }
        const QString untouched = FILESTS_INFO::text(m.recordAt(1).filePath);
        QVERIFY(QString::number(read(untouched).flag) != m.cellText(1, flagColumn));
    }

    void columnDialog() {
        QTemporaryDir dir;
        const QString ini = dir.filePath("KELDA.ini");
        CKeldaSession doc;
        doc.resetColumns();
        CScriptedUi ui;
        CListDispSelectLogic logic(doc, ui, ini);
        QVERIFY(!logic.changed());
        QCOMPARE(logic.shown().size(), 10);
        QCOMPARE(logic.moveUp(0), -1);
        QCOMPARE(logic.moveDown(9), -1);
        QVERIFY(!logic.changed());
        QCOMPARE(logic.add(1), 10); // タイトル
        QCOMPARE(logic.moveUp(10), 9);
        QCOMPARE(logic.shown()[9], QString("タイトル"));
        QCOMPARE(logic.remove(0), 3);
        QVERIFY(logic.changed());

        // "No" keeps the dialog and the setting.
        ui.replies.push_back(MsgResult::No);
        QVERIFY(!logic.accept());
        QCOMPARE(doc.shownColumns(), CKeldaSession::resetShownColumns());
        QVERIFY(!QFile::exists(ini));

        // An empty shown list is refused after the question.
        CListDispSelectLogic empty(doc, ui, ini);
        while (!empty.shown().isEmpty()) {
            empty.remove(0);
        }
        QVERIFY(!empty.accept());
        QCOMPARE(ui.lastMessage()->text, QString("表示項目が選択されていません。"));
        QCOMPARE(doc.shownColumns(), CKeldaSession::resetShownColumns());
        QVERIFY(!QFile::exists(ini));

        QVERIFY(logic.accept());
        QCOMPARE(doc.shownColumns().first(), QString("取込"));
        QCOMPARE(doc.removedColumns(), QStringList({"BOX名称", "メモ", "発話秒", "ﾌﾗｸﾞ"}));
        QFile f(ini);
        QVERIFY(f.open(QIODevice::ReadOnly));
        int colum = 0;
        int delColum = 0;
        for (const QByteArray& line : f.readAll().split('\n')) {
            colum += line.startsWith("COLUM") ? 1 : 0;
            delColum += line.startsWith("DELCOLUM") ? 1 : 0;
        }
        QCOMPARE(colum, 14);
        QCOMPARE(delColum, 14);
        QCOMPARE(CPrivateProfile::getString(ini, "DISP", "COLUM9"), QString("タイトル"));
        QCOMPARE(CPrivateProfile::getString(ini, "DISP", "COLUM10"), QString("ファイル名"));
        QCOMPARE(CPrivateProfile::getString(ini, "DISP", "COLUM11", "x"), QString());
        QCOMPARE(CPrivateProfile::getString(ini, "DISP", "DELCOLUM4"), QString("ﾌﾗｸﾞ"));
        QCOMPARE(CPrivateProfile::getString(ini, "DISP", "DELCOLUM5", "x"), QString());

        // "リセット" saves at once.
        CListDispSelectLogic again(doc, ui, ini);
        QVERIFY(again.reset());
        QCOMPARE(doc.shownColumns(), CKeldaSession::resetShownColumns());
        QCOMPARE(CPrivateProfile::getString(ini, "DISP", "COLUM1"), QString("ﾌﾗｸﾞ"));
        QCOMPARE(CPrivateProfile::getString(ini, "DISP", "DELCOLUM3"), QString("メモ"));
        QCOMPARE(ui.messages.last().caption, QString("リセットの確認"));

        // A settings file that names no shown column falls back to the reset values.
        CPrivateProfile::writeString(ini, "DISP", "COLUM1", QString());
        CKeldaSession loaded;
        loaded.load(ini);
        QCOMPARE(loaded.shownColumns(), CKeldaSession::resetShownColumns());
        QCOMPARE(loaded.removedColumns(), CKeldaSession::resetRemovedColumns());
    }
};

QTEST_GUILESS_MAIN(TestListEdit)
#include "tst_listedit.moc"
