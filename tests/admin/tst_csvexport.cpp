#include "admin/CCsvExport.h"
#include "list/CListModel.h"
#include "platform/CCp932.h"
#include "shell/CKELDADoc.h"
#include "support/CSampleFolder.h"
#include "support/CScriptedUi.h"

#include <QTemporaryDir>
#include <QtTest>

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

        CKELDADoc doc;
        doc.folder = dir.path();
        doc.num = 1;
        doc.slotFolderName[0] = "dl";
        doc.slotDisp[0] = "留守録BOX：01";
        doc.setColumns({"BOX番号", "相手名称", "日時"}, {});
        CScriptedUi ui;
        CListModel model(doc, 1, ui);
        model.rebuildColumns();
        model.load(0);
        QCOMPARE(model.rowCount(), 2);

        const QString csv = CCp932::toUnicode(CCsvExport::ExportBytes(model));
        QVERIFY(!csv.contains(QLatin1Char('\r')));
        QStringList lines = csv.split(QLatin1Char('\n'));
        QCOMPARE(lines.takeLast(), QString());
        QCOMPARE(lines, QStringList({"BOX番号,相手名称,日時", "01,next,2026/12/08 10:16",
                                     "01," + written + ",2026/12/08 10:15"}));
    }
};

QTEST_GUILESS_MAIN(TestCsvExport)
#include "tst_csvexport.moc"
