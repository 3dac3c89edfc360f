#include "platform/CProgressDlg.h"
#include "shell/CKELDADoc.h"
#include "support/CSampleFolder.h"
#include "ui/CFolderChooser.h"
#include "ui/CJapaneseFont.h"
#include "ui/CWidgetProgressView.h"
#include "ui/CWidgetUi.h"
#include "ui/list/CDataListCtrl.h"
#include "ui/list/CListDispView.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

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
        ProgressSpec look;
        look.title = "ダウンロード中";
        look.text = "受信しています。";
        look.counterText = "1/3";
        look.rangeMax = 10;
        look.cancelButton = true;
        look.onCancel = [&] { ++cancelled; };
        CProgressDlg dlg(ui, look);
        QCOMPARE(ui.findProgress("ダウンロード中"), &dlg);
        ui.setMainWindowEnabled(false);
        dlg.post(PRG_POSITION, 25);
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
        QVERIFY(!ui.findProgress("ダウンロード中"));
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
        view->load(0);
        QCOMPARE(view->model().rowCount(), 3);
        QCoreApplication::processEvents();
        view.reset();
    }

    void fittedColumnsCutNoText() {
        QTemporaryDir dir;
        CSampleFolder::makeDownloadFolder(dir.path(), "dl", {"01", "0200"}, {"1111"}, 12);
        CKELDADoc doc = oneListOf(dir.path(), "留守録BOX：01,0200,  内線BOX：1111");
        CWidgetUi ui;
        CListDispView view(doc, 1, ui);
        view.load(0);
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
    void folderChooserMakesATypedFolder() {
        QTemporaryDir dir;
        CFolderChooser chooser(nullptr, QStringLiteral("\nダウンロード先のフォルダを作成してください。"), dir.path());
        QCOMPARE(chooser.windowTitle(), QStringLiteral("ダウンロード先のフォルダを作成してください。"));
        QCOMPARE(CFolderChooser::oneLineTitle("a\nb"), QStringLiteral("a b"));
        QCOMPARE(chooser.fileMode(), QFileDialog::Directory);
        QVERIFY(chooser.testOption(QFileDialog::DontUseNativeDialog));
        auto* name = chooser.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(QStringLiteral("新しいフォルダ"));
        chooser.accept();
        QCOMPARE(chooser.result(), int(QDialog::Accepted));
        const QString made = dir.filePath(QStringLiteral("新しいフォルダ"));
        QVERIFY(QFileInfo(made).isDir());
        QCOMPARE(QDir::cleanPath(chooser.selectedFiles().value(0)), made);
    }
};

QTEST_MAIN(TestWidgetUi)
#include "tst_widgetui.moc"
