#include "admin/CBoxFldNameChgLogic.h"
#include "admin/CBoxNameChgLogic.h"
#include "admin/CExportSetLogic.h"
#include "admin/CFolderChgLogic.h"
#include "admin/CFolderDelPrgDlg.h"
#include "admin/CFolderDwnLogic.h"
#include "admin/CFolderSetLogic.h"
#include "admin/CImportSetLogic.h"
#include "admin/CMakeBoxFldLogic.h"
#include "admin/CPrgBoxNameChgDlg.h"
#include "admin/CPrgFDwnDlg.h"
#include "link/CLinkController.h"
#include "link/CLinkSettings.h"
#include "list/CBoxOpenLogic.h"
#include "list/CFindSetLogic.h"
#include "list/CInfoEditLogic.h"
#include "list/CListDispSelectLogic.h"
#include "operations/CDelKindSetLogic.h"
#include "operations/CDownKindSetLogic.h"
#include "operations/CMsgCopyLogic.h"
#include "operations/CPrgFileDwnDlg.h"
#include "operations/CPrgMsgCopyDlg.h"
#include "operations/CPrgMsgDelDlg.h"
#include "operations/CSelDownLogic.h"
#include "platform/CCancelFlag.h"
#include "platform/CProgressDlg.h"
#include "shell/CKELDADoc.h"
#include "store/CPrivateProfile.h"
#include "support/CFakeUnit.h"
#include "support/CSampleFolder.h"
#include "support/CScriptedUi.h"
#include "ui/CFolderChooser.h"
#include "ui/CJapaneseFont.h"
#include "ui/CKeychainStore.h"
#include "ui/CWidgetProgressView.h"
#include "ui/CWidgetUi.h"
#include "ui/admin/CBoxFldNameChgDlg.h"
#include "ui/admin/CBoxNameChgDlg.h"
#include "ui/admin/CExportSetDlg.h"
#include "ui/admin/CFolderChgDlg.h"
#include "ui/admin/CFolderDwnDlg.h"
#include "ui/admin/CFolderNmChg.h"
#include "ui/admin/CFolderSetDlg.h"
#include "ui/admin/CFolderSetSubDlg.h"
#include "ui/admin/CImportSetDlg.h"
#include "ui/admin/CMakeBoxFldDlg.h"
#include "ui/link/CLoginDlg.h"
#include "ui/link/CRecomDlg.h"
#include "ui/list/CBoxOpenDlg.h"
#include "ui/list/CDataListCtrl.h"
#include "ui/list/CFindSetDlg.h"
#include "ui/list/CInfoEditDlg.h"
#include "ui/list/CListDispSelectDlg.h"
#include "ui/list/CListDispView.h"
#include "ui/operations/CDelKindSetDlg.h"
#include "ui/operations/CDownKindSetDlg.h"
#include "ui/operations/CMsgCopyDlg.h"
#include "ui/operations/COwrMsgDlg.h"
#include "ui/operations/CSelDownDlg.h"
#include "ui/shell/CAboutDlg.h"
#include "ui/voice/CWavFileDelDlg.h"
#include "voice/CAudioExportDlg.h"
#include "voice/CPrgWavDelDlg.h"
#include "voice/CWavConvDlg.h"
#include "voice/CWavFileDelLogic.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <csignal>

#include <sys/prctl.h>

#include <functional>
#include <map>
#include <memory>

namespace {

// The keyring daemons end only with this process (see keyringKeepsThePassword); held here, they stay reachable, so
// the leak checker does not count them and what hangs off them.
QProcess* g_keyringDaemons[2] = {};

} // namespace

class TestWidgetUi : public QObject {
    Q_OBJECT

    // Settings with one list slot over the download folder "dl" below root.
    static CKELDADoc oneListOf(const QString& root, const QString& boxes) {
        CKELDADoc doc;
        doc.resetColumns();
        doc.folder = root;
        doc.num = 1;
        doc.slotFolderName[0] = "dl";
        doc.slotDisp[0] = boxes;
        return doc;
    }

private Q_SLOTS:
    void initTestCase() { CJapaneseFont::install(); }

