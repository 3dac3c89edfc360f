// The extension phone book import without a window: the line reader on raw bytes, the writes into the
// extension boxes' "inf.ini", the backups and their rollback, and the dialog's logic with scripted answers.
#include "admin/CAdminTexts.h"
#include "admin/CImportLineReader.h"
#include "admin/CImportSetLogic.h"
#include "admin/CInfBackup.h"
#include "admin/CNameImport.h"
#include "platform/CCp932.h"
#include "platform/CPrivateProfile.h"
#include "shell/CKELDADoc.h"
#include "store/CFileMng.h"
#include "support/CScriptedUi.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray kHeader = "phone book\nno,box,name\n";

void mk(const QString& p) {
    QDir().mkpath(p);
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Every file below a folder with its bytes, for "nothing else changed" comparisons.
QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        files.insert(p, readBytes(p));
    }
    return files;
}

} // namespace

class TestCsvImport : public QObject {
    Q_OBJECT

    QTemporaryDir* tmp = nullptr;
    QString dl;

    // office/rusuroku/0001 named "Reception", office/naisen/201 named "old", office/naisen/202 without inf.ini.
    void makeFolder() {
        dl = tmp->filePath("office");
        mk(dl + "/rusuroku/0001");
        mk(dl + "/naisen/201");
        mk(dl + "/naisen/202");
        QVERIFY(CFileMng::SetBoxName(dl + "/rusuroku/0001", "Reception"));
        QVERIFY(CFileMng::SetBoxName(dl + "/naisen/201", "old"));
    }

private Q_SLOTS:
    void init() {
        tmp = new QTemporaryDir;
        makeFolder();
    }
    void cleanup() { delete tmp; }

