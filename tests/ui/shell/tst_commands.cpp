// The frame's command table as the subsystems fill it: one handler and one rule for every command, and the bar's
// and popups' states following the rules.
#include "list/CBoxOpenLogic.h"
#include "store/CPrivateProfile.h"
#include "support/CSampleFolder.h"
#include "support/CScriptedUi.h"
#include "ui/list/CChildFrame.h"
#include "ui/list/CDataListCtrl.h"
#include "ui/list/CListCommands.h"
#include "ui/list/CListDispView.h"
#include "ui/shell/CCommandBar.h"
#include "ui/shell/CMainFrame.h"

#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {
using C = CMainFrameLogic;
} // namespace

class TestCommands : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_root;

    QString writeIni(const QString& name, const QString& folderName) {
        const QString ini = m_dir.filePath(name);
        QFile::remove(ini);
        CPrivateProfile::writeString(ini, "FOLDER", "FOLDER", m_root + '/');
        CPrivateProfile::writeString(ini, "DISP", "FOLDERNAME", folderName);
        return ini;
    }

    // The state of a command where the user sees it: its button, or its item in the settings or window popup.
    static bool shownEnabled(CMainFrame& frame, C::Command cmd) {
        if (cmd < C::BUTTON_COUNT) {
            frame.updateCommandStates();
            return frame.commandBar()->button(cmd)->isEnabled();
        }
        QMenu* menu = cmd <= C::CmdLastSetting ? frame.settingsMenu() : frame.windowMenu();
        if (menu == frame.settingsMenu()) {
            frame.rebuildSettingsMenuStates();
        } else {
            frame.rebuildWindowMenu();
        }
        for (QAction* a : menu->actions()) {
            if (a->text() == C::label(cmd)) {
                return a->isEnabled();
            }
        }
        return false;
    }

private Q_SLOTS:
    void initTestCase() {
        m_root = m_dir.filePath("root");
        CSampleFolder::makeDownloadFolder(m_root, "dl", {"01"}, {"100"}, 4);
        QVERIFY(QDir().mkpath(m_root + "/empty"));
    }

    void everyCommandHasExactlyOneHandlerAndRule() {
        CScriptedUi ui;
        CMainFrame frame(ui, writeIni("one.ini", "dl"));
        const CCommandTable& t = frame.commands();
        for (int c = 0; c < C::CmdCount; ++c) {
            const auto cmd = static_cast<C::Command>(c);
            QVERIFY2(t.isRegistered(cmd), qPrintable(C::label(cmd)));
            QVERIFY2(t.registrationCount(cmd) == 1, qPrintable(C::label(cmd)));
            QVERIFY2(t.enableRule(cmd) != nullptr, qPrintable(C::label(cmd)));
            // Only the two conversion settings and the player bar carry a check mark.
            QCOMPARE(t.isCheckable(cmd), cmd == C::CmdDownConv || cmd == C::CmdConvDel || cmd == C::CmdPlayerBar);
        }
        QStringList checkable;
        for (QAction* a : frame.settingsMenu()->actions()) {
            if (a->isCheckable()) {
                checkable << a->text();
            }
        }
        QCOMPARE(checkable,
                 QStringList({C::label(C::CmdDownConv), C::label(C::CmdConvDel), C::label(C::CmdPlayerBar)}));
    }

    void statesFollowTheRules() {
        CScriptedUi ui;
        CMainFrame frame(ui, writeIni("rules.ini", "dl"));
        frame.startUp();
        // Logged out, a folder with box folders, no list.
        QVERIFY(shownEnabled(frame, C::CmdFolderDownload) && shownEnabled(frame, C::CmdFolderName));
        QVERIFY(shownEnabled(frame, C::CmdBox));
        QVERIFY(shownEnabled(frame, C::CmdLogin) && !shownEnabled(frame, C::CmdLogout));
        QVERIFY(shownEnabled(frame, C::CmdBoxName) && shownEnabled(frame, C::CmdImport));
        QVERIFY(!shownEnabled(frame, C::CmdRenameBoxFolder));
        QVERIFY(!shownEnabled(frame, C::CmdTile) && shownEnabled(frame, C::CmdCascade));
        for (C::Command cmd : {C::CmdSelDisplay, C::CmdAllDisplay, C::CmdDelete, C::CmdConvert, C::CmdPlay,
                               C::CmdMoveCopy, C::CmdColumns, C::CmdEditInfo, C::CmdExport}) {
            QVERIFY2(!shownEnabled(frame, cmd), qPrintable(C::label(cmd)));
        }

        // A list with one voice row selected.
        frame.listCommands().boxChooser = [](CBoxOpenLogic& logic) {
            logic.checkHasBoxes();
            CBoxOpenLogic::toggle(logic.rusuroku(), 0);
            return logic.accept();
        };
        frame.runCommand(C::CmdBox);
        CChildFrame* list = frame.activeList();
        QVERIFY(list);
        // With nothing selected, record editing says so (its only part that exists).
        frame.runCommand(C::CmdEditInfo);
        QCOMPARE(ui.lastMessage()->text, QString("選択されていません。"));
        for (int row = 0; row < list->view()->model().rowCount() && !frame.logic().playFlag; ++row) {
            list->view()->list()->selectRow(row);
            Q_EMIT list->view()->factsChanged();
        }
        QVERIFY(frame.logic().playFlag);
        for (C::Command cmd : {C::CmdSelDisplay, C::CmdAllDisplay, C::CmdDelete, C::CmdConvert, C::CmdPlay,
                               C::CmdMoveCopy, C::CmdColumns, C::CmdEditInfo, C::CmdExport, C::CmdTile}) {
            QVERIFY2(shownEnabled(frame, cmd), qPrintable(C::label(cmd)));
        }
        // Downloads need the login.
        for (C::Command cmd : {C::CmdBulkDownload, C::CmdSelDownload, C::CmdVoiceDownload}) {
            QVERIFY2(!shownEnabled(frame, cmd), qPrintable(C::label(cmd)));
        }
        frame.doc().loggedIn = 1;
        QVERIFY(shownEnabled(frame, C::CmdBulkDownload) && shownEnabled(frame, C::CmdSelDownload));
        QVERIFY(!shownEnabled(frame, C::CmdLogin) && shownEnabled(frame, C::CmdLogout));
        frame.doc().loggedIn = 0;

        // The two settings toggle and show their check marks.
        frame.runCommand(C::CmdConvDel);
        QCOMPARE(frame.doc().convDel, 1);
        frame.rebuildSettingsMenuStates();
        for (QAction* a : frame.settingsMenu()->actions()) {
            if (a->isCheckable()) {
                QCOMPARE(a->isChecked(), a->text() == C::label(C::CmdConvDel));
            }
        }
        ui.replies.push_back(MsgResult::Yes);
        QVERIFY(frame.close());
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
