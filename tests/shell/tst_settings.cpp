#include "link/CLoginForm.h"
#include "shell/CKELDADoc.h"
#include "shell/CMainFrameLogic.h"
#include "store/CPrivateProfile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

namespace {
QStringList keysInFileOrder(const QString& file) {
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    QStringList out;
    QString section;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QString line = QString::fromLatin1(raw).trimmed();
        if (line.startsWith('[')) {
            section = line.mid(1, line.size() - 2);
        } else if (line.contains('=')) {
            out << section + '/' + line.left(line.indexOf('='));
        }
    }
    return out;
}
// A keyring that answers, is not there, or takes nothing.
class FakeKeyring : public CPasswordStore {
public:
    enum class Mode { Answers, Absent, RefusesWrites };
    Mode mode = Mode::Answers;
    std::optional<QString> kept;
    Read read(QString& password) override {
        if (mode == Mode::Absent) {
            return Read::Unavailable;
        }
        if (!kept) {
            return Read::NotFound;
        }
        password = *kept;
        return Read::Found;
    }
    bool write(const QString& password) override {
        if (mode != Mode::Answers) {
            return false;
        }
        kept = password;
        return true;
    }
    bool remove() override {
        kept.reset();
        return mode != Mode::Absent;
    }
};

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void loadsEveryKeyAndCutsToWidth() {
        QTemporaryDir dir;
        const QString ini = dir.filePath("KELDA.ini");
        auto w = [&](const char* s, const QString& k, const QString& v) { CPrivateProfile::writeString(ini, s, k, v); };
        w("LOGIN", "IP", "192.168.100.200.1234"); // 20 characters, the buffer holds 15
        w("LOGIN", "USER", "an-extremely-long-user-name");
        w("LOGIN", "PASS", "secret");
        w("LOGIN", "CHECK", "1");
        w("FOLDER", "FOLDER", "/data/zuno/");
        w("FOLDER", "INIT", "1");
        w("FOLDER", "NEXTFOLDER", "/next/");
        w("FOLDER", "NEXTFOLDERNAME", "nx");
        w("FOLDER", "CHANGE", "0");
        w("DISP", "FOLDERNAME", "f1");
        w("DISP", "NUM", "2");
        for (int n = 1; n <= 4; ++n) {
            w("DISP", QString("DISP%1").arg(n), QString("留守録BOX：%1").arg(n));
            w("DISP", QString("FOLDERNAME%1").arg(n), QString("fn%1").arg(n));
        }
        w("DISP", "COLUM1", "ﾌﾗｸﾞ");
        w("DISP", "COLUM2", "ABCDEFGHIJ");
        w("DISP", "DELCOLUM1", "メモ");
        w("CONVERT", "DOWNCONV", "1");
        w("CONVERT", "CONVDEL", "1");
        w("EXPORT", "PATH", "/exp");
        w("EXPORT", "Name", "list.csv");
        w("IMPORT", "PATH", "/imp");
        w("IMPORT", "Name", QString(300, 'x'));

        CKELDADoc doc;
        doc.load(ini);
        QCOMPARE(doc.remembered.address, QString("192.168.100.200"));
        QCOMPARE(doc.remembered.user, QString("an-extremely-lon"));
        QCOMPARE(doc.remembered.password, QString("secret"));
        QCOMPARE(doc.rememberFlag, 1);
        QCOMPARE(doc.folder, QString("/data/zuno/"));
        QCOMPARE(doc.init, 1);
        QCOMPARE(doc.nextFolder, QString("/next/"));
        QCOMPARE(doc.nextFolderName, QString("nx"));
        QCOMPARE(doc.change, 0);
        QCOMPARE(doc.folderName, QString("f1"));
        QCOMPARE(doc.num, 2);
        QCOMPARE(doc.slotDisp[3], QString("留守録BOX：4"));
        QCOMPARE(doc.slotFolderName[2], QString("fn3"));
        QCOMPARE(doc.shownColumns(), QStringList({"ﾌﾗｸﾞ", "ABCDEF"}));
        QCOMPARE(doc.removedColumns(), QStringList({"メモ"}));
        QCOMPARE(doc.downConv, 1);
        QCOMPARE(doc.convDel, 1);
        QCOMPARE(doc.exportPath, QString("/exp"));
        QCOMPARE(doc.exportName, QString("list.csv"));
        QCOMPARE(doc.importPath, QString("/imp"));
        QCOMPARE(doc.importName.size(), 259);
        QCOMPARE(doc.loggedIn, 0);
        QCOMPARE(doc.boxKind, 1);
    }

    void missingFileGivesDefaultsAndResetColumns() {
        QTemporaryDir dir;
        CKELDADoc doc;
        doc.load(dir.filePath("none.ini"));
        QVERIFY(doc.remembered.address.isEmpty() && doc.folder.isEmpty() && doc.folderName.isEmpty());
        QCOMPARE(doc.num, 0);
        QCOMPARE(doc.downConv, 0);
        QCOMPARE(doc.shownColumns(), CKELDADoc::resetShownColumns());
        QCOMPARE(doc.removedColumns(), CKELDADoc::resetRemovedColumns());
    }

    // A settings file from before the speech column, naming the other thirteen, offers it among the removed ones.
    void olderColumnListsGainTheSpeechColumn() {
        QTemporaryDir dir;
        const QString ini = dir.filePath("KELDA.ini");
        const QStringList shown = CKELDADoc::resetShownColumns();
        const QStringList removed{"BOX名称", "タイトル", "メモ"};
        for (int i = 0; i < shown.size(); ++i) {
            QVERIFY(CPrivateProfile::writeString(ini, "DISP", QString("COLUM%1").arg(i + 1), shown[i]));
        }
        for (int i = 0; i < removed.size(); ++i) {
            QVERIFY(CPrivateProfile::writeString(ini, "DISP", QString("DELCOLUM%1").arg(i + 1), removed[i]));
        }
        CKELDADoc doc;
        doc.load(ini);
        QCOMPARE(doc.shownColumns(), shown);
        QCOMPARE(doc.removedColumns(), removed + QStringList{"発話秒"});
    }

    // A remembered password may hold "=": the key ends at the first one, so the value comes back whole and a
    // second save rewrites the same line instead of adding another.
    void valuesWithEqualsSignsRoundTrip() {
        QTemporaryDir dir;
        const QString ini = dir.filePath("KELDA.ini");
        CKELDADoc doc;
        doc.remembered.address = "10.0.0.1";
        doc.remembered.user = "u=1";
        doc.remembered.password = "a=b";
        doc.rememberFlag = 1;
        QVERIFY(doc.save(ini));
        doc.remembered.password = "c==d=";
        QVERIFY(doc.save(ini));

        QStringList keys = keysInFileOrder(ini);
        QCOMPARE(keys.count("LOGIN/PASS"), 1);
        QCOMPARE(keys.count("LOGIN/USER"), 1);
        keys.removeDuplicates();
        QCOMPARE(keys.size(), keysInFileOrder(ini).size());
        CKELDADoc back;
        back.load(ini);
        QCOMPARE(back.remembered.password, QString("c==d="));
        QCOMPARE(back.remembered.user, QString("u=1"));
    }

    // A password found in the file moves into the keyring at the next save; where no keyring takes it, it stays in
    // the file, and the login dialog says where it is.
    void passwordGoesWhereAKeyringKeepsIt_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("filePass");
        QTest::addColumn<bool>("inKeyring");
        QTest::newRow("keyring") << int(FakeKeyring::Mode::Answers) << "" << true;
        QTest::newRow("no keyring") << int(FakeKeyring::Mode::Absent) << "secret" << false;
        QTest::newRow("keyring refuses") << int(FakeKeyring::Mode::RefusesWrites) << "secret" << false;
    }
    void passwordGoesWhereAKeyringKeepsIt() {
        QFETCH(int, mode);
        QFETCH(QString, filePass);
        QFETCH(bool, inKeyring);
        QTemporaryDir dir;
        const QString ini = dir.filePath("KELDA.ini");
        QVERIFY(CPrivateProfile::writeString(ini, "LOGIN", "PASS", "secret"));
        FakeKeyring keyring;
        keyring.mode = static_cast<FakeKeyring::Mode>(mode);
        CKELDADoc doc;
        doc.passwordStore = &keyring;
        doc.load(ini);
        QCOMPARE(doc.remembered.password, QString("secret"));
        QVERIFY(doc.save(ini));
        QCOMPARE(CPrivateProfile::getString(ini, "LOGIN", "PASS"), filePass);
        QCOMPARE(keyring.kept.has_value(), inKeyring);
        QCOMPARE(doc.passwordInKeyring, inKeyring);
        QCOMPARE(CLoginForm(doc).passwordPlaceText().contains("キーリング"), inKeyring);

        CKELDADoc back;
        back.passwordStore = &keyring;
        back.load(ini);
        QCOMPARE(back.remembered.password, QString("secret"));
        // Unticked: nothing is remembered anywhere.
        back.remembered.password.clear();
        QVERIFY(back.save(ini));
        QVERIFY(!keyring.kept);
        QCOMPARE(CPrivateProfile::getString(ini, "LOGIN", "PASS"), QString());
    }

    void savesEveryKeyInOrderAndReadsBack() {
        QTemporaryDir dir;
        const QString ini = dir.filePath("KELDA.ini");
        CKELDADoc doc;
        doc.remembered.address = "10.0.0.1";
        doc.remembered.user = "u";
        doc.remembered.password = "p";
        doc.rememberFlag = 1;
        doc.folder = "/root/dl";
        doc.folderName = "cur";
        doc.num = 1;
        doc.slotDisp[0] = "内線BOX：100";
        doc.slotFolderName[0] = "cur";
        doc.downConv = 1;
        doc.exportName = "e.csv";
        QVERIFY(doc.save(ini));
        // It holds the remembered password.
        const auto perms = QFile::permissions(ini);
        QVERIFY(perms.testFlag(QFileDevice::ReadOwner));
        QVERIFY(!(perms & (QFileDevice::ReadGroup | QFileDevice::ReadOther)));

        QStringList expected = {"LOGIN/IP",      "LOGIN/USER",      "LOGIN/PASS",        "LOGIN/CHECK",
                                "FOLDER/FOLDER", "FOLDER/INIT",     "FOLDER/NEXTFOLDER", "FOLDER/NEXTFOLDERNAME",
                                "FOLDER/CHANGE", "DISP/FOLDERNAME", "DISP/NUM"};
        for (int n = 1; n <= 4; ++n) {
            expected << QString("DISP/DISP%1").arg(n) << QString("DISP/FOLDERNAME%1").arg(n);
        }
        expected << "CONVERT/DOWNCONV"
                 << "CONVERT/CONVDEL"
                 << "EXPORT/PATH"
                 << "EXPORT/Name"
                 << "IMPORT/PATH"
                 << "IMPORT/Name";
        QCOMPARE(keysInFileOrder(ini), expected);
        // The download root gets its trailing separator.
        QCOMPARE(CPrivateProfile::getString(ini, "FOLDER", "FOLDER"), QString("/root/dl/"));

        CKELDADoc back;
        back.load(ini);
        QCOMPARE(back.remembered.address, doc.remembered.address);
        QCOMPARE(back.rememberFlag, 1);
        QCOMPARE(back.folderName, QString("cur"));
        QCOMPARE(back.num, 1);
        QCOMPARE(back.slotDisp[0], QString("内線BOX：100"));
        QCOMPARE(back.downConv, 1);
        QCOMPARE(back.exportName, QString("e.csv"));
    }

    void changeOneExitRule() {
        QTemporaryDir dir;
        const QString ini = dir.filePath("KELDA.ini");
        CKELDADoc doc;
        doc.folder = "/old/";
        doc.folderName = "old";
        doc.nextFolder = "/new/";
        doc.nextFolderName = "fresh";
        doc.change = 1;
        doc.num = 2;
        doc.slotDisp[0] = "留守録BOX：01";
        doc.slotDisp[1] = "内線BOX：100";
        doc.slotFolderName[0] = "old";
        QVERIFY(doc.save(ini));
        QCOMPARE(CPrivateProfile::getString(ini, "FOLDER", "FOLDER", "x"), QString());
        QCOMPARE(CPrivateProfile::getString(ini, "DISP", "FOLDERNAME"), QString("fresh"));
        QCOMPARE(CPrivateProfile::getInt(ini, "DISP", "NUM", -1), 0);
        QCOMPARE(CPrivateProfile::getString(ini, "DISP", "DISP1", "x"), QString());
        QCOMPARE(CPrivateProfile::getString(ini, "DISP", "DISP2", "x"), QString());
        QCOMPARE(CPrivateProfile::getString(ini, "DISP", "FOLDERNAME1"), QString("old"));
        QCOMPARE(CPrivateProfile::getInt(ini, "FOLDER", "CHANGE", -1), 1);

        // The next start opens the start-up folder without restoring windows.
        CMainFrameLogic next;
        next.create(ini);
        QCOMPARE(next.doc().folder, QString("/new/"));
        QCOMPARE(next.doc().folderName, QString("fresh"));
        QVERIFY(!next.shouldRestoreLists());
    }

    void columnKeysWrittenEmptyBeyondTheLast() {
        QTemporaryDir dir;
        const QString ini = dir.filePath("KELDA.ini");
        CKELDADoc doc;
        doc.resetColumns();
        QVERIFY(doc.saveColumns(ini));
        doc.setColumns({"メモ", "日時"}, {"ﾌﾗｸﾞ"});
        QVERIFY(doc.saveColumns(ini));
        QCOMPARE(CPrivateProfile::getString(ini, "DISP", "COLUM2"), QString("日時"));
        QCOMPARE(CPrivateProfile::getString(ini, "DISP", "COLUM3", "x"), QString());
        QCOMPARE(CPrivateProfile::getString(ini, "DISP", "DELCOLUM2", "x"), QString());
        CKELDADoc back;
        back.load(ini);
        QCOMPARE(back.shownColumns(), QStringList({"メモ", "日時"}));
    }

    void startupFolderPaths() {
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath("root/prev"));
        const QString ini = dir.filePath("KELDA.ini");
        auto w = [&](const char* s, const char* k, const QString& v) { CPrivateProfile::writeString(ini, s, k, v); };
        w("FOLDER", "FOLDER", dir.filePath("root") + '/');
        w("DISP", "FOLDERNAME", "prev");
        w("DISP", "NUM", "1");
        w("DISP", "DISP1", "留守録BOX：01");
        w("DISP", "FOLDERNAME1", "prev");
        w("FOLDER", "NEXTFOLDERNAME", "other");

        { // INIT 0: the previous folder and its windows.
            CMainFrameLogic f;
            f.create(ini);
            QCOMPARE(f.doc().folderName, QString("prev"));
            QVERIFY(f.restoreFlag());
            QCOMPARE(f.boxField(), QString(" 留守録BOX：01"));
            QCOMPARE(f.folderField(), " " + dir.filePath("root/prev"));
            QVERIFY(f.decideFolder());
            QVERIFY(f.shouldRestoreLists());
        }
        w("FOLDER", "INIT", "1");
        { // INIT 1, start-up folder differs from slot 1's: open it without windows.
            CMainFrameLogic f;
            f.create(ini);
            QCOMPARE(f.doc().folderName, QString("other"));
            QVERIFY(!f.restoreFlag());
            QVERIFY(f.boxField().isEmpty());
            QVERIFY(!f.shouldRestoreLists());
            // No window is reopened, so the next list takes slot 1.
            CMainFrameLogic g;
            g.create(ini);
            g.forgetUnrestoredSlots();
            QCOMPARE(g.doc().num, 0);
            QVERIFY(g.doc().slotDisp[0].isEmpty());
            // The start-up folder does not exist: everything folder-related is cleared.
            QVERIFY(!f.decideFolder());
            QVERIFY(f.doc().folder.isEmpty() && f.doc().folderName.isEmpty() && f.doc().slotDisp[0].isEmpty());
            QCOMPARE(f.doc().num, 0);
            QVERIFY(f.folderField().isEmpty());
        }
        w("FOLDER", "NEXTFOLDERNAME", "prev");
        { // INIT 1, same folder: previous windows come back.
            CMainFrameLogic f;
            f.create(ini);
            QVERIFY(f.restoreFlag());
            QVERIFY(f.decideFolder());
            QVERIFY(f.shouldRestoreLists());
        }
        { // A first start: no folder even though "/" exists.
            CMainFrameLogic f;
            f.create(dir.filePath("absent.ini"));
            QVERIFY(!f.decideFolder());
        }
    }

    void fieldTexts() {
        QCOMPARE(CMainFrameLogic::folderFieldText("/a/b", "c:d"), QString(" /a/b/c：d"));
        QCOMPARE(CMainFrameLogic::folderFieldText("/a/b/", ""), QString(" /a/b"));
        QCOMPARE(CMainFrameLogic::folderNameFromField(" /a/b/c：d"), QString("c:d"));
        QCOMPARE(CMainFrameLogic::folderNameFromField("  nothing"), QString());
        QCOMPARE(CMainFrameLogic::activationBoxFieldText("留守録BOX：01,02,  内線BOX：100"),
                 QString(" 留守録BOX：01,02  \r\n 内線BOX：100"));
        QCOMPARE(CMainFrameLogic::activationBoxFieldText("内線BOX：100,101"), QString(" 内線BOX：100,101"));
        QCOMPARE(CMainFrameLogic::windowMenuLabel(QString(30, 'a')), QString(30, 'a'));
        QCOMPARE(CMainFrameLogic::windowMenuLabel(QString(31, 'a')), QString(30, 'a') + "...");
    }

    void statusText_data() {
        QTest::addColumn<int>("unreadable");
        QTest::addColumn<int>("displayMode");
        QTest::addColumn<QString>("text");
        const QString counts("件数: ﾌｫﾙﾀﾞﾄｰﾀﾙ ++++  ﾎﾞｯｸｽﾄｰﾀﾙ ++++  一覧表ﾄｰﾀﾙ 9999  未再生 0  再生済 ++++");
        QTest::newRow("all messages") << 0 << 0 << counts;
        // A filtered list tells it, whichever window a person comes back to.
        QTest::newRow("selection display") << 0 << 1 << counts + "  [選択表示中]";
        QTest::newRow("not downloaded display") << 0 << 2 << counts + "  [未ﾀﾞｳﾝﾛｰﾄﾞ表示中]";
        QTest::newRow("unreadable and filtered") << 2 << 1 << counts + "  読めないﾌｧｲﾙ 2  [選択表示中]";
    }

    void statusText() {
        QFETCH(int, unreadable);
        QFETCH(int, displayMode);
        QFETCH(QString, text);
        CMainFrameLogic::ListCounts c{10000, 9999, 0, 12345};
        c.unreadable = unreadable;
        c.displayMode = displayMode;
        QCOMPARE(CMainFrameLogic::statusText(10001, c), text);
    }

    void renumberingAfterClosingSecondOfThree() {
        QTemporaryDir dir;
        CMainFrameLogic f;
        f.create(dir.filePath("KELDA.ini"));
        auto& d = f.doc();
        d.num = 3;
        d.slotDisp = {"留守録BOX：01", "留守録BOX：02", "内線BOX：100", ""};
        d.slotFolderName = {"a", "b", "c", ""};
        const auto moves = f.closeSlot(2);
        QCOMPARE(moves.size(), size_t(1));
        QCOMPARE(moves[0], std::make_pair(3, 2));
        QCOMPARE(d.num, 2);
        QCOMPARE(d.slotDisp[1], QString("内線BOX：100"));
        QCOMPARE(d.slotFolderName[1], QString("c"));
        QVERIFY(d.slotDisp[2].isEmpty() && d.slotFolderName[2].isEmpty());
        QVERIFY(d.save(f.iniFile()));
        QCOMPARE(CPrivateProfile::getString(f.iniFile(), "DISP", "DISP3", "x"), QString());

        f.setBoxField("x");
        f.setSelectionFacts(true, true, true, true);
        f.closeSlot(1);
        QVERIFY(f.closeSlot(1).empty());
        QCOMPARE(d.num, 0);
        QVERIFY(f.boxField().isEmpty());
        QVERIFY(!f.convertFlag && !f.playFlag && !f.notDownloadedFlag);
        QVERIFY(d.slotDisp[0].isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
