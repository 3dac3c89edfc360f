#include "admin/CFolderDelPrgDlg.h"
#include "admin/CFolderTree.h"
#include "admin/CPrgFDwnDlg.h"
#include "link/CFtpListing.h"
#include "platform/CCancelFlag.h"
#include "store/CFileMng.h"
#include "support/CScriptedUi.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestFolderTree : public QObject {
    Q_OBJECT

private:
    static CFolderTree::UnitTreeSource tree(const QString& rus, const QString& nai, bool read = true) {
        return [=](QString& root, QString& r, QString& n) {
            root = "rusuroku\r\nnaisen\r\n";
            r = rus;
            n = nai;
            return read;
        };
    }

private Q_SLOTS:
    void boxFoldersFromTheUnitTree() {
        QTemporaryDir dir;
        const QString dl = dir.filePath("folder1");
        // A box folder that already exists keeps its name; only missing ones are made, with an empty name.
        QDir().mkpath(dl + "/rusuroku/0001");
        CFileMng::SetBoxName(dl + "/rusuroku/0001", QStringLiteral("受付"));
        CScriptedUi ui;
        CPrgFDwnDlg progress(ui);
        QCOMPARE(CFolderTree::DownloadFolder(dl, tree("0001\r\n0.0*2\r\n\r\n../x\r\n0003", "0200\r\n"), &progress),
                 true);
        QCOMPARE(CFileMng::GetBoxName(dl + "/rusuroku/0001"), QStringLiteral("受付"));
        QStringList made;
        CFileMng::ListSubfolders(dl + "/rusuroku", made);
        for (QString& m : made) {
            m = QFileInfo(m).fileName();
        }
        made.sort();
        // Dots and stars dropped ("0.0*2" is 002); a name with "/" never becomes a path.
        QCOMPARE(made, QStringList({"0001", "0003", "002"}));
        QVERIFY(!QFileInfo::exists(dl + "/x") && !QFileInfo::exists(dir.filePath("x")));
        QVERIFY(QFileInfo(dl + "/naisen/0200").isDir());
        QCOMPARE(CFileMng::GetMake(dl + "/rusuroku/002"), CFileMng::Make::None);
        QCOMPARE(QFile(dl + "/rusuroku/002/inf.ini").exists(), true);
        QCOMPARE(CFileMng::GetBoxName(dl + "/naisen/0200"), QString());
        QVERIFY(!progress.isOpen());
    }

    // The folder tree makes the boxes the listing reader takes, no more: a name longer than a box number or
    // with a backslash is no box of the unit. A box folder of such a name kept from earlier stays as it was.
    void boxFoldersFollowTheBoxNumberRule() {
        QTemporaryDir dir;
        const QString dl = dir.filePath("folder1");
        QDir().mkpath(dl + "/rusuroku/12345");
        CFileMng::SetBoxName(dl + "/rusuroku/12345", QStringLiteral("受付"));
        const QString rus = "0001\r\n12345\r\n0004\r\na\\b\r\n99999\r\n";
        QCOMPARE(CFolderTree::BoxNames(rus), CFtpListing::boxNumbers(rus));
        QCOMPARE(CFolderTree::DownloadFolder(dl, tree(rus, "0200\r\n"), nullptr), 1);
        QStringList made;
        CFileMng::ListSubfolders(dl + "/rusuroku", made);
        for (QString& m : made) {
            m = QFileInfo(m).fileName();
        }
        made.sort();
        QCOMPARE(made, QStringList({"0001", "0004", "12345"}));
        QCOMPARE(CFileMng::GetBoxName(dl + "/rusuroku/12345"), QStringLiteral("受付"));
        QCOMPARE(CFileMng::GetMake(dl + "/rusuroku/12345"), CFileMng::Make::None);
    }

    void aFailedListingMakesNothing() {
        QTemporaryDir dir;
        QCOMPARE(CFolderTree::DownloadFolder(dir.path(), tree("0001\r\n", "", false), nullptr), false);
        QVERIFY(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    }

    void cancelRemovesOnlyWhatThisRunMade() {
        QTemporaryDir dir;
        const QString dl = dir.path();
        QDir().mkpath(dl + "/rusuroku/0001");
        // Left pending by an interrupted earlier run, it has received a message since: not this run's to undo.
        QDir().mkpath(dl + "/rusuroku/0009");
        CFileMng::SetMake(dl + "/rusuroku/0009", "2");
        QFile(dl + "/rusuroku/0009/msg.vminf").open(QIODevice::WriteOnly);
        CScriptedUi ui;
        CPrgFDwnDlg progress(ui);
        // Cancel once the answering-machine boxes are made, as the bar moves on to the extension boxes.
        ui.onDispatch = [&](int) {
            if (QFileInfo::exists(dl + "/rusuroku/0002")) {
                ui.pressCancel("ダウンロード中");
            }
        };
        CCancelFlag::clear();
        QCOMPARE(CFolderTree::DownloadFolder(dl, tree("0001\r\n0002\r\n", "0200\r\n0201\r\n"), &progress), false);
        QVERIFY(CCancelFlag::isSet());
        CCancelFlag::clear();
        QVERIFY(QFileInfo(dl + "/rusuroku/0001").isDir());
        QVERIFY(!QFileInfo::exists(dl + "/rusuroku/0002"));
        QVERIFY(!QFileInfo::exists(dl + "/naisen"));
        QVERIFY(QFileInfo(dl).isDir());
        QVERIFY(QFileInfo::exists(dl + "/rusuroku/0009/msg.vminf"));
    }

    void deleteFolderTree() {
        QTemporaryDir dir;
        const QString dl = dir.filePath("old");
        QDir().mkpath(dl + "/rusuroku/0001/deeper");
        QFile f(dl + "/rusuroku/0001/locked.vmdat");
        f.open(QIODevice::WriteOnly);
        f.write("x");
        f.close();
        f.setPermissions(QFileDevice::ReadOwner);
        QFile(dl + "/note.txt").open(QIODevice::WriteOnly);
        // A link to a folder outside is removed as a link; what it points to stays.
        QDir().mkpath(dir.filePath("keep"));
        QFile(dir.filePath("keep/precious")).open(QIODevice::WriteOnly);
        QFile::link(dir.filePath("keep"), dl + "/link");
        CScriptedUi ui;
        CFolderDelPrgDlg progress(ui);
        QCOMPARE(CFolderTree::DeleteFolderTree(dl, &progress), 1);
        QVERIFY(!QFileInfo::exists(dl));
        QVERIFY(QFileInfo::exists(dir.filePath("keep/precious")));
        QCOMPARE(progress.rangeMax(), 5);
        QCOMPARE(progress.position(), 3);
        QCOMPARE(CFolderTree::DeleteFolderTree(dir.filePath("absent"), nullptr), 0);

        // A link chosen as the folder itself goes as a link, its target's files and permissions untouched.
        QFile::link(dir.filePath("keep"), dir.filePath("chosen"));
        QFile::setPermissions(dir.filePath("keep/precious"), QFileDevice::ReadOwner);
        QCOMPARE(CFolderTree::DeleteFolderTree(dir.filePath("chosen"), nullptr), 1);
        QVERIFY(!QFileInfo(dir.filePath("chosen")).isSymLink());
        QVERIFY(QFileInfo::exists(dir.filePath("keep/precious")));
        QCOMPARE(QFile::permissions(dir.filePath("keep/precious")) & QFileDevice::WriteOwner,
                 QFileDevice::Permissions());
    }

    void boxNames() {
        QCOMPARE(CFolderTree::BoxNames("0001\r\n*\r\n\r\n..\r\na/b\r\n0200"), QStringList({"0001", "0200"}));
        // A box selection text separates boxes by "," and blanks: such names would stand for other boxes.
        QCOMPARE(CFolderTree::BoxNames(QString("01\r\n1 2\r\n0,3\r\n\t5\r\n1") + QChar(0x3000) + "2\r\n04"),
                 QStringList({"01", "04"}));
    }
};

QTEST_GUILESS_MAIN(TestFolderTree)
#include "tst_foldertree.moc"
