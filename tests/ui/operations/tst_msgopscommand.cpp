// "消去" and "移動・コピー" from the main frame: the selected rows of the active list, the dialogs, and the list
// reloaded afterwards.
#include "list/CBoxOpenLogic.h"
#include "store/CFileMng.h"
#include "store/CPrivateProfile.h"
#include "support/CSampleFolder.h"
#include "support/CScriptedUi.h"
#include "ui/list/CChildFrame.h"
#include "ui/list/CDataListCtrl.h"
#include "ui/list/CListCommands.h"
#include "ui/list/CListDispView.h"
#include "ui/operations/CBoxTickList.h"
#include "ui/operations/CDelKindSetDlg.h"
#include "ui/operations/CMsgCopyDlg.h"
#include "ui/operations/CMsgOpsCommand.h"
#include "ui/shell/CMainFrame.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// Runs f on the first modal dialog of type T once it is up.
template <typename T> void whenShown(std::function<void(T*)> f) {
    QTimer::singleShot(0, [f] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<T*>(w); d && d->isVisible()) {
                f(d);
                return;
            }
        }
        qWarning("dialog not shown");
    });
}

} // namespace

class TestMsgOpsCommand : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_root;
    QString m_ini;

    // A main frame with one list window over the first answering-machine box (or the first boxes).
    std::unique_ptr<CMainFrame> openFrame(CScriptedUi& ui, int boxes = 1) {
        auto frame = std::make_unique<CMainFrame>(ui, m_ini);
        frame->startUp();
        frame->listCommands().boxChooser = [boxes](CBoxOpenLogic& logic) {
            if (!logic.checkHasBoxes()) {
                return 0;
            }
            for (int i = 0; i < boxes; ++i) {
                CBoxOpenLogic::toggle(logic.rusuroku(), i);
            }
            return logic.accept();
        };
        frame->runCommand(CMainFrameLogic::CmdBox);
        return frame;
    }