    void parseLine_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("boxNo");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("final comma") << QByteArray("1,201,Virara,\n") << "201" << QStringList{"Virara"};
        QTest::newRow("no final comma") << QByteArray("1,201,Virara\n") << "201" << QStringList{};
        QTest::newRow("two names") << QByteArray("1,201,Virara,Sales,\n") << "201" << QStringList{"Virara", "Sales"};
        QTest::newRow("CR before LF stays in the last field")
            << QByteArray("1,201,Virara,\r\n") << "201" << QStringList{"Virara"};
        QTest::newRow("empty name") << QByteArray("1,201,,\n") << "201" << QStringList{""};
        QTest::newRow("one comma") << QByteArray("1,201\n") << "" << QStringList{};
        QTest::newRow("empty line") << QByteArray("\n") << "" << QStringList{};
        QTest::newRow("quotes are text") << QByteArray("1,\"201\",\"a,b\",\n") << "\"201\""
                                         << QStringList{"\"a", "b\""};
        QTest::newRow("CP932") << CCp932::fromUnicode(QStringLiteral("1,201,営業部,\n")) << "201"
                               << QStringList{QStringLiteral("営業部")};
        QTest::newRow("NUL ends the line") << QByteArray("1,201,ab,\0cd,\n", 14) << "201" << QStringList{"ab"};
        QTest::newRow("field cut to 64") << QByteArray("1,201," + QByteArray(70, 'x') + ",\n") << "201"
                                         << QStringList{QString(64, 'x')};
    }
    void parseLine() {
        QFETCH(QByteArray, line);
        QFETCH(QString, boxNo);
        QFETCH(QStringList, names);
        const CImportLineReader::Line l = CImportLineReader::ParseLine(line);
        QCOMPARE(l.boxNo, boxNo);
        QCOMPARE(l.names, names);
    }

    void linesOfAFile() {
        // Two header lines skipped, whatever their length; a line longer than 256 bytes goes on as the next.
        const QByteArray longHeader(600, 'h');
        // Cut at 256 bytes, the rest of a long line is read as a line of its own.
        const QByteArray longLine = "1,201,Head," + QByteArray(260, 'n') + ",202,Tail,\n";
        const QByteArray data = longHeader + "\nheader 2\n1,202,A,\n" + longLine + "1,201,B,";
        qsizetype pos = CImportLineReader::SkipHeader(data);
        QCOMPARE(pos, qsizetype(610));
        QCOMPARE(CImportLineReader::NextLine(data, pos), QByteArrayView("1,202,A,\n"));
        QCOMPARE(CImportLineReader::NextLine(data, pos).size(), qsizetype(256));
        QCOMPARE(CImportLineReader::NextLine(data, pos).size(), qsizetype(longLine.size() - 256));
        QCOMPARE(CImportLineReader::NextLine(data, pos), QByteArrayView("1,201,B,"));
        QCOMPARE(pos, data.size());
        QVERIFY(CImportLineReader::NextLine(data, pos).isEmpty());

        const auto lines = CImportLineReader::Parse(data);
        QCOMPARE(lines.size(), size_t(4));
        QCOMPARE(lines[1].boxNo, QStringLiteral("201"));
        QCOMPARE(lines[1].names, QStringList{"Head"});
        QCOMPARE(lines[2].boxNo, QStringLiteral("202"));
        QCOMPARE(lines[2].names, QStringList{"Tail"});
        QCOMPARE(lines[3].names, QStringList{"B"});
        QVERIFY(CImportLineReader::Parse("only one line\n").empty());
        QVERIFY(CImportLineReader::Parse(QByteArray()).empty());
    }

    void importWritesUnquotedNames_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("name201");
        QTest::addColumn<int>("written");
        QTest::newRow("header only") << QByteArray() << "old" << 0;
        QTest::newRow("final comma") << QByteArray("1,201,Virara,\n") << "Virara" << 1;
        QTest::newRow("no final comma") << QByteArray("1,201,Virara\n") << "old" << 0;
        QTest::newRow("last comma-terminated field wins") << QByteArray("1,201,Virara,Sales,\n") << "Sales" << 2;
        QTest::newRow("later line wins") << QByteArray("1,201,A,\n1,201,B,\n") << "B" << 2;
    }
    void importWritesUnquotedNames() {
        QFETCH(QByteArray, body);
        QFETCH(QString, name201);
        QFETCH(int, written);
        const QMap<QString, QByteArray> before = snapshot(dl + "/rusuroku");
        CNameImport run(dl);
        const CNameImport::Outcome out = run.runBytes(kHeader + body);
        QCOMPARE(out.result, CNameImport::Result::Completed);
        QCOMPARE(out.namesWritten, written);
        QCOMPARE(CFileMng::GetBoxName(dl + "/naisen/201"), name201);
        if (written > 0) {
            QVERIFY(readBytes(dl + "/naisen/201/inf.ini").contains("NAME=" + name201.toLatin1() + "\r\n"));
        }
        QVERIFY(!QFile::exists(dl + "/naisen/201/inf.tmp") && !QFile::exists(dl + "/naisen/202/inf.tmp"));
        QCOMPARE(snapshot(dl + "/rusuroku"), before);
    }

    // Box numbers come from outside: only a box folder directly below "naisen" is ever written.
    void boxNumbersNeverLeaveNaisen() {
        mk(tmp->filePath("elsewhere"));
        const QMap<QString, QByteArray> rusuroku = snapshot(dl + "/rusuroku");
        const QByteArray body = "1,../rusuroku/0001,Hijack,\n"
                                "1,../../..,Anywhere,\n"
                                "1,..,Up,\n"
                                "1,.,Here,\n"
                                "1,,Empty,\n"
                                "1,999,Missing,\n"
                                "1,202,Fine,\n";
        CNameImport run(dl);
        const CNameImport::Outcome out = run.runBytes(kHeader + body);
        QCOMPARE(out.result, CNameImport::Result::Completed);
        QCOMPARE(out.namesWritten, 1);
        QCOMPARE(out.linesSkipped, 6);
        QCOMPARE(CFileMng::GetBoxName(dl + "/naisen/202"), QStringLiteral("Fine"));
        QCOMPARE(snapshot(dl + "/rusuroku"), rusuroku);
        QVERIFY(!QFile::exists(dl + "/naisen/inf.ini") && !QFile::exists(dl + "/inf.ini"));
        QVERIFY(!QFile::exists(tmp->path() + "/inf.ini") && !QFile::exists(tmp->path() + "/inf.tmp"));
        QVERIFY(!QFileInfo::exists(dl + "/naisen/999"));
    }

    // A cancel puts back what was there before the import, also after two lines for one box; no "inf.tmp"
    // stays behind, and a box that had no "inf.ini" ends with an empty name.
    void cancelPutsEverythingBack() {
        const QByteArray ini201 = readBytes(dl + "/naisen/201/inf.ini");
        const QMap<QString, QByteArray> rusuroku = snapshot(dl + "/rusuroku");
        CNameImport run(dl);
        int lines = 0;
        run.progress = [&](int done) { lines = done; };
        run.cancelled = [&] { return lines >= 3; };
        const CNameImport::Outcome out = run.runBytes(kHeader + "1,201,A,\n1,202,X,\n1,201,B,\n1,202,Y,\n");
        QCOMPARE(out.result, CNameImport::Result::Cancelled);
        QCOMPARE(readBytes(dl + "/naisen/201/inf.ini"), ini201);
        QCOMPARE(CFileMng::GetBoxName(dl + "/naisen/202"), QString());
        QVERIFY(!QFile::exists(dl + "/naisen/201/inf.tmp") && !QFile::exists(dl + "/naisen/202/inf.tmp"));
        QCOMPARE(snapshot(dl + "/rusuroku"), rusuroku);
    }

    // A box that cannot be written stops the import and takes back what was written before it.
    void writeFailureTakesEverythingBack() {
        const QByteArray ini201 = readBytes(dl + "/naisen/201/inf.ini");
        mk(dl + "/naisen/202/inf.ini"); // a folder where the file should be: no write can succeed
        CNameImport run(dl);
        const CNameImport::Outcome out = run.runBytes(kHeader + "1,201,A,\n1,202,X,\n");
        QCOMPARE(out.result, CNameImport::Result::WriteFailed);
        QCOMPARE(out.failed, QStringList{dl + "/naisen/202"});
        QCOMPARE(readBytes(dl + "/naisen/201/inf.ini"), ini201);
        QVERIFY(!QFile::exists(dl + "/naisen/201/inf.tmp"));
    }

    void backupOncePerRun() {
        CInfBackup b;
        QVERIFY(b.backUp(dl + "/naisen/201"));
        CPrivateProfile::writeString(dl + "/naisen/201/inf.ini", "INF", "NAME", "changed");
        QVERIFY(b.backUp(dl + "/naisen/201"));
        QVERIFY(readBytes(CInfBackup::TmpPath(dl + "/naisen/201")).contains("\"old\""));
        QVERIFY(b.restore().isEmpty());
        QCOMPARE(CFileMng::GetBoxName(dl + "/naisen/201"), QStringLiteral("old"));
    }

    // The dialog's logic: remembered fields, "OK" enabled by both fields, the chooser, the error, the run.
    void dialogLogic() {
        CScriptedUi ui;
        CKELDADoc doc;
        doc.folder = tmp->path() + "/";
        doc.folderName = "office";
        CImportSetLogic logic(ui, doc);
        logic.open();
        QVERIFY(!logic.okEnabled());
        QCOMPARE(logic.title(), QStringLiteral("インポート設定"));
        QCOMPARE(logic.text(), QStringLiteral("内線ボックス名称をインポートします。"));
        logic.setFolder("x");
        QVERIFY(!logic.okEnabled());
        logic.setFile("y.csv");
        QVERIFY(logic.okEnabled());

        // Cancelling the chooser ends the dialog.
        ui.openFileChoice.clear();
        QCOMPARE(logic.choose(), CImportSetLogic::Choose::Cancelled);

        // A file that is not there: "インポートエラー", back to idle, nothing remembered.
        QCOMPARE(logic.ok(), CImportSetLogic::Ok::StayOpen);
        QCOMPARE(ui.lastMessage()->text, CAdminTexts::ImportError());
        QCOMPARE(ui.lastMessage()->caption, QStringLiteral("エラー"));
        QVERIFY(logic.okEnabled() && !logic.importing() && !logic.progressVisible());
        QVERIFY(doc.importName.isEmpty());

        const QString csv = tmp->filePath("book/phone.csv");
        mk(tmp->filePath("book"));
        writeBytes(csv, kHeader + "1,201,Virara,\n");
        ui.openFileChoice = csv;
        QCOMPARE(logic.choose(), CImportSetLogic::Choose::Chosen);
        QCOMPARE(logic.folder(), tmp->filePath("book"));
        QCOMPARE(logic.file(), QStringLiteral("phone.csv"));
        QCOMPARE(doc.importPath, tmp->filePath("book"));
        QCOMPARE(doc.importName, QStringLiteral("phone.csv"));
        QCOMPARE(logic.ok(), CImportSetLogic::Ok::Imported);
        QVERIFY(logic.completed());
        QCOMPARE(CFileMng::GetBoxName(dl + "/naisen/201"), QStringLiteral("Virara"));

        // Reopened: the remembered values fill the fields (a trailing "/" dropped).
        doc.importPath += "/";
        CImportSetLogic again(ui, doc);
        again.open();
        QCOMPARE(again.folder(), tmp->filePath("book"));
        QVERIFY(again.okEnabled());

        // "キャンセル" during the run: the import stops and everything is put back; the dialog stays open.
        writeBytes(csv, kHeader + "1,201,A,\n1,202,B,\n1,201,C,\n");
        ui.onDispatch = [&](int) {
            if (again.importing() && again.progressPos() >= 2) {
                QVERIFY(!again.cancel());
            }
        };
        QCOMPARE(again.ok(), CImportSetLogic::Ok::StayOpen);
        QCOMPARE(CFileMng::GetBoxName(dl + "/naisen/201"), QStringLiteral("Virara"));
        QVERIFY(!QFile::exists(dl + "/naisen/202/inf.tmp"));
        QVERIFY(!again.importing() && !again.cancelRequested() && !again.completed());
        QCOMPARE(again.title(), QStringLiteral("インポート設定"));
        QVERIFY(again.cancel()); // idle: closes
    }
};

QTEST_GUILESS_MAIN(TestCsvImport)
#include "tst_csvimport.moc"