    void progressWindowFollowsTheCoreAndCancels() {
        QMainWindow main;
        main.setCentralWidget(new QWidget);
        main.show();
        CWidgetUi ui;
        ui.setMainWindow(&main);
        int cancelled = 0;
        ProgressLook look;
        look.title = "ダウンロード中";
        look.text = "受信しています。";
        look.counterText = "1/3";
        look.rangeMax = 10;
        look.cancelButton = true;
        look.onCancel = [&] { ++cancelled; };
        CProgressDlg dlg(ui, look);
        QVERIFY(dlg.isOpen());
        ui.setMainWindowEnabled(false);
        dlg.setStepDone(25);
        QCOMPARE(dlg.position(), 10);

        CProgressWindow* w = nullptr;
        for (QWidget* t : QApplication::topLevelWidgets()) {
            if (auto* p = qobject_cast<CProgressWindow*>(t); p && p->isVisible()) {
                w = p;
            }
        }
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QString("ダウンロード中"));
        QCOMPARE(w->bar()->value(), 10);
        QCOMPARE(w->counterLabel()->text(), QString("1/3"));
        // The cancel button works while the main window is disabled.
        QVERIFY(w->cancelButton() && w->cancelButton()->isEnabled());
        QCOMPARE(w->cancelButton()->text(), QString("キャンセル"));
        w->cancelButton()->click();
        QCOMPARE(cancelled, 1);
        QVERIFY(!main.centralWidget()->isEnabled());
        ui.setMainWindowEnabled(true);
        QVERIFY(main.centralWidget()->isEnabled());
        dlg.close();
        QVERIFY(!dlg.isOpen());
    }

    // Playing one message after another: the opener's verdict is read from an opener that is still there,
    // whether it ends at once, fails or hands the file on and keeps running.
    void openerVerdictOverManyPlays_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("opened");
        QTest::newRow("ends at once") << "exit 0" << true;
        QTest::newRow("nothing opens the file") << "exit 4" << false;
        QTest::newRow("lingers with the player") << "sleep 0.4" << true;
    }

    void openerVerdictOverManyPlays() {
        QFETCH(QString, script);
        QFETCH(bool, opened);
        QTemporaryDir dir;
        const QString opener = dir.filePath("opener");
        QFile f(opener);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("#!/bin/sh\n%1\n").arg(script).toUtf8());
        f.close();
        QVERIFY(f.setPermissions(f.permissions() | QFileDevice::ExeOwner));
        CWidgetUi ui;
        ui.setOpener(opener, 3000, 150);
        for (int play = 0; play < 50; ++play) {
            QCOMPARE(ui.openWithDefaultApplication(dir.filePath("m.wav")), opened);
            // Between two plays the program is back in its event loop, where finished openers are cleaned up.
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        // The openers left running go away by themselves when they end.
        QTRY_VERIFY_WITH_TIMEOUT(qApp->findChildren<QProcess*>().isEmpty(), 5000);
    }

    // Esc and Return in the window of a running operation neither hide it nor stop the operation; its
    // "キャンセル" (where it has one) still does.
    void progressWindowKeepsItsOperationOnEsc_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("cancellable");
        // Esc and the close box stop a download as "キャンセル" does; the window stays and says it is stopping.
        QTest::newRow("download, stopped by Esc") << 0 << "ダウンロード中" << true;
        QTest::newRow("deletion") << 1 << "消去中" << false;
        QTest::newRow("move") << 2 << "移動中" << true;
        QTest::newRow("copy") << 3 << "コピー中" << true;
        QTest::newRow("conversion") << 4 << "変換中" << true;
        QTest::newRow("folder download") << 5 << "ダウンロード中" << true;
        QTest::newRow("box names") << 6 << "登録中" << false;
        QTest::newRow("folder deletion") << 7 << "削除中" << false;
        QTest::newRow("WAV deletion") << 8 << "消去中" << false;
        // An export can be stopped with Esc: what it wrote stays, so nothing is lost by a key pressed by mistake.
        QTest::newRow("audio export, stopped by Esc") << 9 << "書き出し中" << true;
    }

    void progressWindowKeepsItsOperationOnEsc() {
        QFETCH(int, kind);
        QFETCH(QString, title);
        QFETCH(bool, cancellable);
        QMainWindow main;
        main.setCentralWidget(new QWidget);
        main.show();
        CWidgetUi ui;
        ui.setMainWindow(&main);
        CCancelFlag::clear();
        int copyCancels = 0;
        std::unique_ptr<CProgressDlg> dlg;
        switch (kind) {
        case 0:
            dlg = std::make_unique<CPrgFileDwnDlg>(ui);
            break;
        case 1:
            dlg = std::make_unique<CPrgMsgDelDlg>(ui, 3);
            break;
        case 2:
        case 3:
            dlg = std::make_unique<CPrgMsgCopyDlg>(ui, kind == 2, 3, [&] { ++copyCancels; });
            break;
        case 4:
            dlg = std::make_unique<CWavConvDlg>(ui, 2);
            break;
        case 5:
            dlg = std::make_unique<CPrgFDwnDlg>(ui);
            break;
        case 6:
            dlg = std::make_unique<CPrgBoxNameChgDlg>(ui, 3);
            break;
        case 7:
            dlg = std::make_unique<CFolderDelPrgDlg>(ui);
            break;
        case 8:
            dlg = std::make_unique<CPrgWavDelDlg>(ui, 3);
            break;
        default:
            dlg = std::make_unique<CAudioExportDlg>(ui, 3);
            break;
        }
        ui.setMainWindowEnabled(false);
        CProgressWindow* w = nullptr;
        for (QWidget* t : QApplication::topLevelWidgets()) {
            if (auto* p = qobject_cast<CProgressWindow*>(t); p && p->isVisible()) {
                w = p;
            }
        }
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), title);
        QCOMPARE(w->cancelButton() != nullptr, cancellable);
        if (w->cancelButton()) {
            w->cancelButton()->setFocus();
        }
        QTest::keyClick(w, Qt::Key_Escape);
        if (kind == 0) {
            QCOMPARE(CCancelFlag::value(), 1);
            QVERIFY(w->isVisible());
            QCOMPARE(w->textLabel()->text(), CPrgFileDwnDlg::kStoppingText);
            QVERIFY(!w->cancelButton()->isEnabled());
            CCancelFlag::clear();
            w->close();
            QVERIFY(w->isVisible());
            QCOMPARE(CCancelFlag::value(), 1);
            CCancelFlag::clear();
            ui.setMainWindowEnabled(true);
            return;
        }
        if (title == QStringLiteral("書き出し中")) {
            QCOMPARE(CCancelFlag::value(), 1);
            QVERIFY(!dlg->isOpen());
            CCancelFlag::clear();
            ui.setMainWindowEnabled(true);
            return;
        }
        QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, Qt::Key_Return);
        QCoreApplication::processEvents();
        QVERIFY(w->isVisible());
        QVERIFY(dlg->isOpen());
        QCOMPARE(CCancelFlag::value(), 0);
        QCOMPARE(copyCancels, 0);
        if (cancellable) {
            w->cancelButton()->click();
            QVERIFY(CCancelFlag::value() == 1 || copyCancels == 1);
        }
        CCancelFlag::clear();
        ui.setMainWindowEnabled(true);
    }

    // Where a Secret Service keyring runs (one is started for the test on a bus of its own), the remembered
    // password is kept there and the settings file keeps PASS empty; a PASS found in the file moves over.
    void keyringKeepsThePassword() {
#ifndef KELDA_HAVE_KEYCHAIN
        QSKIP("built without QtKeychain: the settings file keeps the password");
#else
        const QString busProgram = QStandardPaths::findExecutable("dbus-daemon");
        const QString keyringProgram = QStandardPaths::findExecutable("gnome-keyring-daemon");
        if (busProgram.isEmpty() || keyringProgram.isEmpty()) {
            QSKIP("no dbus-daemon or gnome-keyring-daemon to start a keyring with");
        }
        QTemporaryDir home;
        QDir().mkpath(home.filePath("run"));
        QFile::setPermissions(home.filePath("run"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_DATA_HOME", home.filePath("data"));
        env.insert("XDG_RUNTIME_DIR", home.filePath("run"));
        // The keyring's bus must outlive every connection to it (the client library ends the process when its
        // session bus goes away): both daemons stay until this process ends, and end with it.
        const auto daemon = [&env](const QString& program, const QStringList& args) {
            auto* p = new QProcess;
            p->setProcessEnvironment(env);
            p->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
            p->start(program, args);
            return p;
        };
        QProcess* bus = daemon(busProgram, {"--session", "--nofork", "--print-address=1"});
        g_keyringDaemons[0] = bus;
        if (!bus->waitForStarted(5000) || !bus->waitForReadyRead(5000)) {
            QSKIP("the session bus for the keyring did not start");
        }
        const QString address = QString::fromLocal8Bit(bus->readLine()).trimmed();
        env.insert("DBUS_SESSION_BUS_ADDRESS", address);
        QProcess* keyring = daemon(keyringProgram, {"--foreground", "--unlock", "--components=secrets"});
        g_keyringDaemons[1] = keyring;
        if (!keyring->waitForStarted(5000)) {
            QSKIP("gnome-keyring-daemon did not start");
        }
        keyring->write("test-unlock");
        keyring->closeWriteChannel();
        for (const char* name : {"DBUS_SESSION_BUS_ADDRESS", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
            qputenv(name, env.value(name).toLocal8Bit());
        }
        qputenv("XDG_CURRENT_DESKTOP", "GNOME");

        QTemporaryDir dir;
        const QString ini = dir.filePath("KELDA.ini");
        const std::unique_ptr<CPasswordStore> store = CKeychainStore::open(ini);
        QVERIFY(store);
        QString none;
        CPasswordStore::Read first = CPasswordStore::Read::Unavailable;
        for (int i = 0; i < 50 && first == CPasswordStore::Read::Unavailable; ++i) {
            first = store->read(none);
            if (first == CPasswordStore::Read::Unavailable) {
                QTest::qWait(100);
            }
        }
        if (first == CPasswordStore::Read::Unavailable) {
            QSKIP("the started keyring did not answer");
        }
        QCOMPARE(first, CPasswordStore::Read::NotFound);
        QVERIFY(CPrivateProfile::writeString(ini, "LOGIN", "PASS", "secret"));
        CKELDADoc doc;
        doc.passwordStore = store.get();
        doc.load(ini);
        QVERIFY(doc.passwordInKeyring);
        QVERIFY(doc.save(ini));
        QCOMPARE(CPrivateProfile::getString(ini, "LOGIN", "PASS"), QString());
        QString kept;
        QCOMPARE(store->read(kept), CPasswordStore::Read::Found);
        QCOMPARE(kept, QString("secret"));
        CKELDADoc back;
        back.passwordStore = store.get();
        back.load(ini);
        QCOMPARE(back.remembered.password, QString("secret"));
        back.remembered.password.clear();
        QVERIFY(back.save(ini));
        QCOMPARE(store->read(kept), CPasswordStore::Read::NotFound);
#endif
    }

    void messageBoxAnswers() {
        CWidgetUi ui;
        QTimer::singleShot(0, [] {
            for (QWidget* t : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<QMessageBox*>(t)) {
                    QCOMPARE(box->windowTitle(), QString("終了確認"));
                    QCOMPARE(box->icon(), QMessageBox::Question);
                    box->button(QMessageBox::No)->click();
                }
            }
        });
        QCOMPARE(ui.messageBox("終了しますか？", "終了確認", MsgIcon::Question, MsgButtons::YesNo), MsgResult::No);
    }

    void visibleListViewIsDestroyedCleanly() {
        // The header asks the model for its titles while a visible view is torn down.
        QTemporaryDir dir;
        CSampleFolder::makeDownloadFolder(dir.path(), "dl", {"01"}, {}, 3);
        CKELDADoc doc = oneListOf(dir.path(), "留守録BOX：01");
        CWidgetUi ui;
        auto view = std::make_unique<CListDispView>(doc, 1, ui);
        view->resize(800, 400);
        view->show();
        view->load(CListModel::Load::Fresh);
        QCOMPARE(view->model().rowCount(), 3);
        QCoreApplication::processEvents();
        view.reset();
    }

    // A reload after a command (a play, an edit, a download, a move) keeps the messages selected that are
    // still there, the current one and the part of the list shown.
    void reloadKeepsThePlace_data() {
        QTest::addColumn<int>("change");
        QTest::addColumn<int>("kept");
        QTest::newRow("rows unchanged") << 0 << 3;
        QTest::newRow("sort reset") << 1 << 3;
        QTest::newRow("a selected message deleted") << 2 << 2;
        QTest::newRow("voice data came for a selected message") << 3 << 3;
        QTest::newRow("全表示") << 4 << 3;
        QTest::newRow("未ﾀﾞｳﾝﾛｰﾄﾞ表示 shows one of them") << 5 << 1;
    }

    void reloadKeepsThePlace() {
        QFETCH(int, change);
        QFETCH(int, kept);
        QTemporaryDir dir;
        CSampleFolder::makeDownloadFolder(dir.path(), "dl", {"01"}, {}, 60);
        CKELDADoc doc = oneListOf(dir.path(), "留守録BOX：01");
        CWidgetUi ui;
        CListDispView view(doc, 1, ui);
        view.resize(700, 220);
        view.show();
        view.load(CListModel::Load::Fresh);
        QCOMPARE(view.model().rowCount(), 60);
        if (change == 1) {
            view.headerClicked(view.model().findColumn(CListModel::ColCallerNo));
        }
        const CListModel& model = view.model();
        auto path = [&](int row) { return FILESTS_INFO::text(model.recordAt(row).filePath); };
        int infoRow = 30;
        while (!path(infoRow).endsWith(".vminf")) {
            ++infoRow;
        }
        const QList<int> chosen{24, 27, infoRow};
        QStringList selected;
        for (int row : chosen) {
            view.list()->selectionModel()->select(view.list()->model()->index(row, 0),
                                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
            selected << path(row);
        }
        view.list()->selectionModel()->setCurrentIndex(view.list()->model()->index(27, 0),
                                                       QItemSelectionModel::NoUpdate);
        const QString current = path(27);
        view.list()->showRowAtTop(20);
        const int topRow = view.list()->rowAt(0);
        QVERIFY(topRow > 0);
        const QString top = path(topRow);

        if (change == 2) {
            QVERIFY(QFile::remove(selected.takeFirst()));
        } else if (change == 3) {
            // The information-only message gets its voice data: the same message under the other ending.
            CSampleFolder::Message m;
            m.dateTime = FILESTS_INFO::text(model.recordAt(infoRow).recDateTime);
            const int seq = QFileInfo(selected.last()).fileName().mid(10, 6).toInt();
            const QString voice = CSampleFolder::writeMessage(dir.path() + "/dl/rusuroku/01", "01", seq, m);
            QVERIFY(QFile::remove(selected.last()));
            selected.last() = voice;
        }
        if (change == 4) {
            view.allDisplay();
        } else if (change == 5) {
            view.notDownloadedDisplay();
            selected = {selected.last()};
        } else {
            view.reload(change == 1 ? CListModel::Sort::Reset : CListModel::Sort::Keep, CListModel::Columns::Same);
        }

        QStringList after;
        for (int row : view.list()->selectedRowNumbers()) {
            after << path(row);
        }
        QCOMPARE(after.size(), kept);
        std::sort(after.begin(), after.end());
        std::sort(selected.begin(), selected.end());
        QCOMPARE(after, selected);
        if (change == 5) {
            return;
        }
        QVERIFY(view.list()->currentIndex().isValid());
        QCOMPARE(path(view.list()->currentIndex().row()), current);
        QCOMPARE(path(view.list()->rowAt(0)), top);
        QVERIFY(view.selectionFacts().voiceSelected);
    }

    // A reload nobody asked for (a played mark, another run's change) disables the window for its moment; the
    // keys stay with the list, so the next Space still plays and pauses.
    void reloadLeavesTheKeysWithTheList() {
        QTemporaryDir dir;
        CSampleFolder::makeDownloadFolder(dir.path(), "dl", {"01"}, {}, 5);
        CKELDADoc doc = oneListOf(dir.path(), "留守録BOX：01");
        CWidgetUi ui;
        QMainWindow main;
        ui.setMainWindow(&main);
        auto* view = new CListDispView(doc, 1, ui);
        main.setCentralWidget(view);
        main.resize(700, 300);
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        view->load(CListModel::Load::Fresh);
        // The first load's progress window had the keyboard for its moment.
        main.activateWindow();
        QTRY_VERIFY(main.isActiveWindow());
        view->list()->setFocus();
        QCOMPARE(QApplication::focusWidget(), view->list());
        view->reload(CListModel::Sort::Keep, CListModel::Columns::Same);
        QCOMPARE(QApplication::focusWidget(), view->list());
        view->follow().setQuietMs(30);
        CSampleFolder::writeMessage(dir.path() + "/dl/rusuroku/01", "01", 60, CSampleFolder::Message());
        QTRY_COMPARE(view->model().rowCount(), 6);
        QCOMPARE(QApplication::focusWidget(), view->list());
    }

    void fittedColumnsCutNoText() {
        QTemporaryDir dir;
        CSampleFolder::makeDownloadFolder(dir.path(), "dl", {"01", "0200"}, {"1111"}, 12);
        CKELDADoc doc = oneListOf(dir.path(), "留守録BOX：01,0200,  内線BOX：1111");
        CWidgetUi ui;
        CListDispView view(doc, 1, ui);
        view.load(CListModel::Load::Fresh);
        QVERIFY(view.model().rowCount() > 0);
        const QFontMetrics fm(view.list()->font());
        for (int c = 0; c < view.model().columnCount(); ++c) {
            const auto kind = view.model().columnKind(c);
            if (kind == CListModel::ColFlag || kind == CListModel::ColImport) {
                continue;
            }
            for (int r = 0; r < view.model().rowCount(); ++r) {
                const QString t = view.model().cellText(r, c);
                QVERIFY2(view.list()->columnWidth(c) >= fm.horizontalAdvance(t) + 8, qPrintable(t));
            }
        }
    }

    void japaneseFontIsInstalled() {
        const QString family = CJapaneseFont::family();
        QVERIFY(QFontDatabase::families(QFontDatabase::Japanese).contains(family));
        QCOMPARE(CJapaneseFont::font().pixelSize(), 13);
    }

    // The folder chooser of "フォルダ追加" shows its title on one line and makes a folder whose new name is typed.
    // Return completes every dialog: each names the button Return presses when the focus is not on a button.
    void everyDialogHasADefaultButton_data() {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("defaultButton");
        QTest::newRow("BOX名称編集") << "CBoxNameChgDlg"
                                     << "OK";
        QTest::newRow("ボックスフォルダ名称変更") << "CBoxFldNameChgDlg"
                                                  << "OK";
        QTest::newRow("ボックスフォルダ作成") << "CMakeBoxFldDlg"
                                              << "OK";
        QTest::newRow("エクスポート") << "CExportSetDlg"
                                      << "OK";
        QTest::newRow("インポート") << "CImportSetDlg"
                                    << "OK";
        QTest::newRow("フォルダ名") << "CFolderChgDlg"
                                    << "フォルダ変更";
        QTest::newRow("ﾌｫﾙﾀﾞのﾀﾞｳﾝﾛｰﾄﾞ") << "CFolderDwnDlg"
                                         << "ダウンロード";
        QTest::newRow("フォルダ名称変更") << "CFolderNmChg"
                                          << "OK";
        QTest::newRow("起動時のフォルダ") << "CFolderSetDlg"
                                          << "OK";
        QTest::newRow("起動時のフォルダ作成") << "CFolderSetSubDlg"
                                              << "OK";
        QTest::newRow("ログイン") << "CLoginDlg"
                                  << "ログイン";
        QTest::newRow("再接続") << "CRecomDlg"
                                << "再接続";
        QTest::newRow("ボックスを開く") << "CBoxOpenDlg"
                                        << "開く";
        QTest::newRow("選択表示") << "CFindSetDlg"
                                  << "OK";
        QTest::newRow("録音情報編集") << "CInfoEditDlg"
                                      << "OK";
        QTest::newRow("表示項目") << "CListDispSelectDlg"
                                  << "OK";
        QTest::newRow("消去: nothing deleted by Return") << "CDelKindSetDlg"
                                                         << "キャンセル";
        QTest::newRow("一括ﾀﾞｳﾝﾛｰﾄﾞ") << "CDownKindSetDlg"
                                      << "録音情報と音声ファイル";
        QTest::newRow("選択ﾀﾞｳﾝﾛｰﾄﾞ") << "CSelDownDlg"
                                      << "録音情報と音声ファイル";
        QTest::newRow("移動・コピー") << "CMsgCopyDlg"
                                      << "コピー";
        QTest::newRow("ﾌｧｲﾙ上書きの確認") << "COwrMsgDlg"
                                          << "はい(&Y)";
        QTest::newRow("WAVファイル消去") << "CWavFileDelDlg"
                                         << "消去";
        QTest::newRow("バージョン") << "CAboutDlg"
                                    << "OK";
    }

    void everyDialogHasADefaultButton() {
        QFETCH(QString, dialog);
        QFETCH(QString, defaultButton);
        QTemporaryDir dir;
        const QString root = dir.path() + "/";
        CSampleFolder::makeDownloadFolder(dir.path(), "dl", {"01"}, {"100"}, 1);
        const QString message =
            CSampleFolder::writeMessage(dir.filePath("dl/naisen/100"), "100", 7, CSampleFolder::Message());
        CKELDADoc doc = oneListOf(root, "留守録BOX：01");
        doc.folderName = "dl";
        doc.loggedIn = 1;
        CScriptedUi ui;
        CFakeUnit unit;
        CLinkSettings settings;
        CLinkController link(settings, ui);
        CSelectCriteria criteria = CSelectCriteria::initial();
        const QString ini = dir.filePath("KELDA.ini");
        CBoxNameChgLogic boxNames(ui, doc);
        CBoxFldNameChgLogic boxFolders(ui, doc);
        CMakeBoxFldLogic makeBoxes(ui, doc);
        CExportSetLogic exportSet(ui, doc, nullptr);
        CImportSetLogic importSet(ui, doc);
        CFolderChgLogic folderChange(doc);
        CFolderDwnLogic folderDown(ui, doc, {});
        CFolderSetLogic folderSet(ui, doc);
        CBoxOpenLogic boxOpen(doc, ui);
        CFindSetLogic find(criteria, ui, root + "dl");
        CInfoEditLogic infoEdit(ui, message, dir.path());
        CListDispSelectLogic columns(doc, ui, ini);
        CDelKindSetLogic delKind(ui, doc);
        CDownKindSetLogic downKind(ui, doc, unit);
        CSelDownLogic selDown(ui, doc, unit);
        CMsgCopyLogic copy(ui, root + "dl");
        CWavFileDelLogic wavs(ui, root + "dl", &CBoxOpenLogic::boxFolders);
        const std::map<QString, std::function<QDialog*()>> make = {
            {"CBoxNameChgDlg", [&]() -> QDialog* { return new CBoxNameChgDlg(boxNames, nullptr); }},
            {"CBoxFldNameChgDlg", [&]() -> QDialog* { return new CBoxFldNameChgDlg(boxFolders, nullptr); }},
            {"CMakeBoxFldDlg", [&]() -> QDialog* { return new CMakeBoxFldDlg(makeBoxes, nullptr); }},
            {"CExportSetDlg", [&]() -> QDialog* { return new CExportSetDlg(exportSet, nullptr); }},
            {"CImportSetDlg", [&]() -> QDialog* { return new CImportSetDlg(importSet, nullptr); }},
            {"CFolderChgDlg", [&]() -> QDialog* { return new CFolderChgDlg(folderChange, ui, nullptr); }},
            {"CFolderDwnDlg", [&]() -> QDialog* { return new CFolderDwnDlg(folderDown, dir.path(), nullptr); }},
            {"CFolderNmChg", [&]() -> QDialog* { return new CFolderNmChg(ui, root + "dl", nullptr); }},
            {"CFolderSetDlg", [&]() -> QDialog* { return new CFolderSetDlg(folderSet, root, nullptr); }},
            {"CFolderSetSubDlg", [&]() -> QDialog* { return new CFolderSetSubDlg(root, nullptr); }},
            {"CLoginDlg", [&]() -> QDialog* { return new CLoginDlg(link, nullptr); }},
            {"CRecomDlg", [&]() -> QDialog* { return new CRecomDlg(nullptr); }},
            {"CBoxOpenDlg", [&]() -> QDialog* { return new CBoxOpenDlg(boxOpen, nullptr); }},
            {"CFindSetDlg", [&]() -> QDialog* { return new CFindSetDlg(find, nullptr); }},
            {"CInfoEditDlg", [&]() -> QDialog* { return new CInfoEditDlg(infoEdit, nullptr); }},
            {"CListDispSelectDlg", [&]() -> QDialog* { return new CListDispSelectDlg(columns, nullptr); }},
            {"CDelKindSetDlg", [&]() -> QDialog* { return new CDelKindSetDlg(delKind, nullptr); }},
            {"CDownKindSetDlg", [&]() -> QDialog* { return new CDownKindSetDlg(downKind, nullptr); }},
            {"CSelDownDlg", [&]() -> QDialog* { return new CSelDownDlg(selDown, nullptr); }},
            {"CMsgCopyDlg", [&]() -> QDialog* { return new CMsgCopyDlg(copy, nullptr); }},
            {"COwrMsgDlg", [&]() -> QDialog* { return new COwrMsgDlg("a.vminf", nullptr); }},
            {"CWavFileDelDlg", [&]() -> QDialog* { return new CWavFileDelDlg(wavs, nullptr); }},
            {"CAboutDlg", [&]() -> QDialog* { return new CAboutDlg(nullptr); }},
        };
        QVERIFY(make.count(dialog));
        std::unique_ptr<QDialog> d(make.at(dialog)());
        QStringList defaults;
        for (QPushButton* b : d->findChildren<QPushButton*>()) {
            if (b->isDefault()) {
                defaults << b->text();
            }
        }
        QCOMPARE(defaults, QStringList({defaultButton}));

        // A row of the dialog's own button and "キャンセル": two buttons, and "キャンセル" ends the dialog as
        // cancelled through its reject().
        for (auto* row : d->findChildren<QDialogButtonBox*>()) {
            QStringList texts;
            QAbstractButton* cancel = nullptr;
            for (QAbstractButton* b : row->buttons()) {
                texts << b->text();
                if (b->text() == QStringLiteral("キャンセル")) {
                    cancel = b;
                }
            }
            if (!cancel) {
                continue;
            }
            texts.sort();
            QStringList expected({defaultButton, QStringLiteral("キャンセル")});
            expected.sort();
            QCOMPARE(texts, expected);
            QSignalSpy rejected(d.get(), &QDialog::rejected);
            cancel->click();
            QCOMPARE(rejected.count(), 1);
        }
    }

    void folderChooserMakesATypedFolder() {
        QTemporaryDir dir;
        CFolderChooser chooser(nullptr, QStringLiteral("\nダウンロード先のフォルダを作成してください。"), dir.path());
        QCOMPARE(chooser.windowTitle(), QStringLiteral("ダウンロード先のフォルダを作成してください。"));
        QCOMPARE(CFolderChooser::oneLineTitle("a\nb"), QStringLiteral("a b"));
        QCOMPARE(chooser.fileMode(), QFileDialog::Directory);
        QVERIFY(chooser.testOption(QFileDialog::DontUseNativeDialog));
        auto* name = chooser.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        // A folder's type reads in Japanese, and the choose button takes a new name as Return does.
        QDir(dir.path()).mkdir(QStringLiteral("ある"));
        auto* files = chooser.findChild<QFileSystemModel*>();
        QVERIFY(files);
        QTRY_VERIFY(files->index(dir.filePath(QStringLiteral("ある"))).isValid());
        QCOMPARE(files->data(files->index(dir.filePath(QStringLiteral("ある")), 2)).toString(),
                 CFolderChooser::folderTypeName());
        QPushButton* choose =
            chooser.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Open);
        QVERIFY(choose);
        name->setText(QStringLiteral("新しいフォルダ"));
        QVERIFY(choose->isEnabled());
        QVERIFY(CFolderChooser::isNewFolderName(dir.path(), QStringLiteral("新しいフォルダ")));
        QVERIFY(!CFolderChooser::isNewFolderName(dir.path(), QStringLiteral("ある")));
        QVERIFY(!CFolderChooser::isNewFolderName(dir.path(), QStringLiteral("  ")));
        choose->click();
        QCOMPARE(chooser.result(), int(QDialog::Accepted));
        const QString made = dir.filePath(QStringLiteral("新しいフォルダ"));
        QVERIFY(QFileInfo(made).isDir());
        QCOMPARE(QDir::cleanPath(chooser.selectedFiles().value(0)), made);
    }
};

QTEST_MAIN(TestWidgetUi)
#include "tst_widgetui.moc"