private Q_SLOTS:
    void init() {
        m_root = m_dir.filePath("root");
        QDir(m_root).removeRecursively();
        CSampleFolder::makeDownloadFolder(m_root, "dl", {"01", "02"}, {}, 4);
        m_ini = m_dir.filePath("KELDA.ini");
        QFile::remove(m_ini);
        CPrivateProfile::writeString(m_ini, "FOLDER", "FOLDER", m_root + '/');
        CPrivateProfile::writeString(m_ini, "DISP", "FOLDERNAME", "dl");
    }

    void deleteFromThePc() {
        CScriptedUi ui;
        auto frame = openFrame(ui);
        CListDispView* view = frame->activeList()->view();
        const int rows = view->model().rowCount();
        QVERIFY(rows > 0);
        CMsgOpsCommand::Delete(*frame, ui, nullptr);
        QCOMPARE(ui.messageTexts(), QStringList{"選択されていません。"});

        const QString file = FILESTS_INFO::text(view->model().recordAt(0).filePath);
        view->list()->selectRow(0);
        whenShown<CDelKindSetDlg>([](CDelKindSetDlg* d) {
            QVERIFY(!d->unitButton()->isEnabled()); // logged out
            d->pressKind(CMsgDelete::Kind::PcOnly);
        });
        CMsgOpsCommand::Delete(*frame, ui, nullptr);
        QVERIFY(!QFile::exists(file));
        // The question and the completion both say how many and which kind.
        QVERIFY(ui.messageTexts().contains("消去します。よろしいですか？\n対象：1件（ＰＣのみ）"));
        QCOMPARE(ui.messageTexts().last(), QString("音声メッセージの消去が正常に完了しました。\n"
                                                   "消去した音声メッセージ：1件（ＰＣのみ）"));
        QCOMPARE(view->model().rowCount(), rows - 1);
    }

    // Moving or copying into a box the open list shows: the list is loaded again at once, so its rows and
    // counts agree with the store, and the messages selected before stay selected.
    void listFollowsTheStoreAfterMoveCopy_data() {
        QTest::addColumn<CMsgCopy::Kind>("kind");
        QTest::addColumn<int>("added");
        QTest::newRow("move") << CMsgCopy::Kind::Move << 0;
        QTest::newRow("copy") << CMsgCopy::Kind::Copy << 1;
    }

    void listFollowsTheStoreAfterMoveCopy() {
        QFETCH(CMsgCopy::Kind, kind);
        QFETCH(int, added);
        CScriptedUi ui;
        auto frame = openFrame(ui, 2);
        CListDispView* view = frame->activeList()->view();
        const int rows = view->model().rowCount();
        QCOMPARE(rows, 8);
        int voiceRow = -1;
        for (int r = 0; r < rows && voiceRow < 0; ++r) {
            const QString path = FILESTS_INFO::text(view->model().recordAt(r).filePath);
            if (path.endsWith(".vmdat") && path.contains("/rusuroku/01/")) {
                voiceRow = r;
            }
        }
        QVERIFY(voiceRow >= 0);
        const QString file = FILESTS_INFO::text(view->model().recordAt(voiceRow).filePath);
        QVERIFY(QFile::copy(file, file.left(file.size() - 6) + ".vminf"));
        view->list()->selectRow(voiceRow);
        whenShown<CMsgCopyDlg>([kind](CMsgCopyDlg* d) {
            for (int i = 0; i < d->answeringList()->rowCount(); ++i) {
                if (d->answeringList()->item(i, 1)->text() == "02") {
                    d->answeringList()->clickTick(i);
                }
            }
            d->pressKind(kind);
        });
        CMsgOpsCommand::MoveCopy(*frame, ui);
        QCOMPARE(
            ui.messageTexts().last(),
            kind == CMsgCopy::Kind::Copy
                ? QString(
                      "音声メッセージのコピーが正常に完了しました。\nコピーした音声メッセージ：1件（留守録BOX02へ）")
                : QString("音声メッセージの移動が正常に完了しました。\n移動した音声メッセージ：1件（留守録BOX02へ）"));
        QVERIFY(ui.messageTexts().contains(QString(kind == CMsgCopy::Kind::Copy ? "コピー" : "移動") +
                                           "します。よろしいですか？\n対象：1件（留守録BOX02へ）"));
        const QString copied = m_root + "/dl/rusuroku/02/" + QFileInfo(file).fileName();
        QVERIFY(QFile::exists(copied));
        QCOMPARE(QFile::exists(file), kind == CMsgCopy::Kind::Copy);
        const int stored =
            CFileMng::CountMessages(m_root + "/dl/rusuroku/01") + CFileMng::CountMessages(m_root + "/dl/rusuroku/02");
        QCOMPARE(stored, rows + added);
        QCOMPARE(view->model().rowCount(), stored);
        QCOMPARE(view->model().boxTotal(), stored);
        QCOMPARE(view->model().listTotal(), stored);
        // A copied message stays selected; a moved one is another file now, and nothing is selected.
        const std::vector<int> selected = view->list()->selectedRowNumbers();
        QCOMPARE(selected.size(), size_t(kind == CMsgCopy::Kind::Copy ? 1 : 0));
        if (kind == CMsgCopy::Kind::Copy) {
            QCOMPARE(FILESTS_INFO::text(view->model().recordAt(selected.front()).filePath), file);
        }
    }

    void moveToAnotherBox() {
        CScriptedUi ui;
        auto frame = openFrame(ui);
        CListDispView* view = frame->activeList()->view();
        const int rows = view->model().rowCount();
        int voiceRow = -1;
        for (int r = 0; r < rows && voiceRow < 0; ++r) {
            if (FILESTS_INFO::text(view->model().recordAt(r).filePath).endsWith(".vmdat")) {
                voiceRow = r;
            }
        }
        QVERIFY(voiceRow >= 0);
        const QString file = FILESTS_INFO::text(view->model().recordAt(voiceRow).filePath);
        // A downloaded message has its information file beside the voice data.
        QVERIFY(QFile::copy(file, file.left(file.size() - 6) + ".vminf"));
        view->list()->selectRow(voiceRow);
        whenShown<CMsgCopyDlg>([](CMsgCopyDlg* d) {
            for (int i = 0; i < d->answeringList()->rowCount(); ++i) {
                if (d->answeringList()->item(i, 1)->text() == "02") {
                    d->answeringList()->clickTick(i);
                }
            }
            d->pressKind(CMsgCopy::Kind::Move);
        });
        CMsgOpsCommand::MoveCopy(*frame, ui);
        QVERIFY(!QFile::exists(file));
        QVERIFY(QFile::exists(m_root + "/dl/rusuroku/02/" + QFileInfo(file).fileName()));
        QVERIFY(ui.messageTexts().last().startsWith("音声メッセージの移動が正常に完了しました。\n"));
        QCOMPARE(view->model().rowCount(), rows - 1);
    }
};

QTEST_MAIN(TestMsgOpsCommand)
#include "tst_msgopscommand.moc"
