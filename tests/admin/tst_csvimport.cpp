// The extension phone book import without a window: the line reader on raw bytes, the writes into the
// extension boxes' "inf.ini", the backups and their rollback, and the dialog's logic with scripted answers.
#include "admin/CAdminTexts.h"
#include "admin/CImportLineReader.h"
#include "admin/CImportSetLogic.h"
#include "admin/CInfBackup.h"
#include "admin/CNameImport.h"
#include "platform/CCp932.h"
#include "settings/CKeldaSession.h"
#include "store/CFileMng.h"
#include "store/CPrivateProfile.h"
#include "support/CFifoWatch.h"
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
        QTest::newRow("CR alone ends the line")
            << QByteArray("1,201,Virara,\r2,202,X,") << "201" << QStringList{"Virara"};
        QTest::newRow("byte CP932 lacks") << QByteArray("1,201,a\xa0"
                                                        "b,ok,\n")
                                          << "201" << QStringList{"a?b", "ok"};
    }
    void parseLine() {
        QFETCH(QByteArray, line);
        QFETCH(QString, boxNo);
        QFETCH(QStringList, names);
        const CImportLineReader::Line l = CImportLineReader::ParseLine(line);
        QCOMPARE(l.boxNo, boxNo);
        QCOMPARE(l.names, names);
        // A "?" that stands for a byte CP932 lacks is told apart from a "?" of the file.
        QCOMPARE(l.namesExact.size(), names.size());
        for (qsizetype k = 0; k < names.size(); ++k) {
            QCOMPARE(l.namesExact[k], !line.contains('\xa0') || k > 0);
        }
    }

    // Line ends of any of the three conventions: the header is two lines and each later line one.
    void lineEnds_data() {
        QTest::addColumn<QByteArray>("end");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("CR") << QByteArray("\r");
    }
    void lineEnds() {
        QFETCH(QByteArray, end);
        const QByteArray data = "header 1" + end + "header 2" + end + "1,201,A," + end + end + "1,202,B," + end;
        qsizetype pos = CImportLineReader::SkipHeader(data);
        QCOMPARE(pos, qsizetype(16 + 2 * end.size()));
        QCOMPARE(CImportLineReader::NextLine(data, pos), QByteArrayView("1,201,A," + end));
        const auto lines = CImportLineReader::Parse(data);
        QCOMPARE(lines.size(), size_t(3));
        QCOMPARE(lines[0].names, QStringList{"A"});
        QVERIFY(lines[1].blank && lines[1].names.isEmpty());
        QCOMPARE(lines[2].boxNo, QStringLiteral("202"));
        QCOMPARE(lines[2].names, QStringList{"B"});
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
        QTest::newRow("last comma-terminated field wins") << QByteArray("1,201,Virara,Sales,\n") << "Sales" << 1;
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

    // A name that cannot be stored as given is never stored: the line is skipped and counted with its reason,
    // as is every other line that is not taken (a blank line is no line to speak of).
    void linesSkippedWithTheirReasons_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("name201");
        QTest::addColumn<QList<int>>("counts"); // taken, no box, no name, too long, not CP932
        QTest::newRow("ten bytes taken") << CCp932::fromUnicode(QStringLiteral("1,201,営業部第一,\n")) << "営業部第一"
                                         << QList<int>{1, 0, 0, 0, 0};
        QTest::newRow("eleven bytes") << CCp932::fromUnicode(QStringLiteral("1,201,営業部第一A,\n")) << "old"
                                      << QList<int>{0, 0, 0, 1, 0};
        QTest::newRow("a hundred characters")
            << QByteArray("1,201," + QByteArray(100, 'n') + ",\n") << "old" << QList<int>{0, 0, 0, 1, 0};
        QTest::newRow("a byte CP932 lacks") << QByteArray("1,201,a\xa0,\n") << "old" << QList<int>{0, 0, 0, 0, 1};
        QTest::newRow("a lead byte cut by the comma")
            << QByteArray("1,201,a\x81,\n") << "old" << QList<int>{0, 0, 0, 0, 1};
        QTest::newRow("question mark of the file") << QByteArray("1,201,a?,\n") << "a?" << QList<int>{1, 0, 0, 0, 0};
        QTest::newRow("every reason") << QByteArray("1,201,A,\n1,999,B,\n1,202\n\n  \n1,202," + QByteArray(11, 'x') +
                                                    ",\n1,202,\xfd,\n")
                                      << "A" << QList<int>{1, 1, 1, 1, 1};
    }
    void linesSkippedWithTheirReasons() {
        QFETCH(QByteArray, body);
        QFETCH(QString, name201);
        QFETCH(QList<int>, counts);
        const QByteArray ini202 = readBytes(dl + "/naisen/202/inf.ini");
        CNameImport run(dl);
        const CNameImport::Outcome out = run.runBytes(kHeader + body);
        QCOMPARE(out.result, CNameImport::Result::Completed);
        QCOMPARE(
            QList<int>({out.linesTaken, out.skippedNoBox, out.skippedNoName, out.skippedTooLong, out.skippedNotCp932}),
            counts);
        QCOMPARE(out.linesSkipped, counts[1] + counts[2] + counts[3] + counts[4]);
        QCOMPARE(CFileMng::GetBoxName(dl + "/naisen/201"), name201);
        QCOMPARE(readBytes(dl + "/naisen/202/inf.ini"), ini202);
        QVERIFY(!readBytes(dl + "/naisen/201/inf.ini").contains('?') || name201.contains('?'));
    }

    // A named pipe where a box's "inf.ini" should be never holds the import: the box cannot be backed up, so the
    // run stops at once and takes back what it wrote.
    void aNamedPipeNeverHoldsTheImport() {
        const QByteArray ini201 = readBytes(dl + "/naisen/201/inf.ini");
        const QString pipe = dl + "/naisen/202/inf.ini";
        QVERIFY(CFifoWatch::make(pipe));
        CNameImport::Outcome out;
        const qint64 ms = CFifoWatch::msTaken(pipe, [&] {
            CNameImport run(dl);
            out = run.runBytes(kHeader + "1,201,A,\n1,202,X,\n");
        });
        QVERIFY2(ms < 1000, qPrintable(QStringLiteral("took %1 ms").arg(ms)));
        QCOMPARE(out.result, CNameImport::Result::WriteFailed);
        QCOMPARE(out.failed, QStringList{dl + "/naisen/202"});
        QCOMPARE(readBytes(dl + "/naisen/201/inf.ini"), ini201);
        QVERIFY(!QFileInfo(pipe).isFile() && QFileInfo::exists(pipe));

        // The phone book itself as a named pipe: unreadable at once, nothing written.
        const QString book = tmp->filePath("book.csv");
        QVERIFY(CFifoWatch::make(book));
        const qint64 bookMs = CFifoWatch::msTaken(book, [&] { out = CNameImport(dl).run(book); });
        QVERIFY2(bookMs < 1000, qPrintable(QStringLiteral("took %1 ms").arg(bookMs)));
        QCOMPARE(out.result, CNameImport::Result::Unreadable);
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

        // An interrupt after the last line is still in time: nothing is final before the run ends.
        lines = 0;
        CNameImport late(dl);
        late.progress = [&](int done) { lines = done; };
        late.cancelled = [&] { return lines >= 2; };
        QCOMPARE(late.runBytes(kHeader + "1,201,A,\n1,202,X,\n").result, CNameImport::Result::Cancelled);
        QCOMPARE(readBytes(dl + "/naisen/201/inf.ini"), ini201);
        QCOMPARE(CFileMng::GetBoxName(dl + "/naisen/202"), QString());
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

    // The backup keeps what "inf.ini" said before the run, whatever stands under the names, and a restore leaves
    // no "inf.tmp" behind, also for a box that was backed up but never written.
    void backupOncePerRun_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a file") << "file";
        QTest::newRow("a symbolic link to a file") << "link";
        QTest::newRow("an inf.tmp left from an earlier run") << "leftover";
        QTest::newRow("backed up, then not written") << "unwritten";
    }
    void backupOncePerRun() {
        QFETCH(QString, kind);
        const QString box = dl + "/naisen/201";
        const QString ini = box + "/inf.ini";
        if (kind == "link") {
            QVERIFY(QFile::rename(ini, tmp->filePath("elsewhere.ini")));
            QVERIFY(QFile::link(tmp->filePath("elsewhere.ini"), ini));
        } else if (kind == "leftover") {
            writeBytes(CInfBackup::TmpPath(box), "[INF]\r\nNAME=stale\r\n");
        }
        const QByteArray before = readBytes(ini);
        CInfBackup b;
        QVERIFY(b.backUp(box));
        if (kind != "unwritten") {
            CPrivateProfile::writeString(ini, "INF", "NAME", "changed");
            QVERIFY(b.backUp(box));
            QCOMPARE(CFileMng::GetBoxName(box), QStringLiteral("changed"));
        }
        QCOMPARE(readBytes(CInfBackup::TmpPath(box)), before);
        QVERIFY(b.restore().isEmpty());
        QCOMPARE(CFileMng::GetBoxName(box), QStringLiteral("old"));
        QCOMPARE(readBytes(ini), before);
        QVERIFY(!QFile::exists(CInfBackup::TmpPath(box)));
    }

    // The dialog's logic: remembered fields, "OK" enabled by both fields, the chooser, the error, the run.
    void dialogLogic() {
        CScriptedUi ui;
        CKeldaSession doc;
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
        QCOMPARE(logic.doneText(), CAdminTexts::ImportDone() + QStringLiteral("\n\n取り込んだ行：1"));

        // Lines skipped are counted in the completion message, with their reasons.
        writeBytes(csv, kHeader + "1,201,Virara,\n1,999,X,\n1,202,0123456789A,\n");
        QCOMPARE(logic.ok(), CImportSetLogic::Ok::Imported);
        QCOMPARE(logic.doneText(),
                 CAdminTexts::ImportDone() + QStringLiteral("\n\n取り込んだ行：1\nスキップした行：2"
                                                            "（ボックスフォルダなし 1、名称が10バイト超 1）"));

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
