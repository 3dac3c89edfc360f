// Box names and box folders without a window: the name rules, the editable lists, the box name editor, the box
// folder creation and the box folder rename, on temporary download folders.
#include "admin/CAdminTexts.h"
#include "admin/CBoxFldNameChgLogic.h"
#include "admin/CBoxNameChgLogic.h"
#include "admin/CBoxNameRules.h"
#include "admin/CEditListState.h"
#include "admin/CMakeBoxFldLogic.h"
#include "admin/CRegisterGate.h"
#include "operations/CMsgCopyLogic.h"
#include "settings/CKeldaSession.h"
#include "store/CFileMng.h"
#include "store/CFolderLock.h"
#include "store/CPrivateProfile.h"
#include "support/CScriptedUi.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void mk(const QString& p) {
    QDir().mkpath(p);
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestBoxAdmin : public QObject {
    Q_OBJECT

    QTemporaryDir* tmp = nullptr;
    QString dl;
    CKeldaSession doc;

private Q_SLOTS:
    void init() {
        tmp = new QTemporaryDir;
        doc = CKeldaSession();
        doc.folder = tmp->path() + "/";
        doc.folderName = "office";
        dl = tmp->filePath("office");
    }
    void cleanup() { delete tmp; }

    // The box lists of the name editor and the move/copy target come by box number, whatever order the file
    // system lists the folders in.
    void boxListsComeByNumber() {
        for (const char* box :
             {"rusuroku/03", "naisen/201", "naisen/215", "naisen/208", "rusuroku/02", "naisen/222", "rusuroku/01"}) {
            mk(dl + '/' + box);
        }
        CScriptedUi ui;
        CBoxNameChgLogic names(ui, doc);
        QCOMPARE(names.open(), CBoxNameChgLogic::Open::Ready);
        QStringList shown;
        for (const bool am : {true, false}) {
            for (int r = 0; r < names.list(am).rowCount(); ++r) {
                shown << names.list(am).text(r, 1);
            }
        }
        QCOMPARE(shown, QStringList({"01", "02", "03", "201", "208", "215", "222"}));

        CMsgCopyLogic targets(ui, dl);
        QCOMPARE(targets.open(), DlgOutcome::Stay);
        shown.clear();
        for (const auto& row : targets.answering() + targets.extension()) {
            shown << row.boxNo;
        }
        QCOMPARE(shown, QStringList({"01", "02", "03", "201", "208", "215", "222"}));
    }

    void boxNameRule_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("empty") << QString() << true;
        QTest::newRow("ten ASCII") << QStringLiteral("0123456789") << true;
        QTest::newRow("eleven ASCII") << QStringLiteral("0123456789A") << false;
        QTest::newRow("five double-byte = 10 bytes") << QStringLiteral("営業部第一") << true;
        QTest::newRow("five double-byte and one = 11 bytes") << QStringLiteral("営業部第一A") << false;
        QTest::newRow("half-width kana count one byte") << QStringLiteral("ｴｲｷﾞｮｳﾌﾞﾀﾞｲｲﾁ") << false;
        QTest::newRow("ten half-width kana") << QStringLiteral("ｴｲｷﾞｮｳﾌﾞﾀﾞ") << true;
        QTest::newRow("comma") << QStringLiteral("a,b") << false;
        QTest::newRow("full-width comma is fine") << QStringLiteral("a，b") << true;
        // What CP932 lacks would be stored as "?": refused, whatever its length.
        QTest::newRow("emoji") << QString::fromUtf8("😀") << false;
        QTest::newRow("e acute") << QStringLiteral("caf\u00e9") << false;
        QTest::newRow("tag character") << QString::fromUtf16(u"\U000E0000") << false;
        QTest::newRow("a byte CP932 lacks, as the command line decodes it") << QStringLiteral("a\uFFFDb") << false;
        QTest::newRow("a question mark is fine") << QStringLiteral("?") << true;
    }
    void boxNameRule() {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(CBoxNameRules::IsValidBoxName(name), valid);
    }

    void folderNameRule_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("one") << QStringLiteral("1") << true;
        QTest::newRow("fourteen") << QStringLiteral("01234567890123") << true;
        QTest::newRow("fifteen") << QStringLiteral("012345678901234") << false;
        QTest::newRow("seven double-byte") << QStringLiteral("一二三四五六七") << true;
        QTest::newRow("eight double-byte") << QStringLiteral("一二三四五六七八") << false;
        QTest::newRow("colon") << QStringLiteral("12:34") << false;
        QTest::newRow("emoji") << QString::fromUtf8("箱😀") << false;
        for (const char* c : {"\\", "/", "*", "?", "\"", "<", ">", "|"}) {
            QTest::newRow(c) << QStringLiteral("a%1b").arg(QLatin1String(c)) << false;
        }
    }
    void folderNameRule() {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(CBoxNameRules::IsValidFolderName(name), valid);
    }

    void plainBoxNumbers() {
        QVERIFY(CBoxNameRules::IsPlainBoxNumber("201"));
        for (const char* bad : {"", ".", "..", "../rusuroku/0001", "a/b", "/etc"}) {
            QVERIFY2(!CBoxNameRules::IsPlainBoxNumber(QString::fromLatin1(bad)), bad);
        }
    }

    // The edit limit is the last word on the cell; a row not ticked cannot be edited; clicks elsewhere do
    // nothing.
    void editListClicks() {
        CEditListState names(CBoxNameChgLogic::Titles(), 10);
        names.addRow("0001", "old");
        QVERIFY(!names.hasCheckColumn());
        QCOMPARE(names.click(0, 2), CEditListState::Click::StartEdit);
        QCOMPARE(names.click(0, 1), CEditListState::Click::None);
        QCOMPARE(names.click(5, 2), CEditListState::Click::None);
        names.finishEdit(0, "0123456789ABC");
        QCOMPARE(names.text(0, 2), QStringLiteral("0123456789"));

        CEditListState folders(CBoxFldNameChgLogic::Titles(), 14);
        folders.addRow("0", "mine");
        QVERIFY(folders.isCheckColumn(1) && !folders.isCheckColumn(2));
        QCOMPARE(folders.click(0, 2), CEditListState::Click::None);
        QCOMPARE(folders.click(0, 1), CEditListState::Click::Toggled);
        QCOMPARE(folders.text(0, 1), QStringLiteral("1"));
        QCOMPARE(folders.click(0, 2), CEditListState::Click::StartEdit);
        QCOMPARE(folders.click(0, 1), CEditListState::Click::Toggled);
        QCOMPARE(folders.text(0, 1), QStringLiteral("0"));
        QVERIFY(!folders.canEdit(0, 2));
    }

    // A name that came in by the import, longer than the rule, is shown whole and written back as it is while
    // its cell is left alone; once edited it has to keep the rule, and the refusal names the box and the reason.
    void boxNameEditorKeepsImportedNames() {
        mk(dl + "/rusuroku/0001");
        mk(dl + "/naisen/201");
        const QString imported = QStringLiteral("営業部第一課ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        QVERIFY(CPrivateProfile::writeString(dl + "/naisen/201/inf.ini", "INF", "NAME", imported));
        CScriptedUi ui;
        CBoxNameChgLogic logic(ui, doc);
        QCOMPARE(logic.open(), CBoxNameChgLogic::Open::Ready);
        QCOMPARE(logic.list(false).text(0, 2), imported);
        QVERIFY(!logic.list(false).edited(0));

        logic.list(false).finishEdit(0, imported.left(12));
        QCOMPARE(logic.ok(), CBoxNameChgLogic::Ok::StayOpen);
        QCOMPARE(ui.lastMessage()->text,
                 CAdminTexts::InputErrorAt(
                     QStringLiteral("内線BOX：201"),
                     CBoxNameRules::BoxNameProblemText(imported.left(12), CBoxNameRules::BoxNameProblem::TooLong)));
        QVERIFY(ui.lastMessage()->text.contains(QStringLiteral("10バイト")));
        QCOMPARE(CPrivateProfile::getString(dl + "/naisen/201/inf.ini", "INF", "NAME"), imported);

        logic.list(false).finishEdit(0, imported);
        QVERIFY(!logic.list(false).edited(0));
        logic.list(true).finishEdit(0, QStringLiteral("受付"));
        QCOMPARE(logic.ok(), CBoxNameChgLogic::Ok::Registered);
        QVERIFY(logic.failures().isEmpty());
        QCOMPARE(CPrivateProfile::getString(dl + "/naisen/201/inf.ini", "INF", "NAME"), imported);
        QCOMPARE(CFileMng::GetBoxName(dl + "/rusuroku/0001"), QStringLiteral("受付"));
    }

    void boxNameEditorWithoutBoxes() {
        mk(dl + "/rusuroku");
        mk(dl + "/naisen");
        CScriptedUi ui;
        CBoxNameChgLogic logic(ui, doc);
        QCOMPARE(logic.open(), CBoxNameChgLogic::Open::NoBoxes);
        QCOMPARE(ui.messageTexts(), QStringList{CAdminTexts::NoBoxFolders()});
        QCOMPARE(ui.lastMessage()->caption, QStringLiteral("エラー"));
    }

    // Every row is written, quoted; an empty name is written too; a refused name stops before anything is
    // written; "No" writes nothing.
    void boxNameEditor() {
        mk(dl + "/rusuroku/0001");
        mk(dl + "/naisen/201");
        mk(dl + "/naisen/202");
        QVERIFY(CFileMng::SetBoxName(dl + "/naisen/202", "before"));
        CScriptedUi ui;
        CBoxNameChgLogic logic(ui, doc);
        QCOMPARE(logic.open(), CBoxNameChgLogic::Open::Ready);
        QCOMPARE(logic.list(true).rowCount(), 1);
        QCOMPARE(logic.list(false).rowCount(), 2);
        const int row202 = logic.list(false).text(0, 1) == "202" ? 0 : 1;
        QCOMPARE(logic.list(false).text(row202, 2), QStringLiteral("before"));

        logic.list(true).finishEdit(0, QStringLiteral("営業部第一"));
        logic.list(false).finishEdit(1 - row202, QStringLiteral("a,b"));
        logic.list(false).finishEdit(row202, QString());
        QCOMPARE(logic.ok(), CBoxNameChgLogic::Ok::StayOpen);
        // The refusal names the box and the reason.
        QCOMPARE(ui.lastMessage()->text,
                 CAdminTexts::InputErrorAt(QStringLiteral("内線BOX：") + logic.list(false).text(1 - row202, 1),
                                           QStringLiteral("BOX名称に「,」は使えません。")));
        QVERIFY(!QFile::exists(dl + "/rusuroku/0001/inf.ini"));

        logic.list(false).finishEdit(1 - row202, QStringLiteral("Sales"));
        ui.replies = {MsgResult::No};
        QCOMPARE(logic.ok(), CBoxNameChgLogic::Ok::Declined);
        QVERIFY(!QFile::exists(dl + "/rusuroku/0001/inf.ini"));

        ui.messages.clear();
        QCOMPARE(logic.ok(), CBoxNameChgLogic::Ok::Registered);
        QCOMPARE(ui.messageTexts(), QStringList{CAdminTexts::RegisterConfirm()});
        QCOMPARE(ui.messages[0].caption, QStringLiteral("登録の確認"));
        QVERIFY(logic.failures().isEmpty());
        QCOMPARE(CFileMng::GetBoxName(dl + "/rusuroku/0001"), QStringLiteral("営業部第一"));
        QCOMPARE(CFileMng::GetBoxName(dl + "/naisen/201"), QStringLiteral("Sales"));
        QCOMPARE(CFileMng::GetBoxName(dl + "/naisen/202"), QString());
        QVERIFY(readBytes(dl + "/naisen/202/inf.ini").contains("NAME=\"\""));
        // The progress window ran from 0 to the row total and closed.
        QVERIFY(!ui.hasOpenProgress("登録中"));
        bool sawTotal = false;
        for (const auto& e : ui.progressEvents) {
            sawTotal = sawTotal || (e.title == "登録中" && e.what == "pos" && e.value == "3");
        }
        QVERIFY(sawTotal);
    }

    // A box folder removed while the editor was open cannot take its name: said, not hidden.
    void boxNameEditorReportsUnwritableBoxes() {
        mk(dl + "/rusuroku/0001");
        mk(dl + "/rusuroku/0002");
        CScriptedUi ui;
        CBoxNameChgLogic logic(ui, doc);
        QCOMPARE(logic.open(), CBoxNameChgLogic::Open::Ready);
        const int gone = logic.list(true).text(0, 1) == "0002" ? 0 : 1;
        QVERIFY(QDir(dl + "/rusuroku/0002").removeRecursively());
        QCOMPARE(logic.ok(), CBoxNameChgLogic::Ok::Registered);
        QCOMPARE(logic.failures(), QStringList{QStringLiteral("留守録BOX：0002")});
        QVERIFY(!QFileInfo::exists(dl + "/rusuroku/0002"));
        Q_UNUSED(gone);
    }

    // Before names are written the user confirms, then the folder's lock is taken; a "no" asks nothing of the
    // folder, and a folder another operation holds is told and left alone.
    void registerGate_data() {
        QTest::addColumn<MsgResult>("answer");
        QTest::addColumn<bool>("heldElsewhere");
        QTest::addColumn<CRegisterGate::Start>("start");
        QTest::addColumn<QStringList>("told");
        const QStringList confirm{CAdminTexts::RegisterConfirm()};
        QTest::newRow("yes, free") << MsgResult::Yes << false << CRegisterGate::Start::Go << confirm;
        QTest::newRow("no, free") << MsgResult::No << false << CRegisterGate::Start::Declined << confirm;
        QTest::newRow("no, busy") << MsgResult::No << true << CRegisterGate::Start::Declined << confirm;
        QTest::newRow("yes, busy") << MsgResult::Yes << true << CRegisterGate::Start::Busy
                                   << (confirm + QStringList{CFolderLock::BusyText()});
    }
    void registerGate() {
        QFETCH(MsgResult, answer);
        QFETCH(bool, heldElsewhere);
        QFETCH(CRegisterGate::Start, start);
        QFETCH(QStringList, told);
        mk(dl + "/rusuroku/0001");
        mk(dl + "/naisen/201");
        CFolderLock other;
        if (heldElsewhere) {
            QCOMPARE(other.acquire(dl, 0), CFolderLock::State::Held);
        }
        CScriptedUi ui;
        ui.replies = {answer};
        CFolderLock lock;
        const CRegisterGate::Start got = CRegisterGate::Begin(ui, lock, dl);
        QCOMPARE(got, start);
        QCOMPARE(ui.messageTexts(), told);
        if (start == CRegisterGate::Start::Go) {
            // The lock is held by the gate's caller: nobody else gets the folder meanwhile.
            CFolderLock third;
            QCOMPARE(third.acquire(dl, 0), CFolderLock::State::Busy);
        }
    }

    void makeBoxFolder() {
        mk(dl + "/rusuroku");
        CScriptedUi ui;
        CMakeBoxFldLogic logic(ui, doc);
        QVERIFY(logic.answeringMachineSelected());

        QVERIFY(!logic.ok(true, QStringLiteral("12:34")));
        QCOMPARE(ui.lastMessage()->text, CAdminTexts::InputError());
        QCOMPARE(ui.lastMessage()->caption, QStringLiteral("エラー"));
        QVERIFY(!logic.ok(true, QString()));
        QVERIFY(!logic.ok(true, QStringLiteral("012345678901234")));
        QVERIFY(logic.answeringMachineSelected()); // refused names leave the remembered kind

        // No "naisen" here: the kind directory is not made on the way.
        QVERIFY(!logic.ok(false, QStringLiteral("300")));
        QCOMPARE(ui.lastMessage()->text, CAdminTexts::InputError());
        QVERIFY(!QFileInfo::exists(dl + "/naisen"));
        QVERIFY(!logic.answeringMachineSelected()); // the name passed: the kind is remembered all the same

        mk(dl + "/rusuroku/0001");
        CPrivateProfile::writeString(dl + "/rusuroku/0001/inf.ini", "INF", "MAKE", "0");
        QVERIFY(!logic.ok(true, QStringLiteral("0001")));
        QCOMPARE(ui.lastMessage()->text, CAdminTexts::DuplicateName());

        QVERIFY(logic.ok(true, QStringLiteral("支店")));
        QVERIFY(logic.answeringMachineSelected());
        QCOMPARE(logic.madeFolder(), dl + "/rusuroku/支店");
        QCOMPARE(CFileMng::GetMake(dl + "/rusuroku/支店"), CFileMng::Make::ByUser);
        QVERIFY(!readBytes(dl + "/rusuroku/支店/inf.ini").contains("NAME"));
    }

    // Only box folders the user made are offered; a folder download's never are.
    void renameListsOnlyUserMadeFolders() {
        mk(dl + "/rusuroku/0001");
        CFileMng::SetMake(dl + "/rusuroku/0001", "0");
        mk(dl + "/naisen/201");
        CFileMng::SetMake(dl + "/naisen/201", "2");
        mk(dl + "/naisen/202");
        CScriptedUi ui;
        CMakeBoxFldLogic make(ui, doc);
        QVERIFY(make.ok(false, QStringLiteral("mine")));

        CBoxFldNameChgLogic logic(ui, doc);
        QCOMPARE(logic.open(), CBoxFldNameChgLogic::Open::Ready);
        QCOMPARE(logic.list(true).rowCount(), 0);
        QCOMPARE(logic.list(false).rowCount(), 1);
        QCOMPARE(logic.list(false).text(0, 1), QStringLiteral("0"));
        QCOMPARE(logic.list(false).text(0, 2), QStringLiteral("mine"));
        QCOMPARE(logic.list(false).oldNames, QStringList{"mine"});

        QDir(dl).removeRecursively();
        mk(dl + "/rusuroku");
        ui.messages.clear();
        CBoxFldNameChgLogic empty(ui, doc);
        QCOMPARE(empty.open(), CBoxFldNameChgLogic::Open::NoBoxes);
        QCOMPARE(ui.messageTexts(), QStringList{CAdminTexts::NoBoxFolders()});
    }

    void renameValidation() {
        mk(dl + "/rusuroku");
        mk(dl + "/naisen");
        CScriptedUi ui;
        CMakeBoxFldLogic make(ui, doc);
        for (const char* n : {"a", "b", "c"}) {
            QVERIFY(make.ok(true, QString::fromLatin1(n)));
        }
        QVERIFY(make.ok(false, QStringLiteral("a")));
        CBoxFldNameChgLogic logic(ui, doc);
        QCOMPARE(logic.open(), CBoxFldNameChgLogic::Open::Ready);
        CEditListState& am = logic.list(true);
        QCOMPARE(am.rowCount(), 3);
        const auto rowOf = [&](const QString& name) { return am.oldNames.indexOf(name); };

        // Unchanged, a marked row is a duplicate of itself.
        am.click(rowOf("a"), 1);
        QCOMPARE(logic.ok(), CBoxFldNameChgLogic::Ok::StayOpen);
        QCOMPARE(ui.lastMessage()->text, CAdminTexts::DuplicateName());
        // Two marked rows given the same new name.
        am.finishEdit(rowOf("a"), "x");
        am.click(rowOf("b"), 1);
        am.finishEdit(rowOf("b"), "x");
        QCOMPARE(logic.ok(), CBoxFldNameChgLogic::Ok::StayOpen);
        QCOMPARE(ui.lastMessage()->text, CAdminTexts::DuplicateName());
        am.finishEdit(rowOf("b"), "y:z");
        QCOMPARE(logic.ok(), CBoxFldNameChgLogic::Ok::StayOpen);
        QCOMPARE(ui.lastMessage()->text, CAdminTexts::InputError());
        // An unmarked row's text is not looked at; the same name in the other kind is no duplicate.
        am.finishEdit(rowOf("b"), "y");
        am.click(rowOf("b"), 1);
        am.click(rowOf("b"), 1);
        logic.list(false).click(0, 1);
        logic.list(false).finishEdit(0, "x");
        ui.messages.clear();
        QCOMPARE(logic.ok(), CBoxFldNameChgLogic::Ok::Renamed);
        QCOMPARE(ui.messageTexts(), QStringList{CAdminTexts::RegisterConfirm()});
        QVERIFY(logic.failures().isEmpty());
        QVERIFY(QFileInfo(dl + "/rusuroku/x").isDir() && QFileInfo(dl + "/rusuroku/y").isDir());
        QVERIFY(!QFileInfo::exists(dl + "/rusuroku/a") && !QFileInfo::exists(dl + "/rusuroku/b"));
        QVERIFY(QFileInfo(dl + "/rusuroku/c").isDir());
        QVERIFY(QFileInfo(dl + "/naisen/x").isDir());
        QCOMPARE(CFileMng::GetMake(dl + "/rusuroku/x"), CFileMng::Make::ByUser);
    }

    // A rename that fails (the folder went away meanwhile) is reported by name, never as done.
    void renameFailureReported() {
        mk(dl + "/rusuroku");
        CScriptedUi ui;
        CMakeBoxFldLogic make(ui, doc);
        QVERIFY(make.ok(true, QStringLiteral("old")));
        CBoxFldNameChgLogic logic(ui, doc);
        QCOMPARE(logic.open(), CBoxFldNameChgLogic::Open::Ready);
        logic.list(true).click(0, 1);
        logic.list(true).finishEdit(0, "new");
        QVERIFY(QDir(dl + "/rusuroku/old").removeRecursively());
        QCOMPARE(logic.ok(), CBoxFldNameChgLogic::Ok::Renamed);
        QCOMPARE(logic.failures(), QStringList{QStringLiteral("留守録BOX：old → new")});
        QVERIFY(CAdminTexts::RenameFailed(logic.failures()).contains(QStringLiteral("old → new")));
    }
};

QTEST_GUILESS_MAIN(TestBoxAdmin)
#include "tst_boxadmin.moc"
