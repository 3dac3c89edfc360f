#include "ui/shell/CMainFrame.h"

#include "list/CBoxOpenLogic.h"
#include "platform/CUserInterface.h"
#include "ui/CJapaneseFont.h"
#include "ui/list/CBoxOpenDlg.h"
#include "ui/list/CChildFrame.h"
#include "ui/list/CDataListCtrl.h"
#include "ui/list/CListDispView.h"
#include "ui/shell/CAboutDlg.h"
#include "ui/shell/CCommandBar.h"
#include "ui/shell/CWrapField.h"

#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

namespace {
using C = CMainFrameLogic;

QRect toQRect(const C::WinRect& r) {
    return QRect(r.left, r.top, std::max(0, r.width()), std::max(0, r.height()));
}

C::WinRect toWinRect(const QRect& r) {
    return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

// Commands that read the current folder name from the folder field first.
bool takesFolderFromField(int cmd) {
    return cmd == C::CmdBulkDownload || cmd == C::CmdSelDownload || cmd == C::CmdVoiceDownload ||
           cmd == C::CmdMoveCopy || cmd == C::CmdSettings;
}

// Commands that do nothing without an active list window.
bool needsActiveList(int cmd) {
    return cmd == C::CmdVoiceDownload || cmd == C::CmdSelDisplay || cmd == C::CmdAllDisplay ||
           cmd == C::CmdNotDownloaded || cmd == C::CmdConvert || cmd == C::CmdPlay || cmd == C::CmdDelete ||
           cmd == C::CmdColumns || cmd == C::CmdEditInfo || cmd == C::CmdExport;
}
} // namespace

CMainFrame::CMainFrame(CUserInterface& ui, const QString& iniFile, QWidget* parent) : QMainWindow(parent), m_ui(ui) {
    setWindowTitle(QStringLiteral("KELDA"));
    setFont(CJapaneseFont::font(13));
    setMinimumSize(845, 250);
    restoreMainPlacement(iniFile);

    m_bar = new CCommandBar(this);
    setMenuWidget(m_bar);
    connect(m_bar, &CCommandBar::command, this, &CMainFrame::runCommand);

    m_mdi = new QMdiArea(this);
    m_mdi->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &CMainFrame::onSubWindowActivated);

    m_status = new QLabel(this);
    m_status->setFont(CJapaneseFont::font(13));
    statusBar()->addWidget(m_status, 1);
    statusBar()->setSizeGripEnabled(true);

    m_settingsMenu = new QMenu(this);
    for (int c = C::CmdLogin; c <= C::CmdImport; ++c) {
        QAction* a = m_settingsMenu->addAction(C::label(static_cast<Command>(c)));
        a->setData(c);
        if (c == C::CmdDownConv || c == C::CmdConvDel) {
            a->setCheckable(true);
        }
        connect(a, &QAction::triggered, this, [this, c] {
            m_settingsMenu->close();
            runCommand(c);
        });
    }
    connect(m_settingsMenu, &QMenu::aboutToShow, this, &CMainFrame::rebuildSettingsMenuStates);
    connect(m_settingsMenu, &QMenu::aboutToHide, this, [this] { m_sinceSettingsHidden.start(); });

    m_windowMenu = new QMenu(this);
    connect(m_windowMenu, &QMenu::aboutToHide, this, [this] { m_sinceWindowHidden.start(); });
    rebuildWindowMenu();

    m_idle = new QTimer(this);
    m_idle->setInterval(250);
    connect(m_idle, &QTimer::timeout, this, [this] {
        updateCommandStates();
        refreshStatus(false);
    });
    m_keepAlive = new QTimer(this);
    m_keepAlive->setInterval(6000);

    m_logic.create(iniFile);
    refreshFields();
    updateCommandStates();
    m_idle->start();
}

CMainFrame::~CMainFrame() {
    m_idle->stop();
    m_keepAlive->stop();
    // Views refer to the settings block; they go before it.
    disconnect(m_mdi, nullptr, this, nullptr);
    for (auto* w : m_mdi->subWindowList()) {
        disconnect(w, nullptr, this, nullptr);
    }
    delete m_mdi;
    m_mdi = nullptr;
}

void CMainFrame::restoreMainPlacement(const QString& iniFile) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize s = screen ? screen->geometry().size() : QSize(1024, 768);
    const C::WinRect r = C::correctMainRect(C::readMainRect(iniFile), s.width(), s.height());
    if (r.width() <= 1 || r.height() <= 1) {
        // A first start has nothing stored: a window at its minimum size would leave no room for a list, so it
        // opens at a size a list can use, within the screen.
        const QSize first(std::min(1100, s.width() * 9 / 10), std::min(760, s.height() * 9 / 10));
        setGeometry(QRect(QPoint((s.width() - first.width()) / 2, (s.height() - first.height()) / 2),
                          first.expandedTo(QSize(minimumWidth(), minimumHeight()))));
        return;
    }
    setGeometry(QRect(r.left, r.top, std::max(r.width(), minimumWidth()), std::max(r.height(), minimumHeight())));
}

void CMainFrame::startUp() {
    showNormal();

    if (!m_logic.decideFolder()) {
        refreshFields();
        updateCommandStates();
        return;
    }
    setUpdatesEnabled(false);
    if (m_logic.shouldRestoreLists()) {
        restoreListWindows();
    } else {
        m_logic.forgetUnrestoredSlots();
    }
    m_logic.finishStartup();
    refreshStatus(true);
    setUpdatesEnabled(true);
    update();
}

void CMainFrame::restoreListWindows() {
    const C::RestorePlan plan = m_logic.readListPlacements();
    for (const auto& p : plan.windows) {
        m_logic.doc().num = p.slot;
        if (p.showCmd == C::SHOW_MAXIMIZED) {
            m_logic.maximizeFlag = true;
        }
        CChildFrame* f = openListWindow(p.slot);
        const bool hasRect = p.rect.left != C::ABSENT && p.rect.right != C::ABSENT && p.rect.width() > 0;
        if (f && p.showCmd != C::SHOW_MAXIMIZED && hasRect) {
            f->showNormal();
            f->setGeometry(toQRect(p.rect));
            f->setNormalRect(toQRect(p.rect));
            if (p.showCmd == 2) {
                f->showMinimized();
            }
        }
    }
    for (int slot : plan.activationOrder()) {
        if (CChildFrame* f = listWindowOfSlot(slot)) {
            m_mdi->setActiveSubWindow(f);
        }
    }
}

QList<CChildFrame*> CMainFrame::listWindows() const {
    QList<CChildFrame*> out;
    for (const auto& f : m_frames) {
        if (f) {
            out << f.data();
        }
    }
    return out;
}

CChildFrame* CMainFrame::activeList() const {
    return m_mdi ? qobject_cast<CChildFrame*>(m_mdi->activeSubWindow()) : nullptr;
}

CChildFrame* CMainFrame::listWindowOfSlot(int slot) const {
    for (auto* f : listWindows()) {
        if (f->slot() == slot) {
            return f;
        }
    }
    return nullptr;
}

CChildFrame* CMainFrame::openListWindow(int slot) {
    if (slot < 1 || slot > CKELDADoc::SLOTS) {
        return nullptr;
    }
    auto* view = new CListDispView(m_logic.doc(), slot, m_ui);
    auto* frame = new CChildFrame(view, m_logic.doc().slotDisp[slot - 1]);
    m_mdi->addSubWindow(frame);
    m_frames << frame;
    connect(frame, &CChildFrame::listClosed, this, &CMainFrame::onListClosed);
    connect(view, &CListDispView::factsChanged, this, [this, frame] { onListFacts(frame); });
    if (m_logic.doc().num > 1) {
        const QRect r = toQRect(C::newListRect(toWinRect(clientRect())));
        frame->setGeometry(r);
        frame->setNormalRect(r);
    }
    frame->show();
    m_mdi->setActiveSubWindow(frame);
    view->load(0);
    onListFacts(frame);
    Q_EMIT listWindowsChanged();
    return frame;
}

void CMainFrame::closeAllListWindows() {
    for (auto* f : listWindows()) {
        f->close();
    }
}

void CMainFrame::setCurrentFolder(const QString& fullPath) {
    m_logic.setFolderField(C::folderFieldTextFromPath(fullPath));
    m_logic.takeFolderNameFromField();
    refreshFields();
    updateCommandStates();
}

void CMainFrame::reloadAllLists(int keepSort, int columnsChanged) {
    for (auto* f : listWindows()) {
        f->view()->reload(keepSort, columnsChanged);
    }
    refreshStatus(false);
}

QRect CMainFrame::clientRect() const {
    return m_mdi ? m_mdi->viewport()->rect() : QRect();
}

CMainFrameLogic::ListCounts CMainFrame::countsOf(CChildFrame* frame) const {
    C::ListCounts c;
    if (frame) {
        const CListModel& m = frame->view()->model();
        c.boxTotal = m.boxTotal();
        c.listTotal = m.listTotal();
        c.unplayed = m.unplayedOnUnit();
        c.played = m.playedOnUnit();
    }
    return c;
}

void CMainFrame::refreshStatus(bool recount) {
    CChildFrame* active = activeList();
    if (!active) {
        m_status->clear();
        return;
    }
    if (recount) {
        m_logic.recountFolderTotal(active->slot());
    }
    const QString text = C::statusText(m_logic.folderTotal(), countsOf(active));
    if (m_status->text() != text) {
        m_status->setText(text);
    }
}

void CMainFrame::refreshFields() {
    m_bar->folderField()->setFieldText(m_logic.folderField());
    m_bar->boxField()->setFieldText(m_logic.boxField());
}

void CMainFrame::updateCommandStates() {
    const C::EnableInputs in = m_logic.enableInputs(activeList() != nullptr);
    for (int c = 0; c < C::BUTTON_COUNT; ++c) {
        QPushButton* b = m_bar->button(static_cast<Command>(c));
        const bool on = m_logic.isEnabled(static_cast<Command>(c), in);
        if (b->isEnabled() != on) {
            b->setEnabled(on);
        }
    }
}

void CMainFrame::rebuildSettingsMenuStates() {
    const bool active = activeList() != nullptr;
    for (QAction* a : m_settingsMenu->actions()) {
        const auto st = m_logic.settingsItemState(static_cast<Command>(a->data().toInt()), active);
        a->setEnabled(st.enabled);
        if (a->isCheckable()) {
            a->setChecked(st.checked);
        }
    }
}

void CMainFrame::rebuildWindowMenu() {
    m_windowMenu->clear();
    for (int c = C::CmdTile; c <= C::CmdCascade; ++c) {
        QAction* a = m_windowMenu->addAction(C::label(static_cast<Command>(c)));
        a->setEnabled(m_logic.windowItemState(static_cast<Command>(c)).enabled);
        connect(a, &QAction::triggered, this, [this, c] {
            m_windowMenu->close();
            runCommand(c);
        });
    }
    CChildFrame* active = activeList();
    const int num = m_logic.doc().num;
    if (num >= 1 && active) {
        m_windowMenu->addSeparator();
        for (int n = 1; n <= std::min(num, int(CKELDADoc::SLOTS)); ++n) {
            QAction* a = m_windowMenu->addAction(C::windowMenuLabel(m_logic.doc().slotDisp[n - 1]));
            a->setCheckable(true);
            a->setChecked(active->slot() == n);
            connect(a, &QAction::triggered, this, [this, n] {
                m_windowMenu->close();
                runCommand(WINDOW_COMMAND_BASE + n);
            });
        }
    }
}

void CMainFrame::togglePopup(QMenu* menu, Command button) {
    QElapsedTimer& hidden = menu == m_settingsMenu ? m_sinceSettingsHidden : m_sinceWindowHidden;
    // A press on the button while its popup is open closes the popup (the press itself closes it first).
    if (menu->isVisible()) {
        menu->close();
        return;
    }
    if (hidden.isValid() && hidden.elapsed() < 250) {
        hidden.invalidate();
        return;
    }
    if (menu == m_windowMenu) {
        rebuildWindowMenu();
    }
    QPushButton* b = m_bar->button(button);
    menu->popup(b->mapToGlobal(QPoint(0, b->height())));
}

void CMainFrame::runCommand(int cmd) {
    Q_EMIT commandRequested(cmd);
    if (cmd > WINDOW_COMMAND_BASE && cmd <= WINDOW_COMMAND_BASE + CKELDADoc::SLOTS) {
        if (CChildFrame* f = listWindowOfSlot(cmd - WINDOW_COMMAND_BASE)) {
            m_mdi->setActiveSubWindow(f);
        }
        return;
    }
    if (takesFolderFromField(cmd)) {
        m_logic.takeFolderNameFromField();
    }
    if (needsActiveList(cmd) && !activeList()) {
        return;
    }
    if (cmd == C::CmdImport && m_logic.folderField().isEmpty()) {
        return;
    }
    if (cmd == C::CmdEditInfo && activeList()->view()->list()->selectedRowNumbers().empty()) {
        m_ui.messageBox(QStringLiteral("選択されていません。"), QStringLiteral("エラー"), MsgIcon::Exclamation);
        return;
    }
    if (cmd == C::CmdSettings) {
        togglePopup(m_settingsMenu, C::CmdSettings);
        return;
    }
    if (cmd == C::CmdWindow) {
        togglePopup(m_windowMenu, C::CmdWindow);
        return;
    }
    if (commandHook && commandHook(static_cast<Command>(cmd))) {
        updateCommandStates();
        return;
    }
    switch (cmd) {
    case C::CmdBox:
        onBoxCommand();
        break;
    case C::CmdSelDisplay:
        activeList()->view()->selectDisplay();
        break;
    case C::CmdAllDisplay:
        activeList()->view()->allDisplay();
        break;
    case C::CmdNotDownloaded:
        activeList()->view()->notDownloadedDisplay();
        break;
    case C::CmdColumns:
        if (activeList()->view()->columnSettings(m_logic.iniFile())) {
            reloadAllLists(0, 1);
        }
        break;
    case C::CmdEditInfo:
        activeList()->view()->editInfo();
        break;
    case C::CmdVersion: {
        CAboutDlg dlg(this);
        dlg.exec();
        break;
    }
    case C::CmdDownConv:
        m_logic.doc().downConv = m_logic.doc().downConv == 1 ? 0 : 1;
        break;
    case C::CmdConvDel:
        m_logic.doc().convDel = m_logic.doc().convDel == 1 ? 0 : 1;
        break;
    case C::CmdLogout:
        m_keepAlive->stop();
        if (m_logic.doc().loggedIn == 1) {
            if (quitLink) {
                quitLink();
            }
            m_logic.doc().loggedIn = 0;
        }
        update();
        break;
    case C::CmdTile:
    case C::CmdTileHorz:
    case C::CmdTileVert:
    case C::CmdCascade:
        arrange(static_cast<Command>(cmd));
        break;
    default:
        break; // served by a subsystem that has not taken it
    }
    updateCommandStates();
}

void CMainFrame::onBoxCommand() {
    if (m_logic.folderField().isEmpty()) {
        return;
    }
    CBoxOpenLogic logic(m_logic.doc(), m_ui);
    int slot = 0;
    if (boxChooser) {
        slot = boxChooser(logic);
    } else {
        CBoxOpenDlg dlg(logic, this);
        slot = dlg.run();
    }
    if (slot <= 0) {
        return;
    }
    m_logic.slotOpened(slot);
    m_logic.doc().num += 1;
    m_logic.maximizeFlag = true;
    refreshFields();
    openListWindow(slot);
    refreshStatus(true);
}

void CMainFrame::onSubWindowActivated(QMdiSubWindow* w) {
    auto* frame = qobject_cast<CChildFrame*>(w);
    for (auto* f : listWindows()) {
        f->setCloseBoxShown(f == frame);
    }
    setMinimumSize(845, frame ? 260 : 250);
    if (!frame) {
        return;
    }
    if (m_logic.maximizeFlag && !m_arranging && !frame->isMaximized()) {
        frame->showMaximized();
    }
    m_logic.listActivated(frame->slot());
    refreshFields();
    onListFacts(frame);
}

void CMainFrame::onListFacts(CChildFrame* frame) {
    if (frame != activeList()) {
        return;
    }
    const auto facts = frame->view()->selectionFacts();
    m_logic.setSelectionFacts(facts.voiceSelected, facts.singleVoiceSelected, frame->view()->model().infoOnlyPresent());
    updateCommandStates();
    refreshStatus(false);
}

void CMainFrame::onListClosed(CChildFrame* frame) {
    const int slot = frame->slot();
    m_frames.removeAll(frame);
    const auto moves = m_logic.closeSlot(slot);
    for (const auto& [from, to] : moves) {
        for (auto* f : listWindows()) {
            if (f != frame && f->slot() == from) {
                f->view()->setSlot(to);
                break;
            }
        }
    }
    if (listWindows().isEmpty()) {
        m_logic.setBoxField(QString());
    }
    refreshFields();
    updateCommandStates();
    refreshStatus(false);
    Q_EMIT listWindowsChanged();
}

QList<CChildFrame*> CMainFrame::framesMostRecentFirst() const {
    QList<CChildFrame*> out;
    const auto order = m_mdi->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        if (auto* f = qobject_cast<CChildFrame*>(*it)) {
            out << f;
        }
    }
    return out;
}

void CMainFrame::arrange(Command cmd) {
    QList<CChildFrame*> frames;
    for (auto* f : framesMostRecentFirst()) {
        if (f->isEnabled() || cmd == C::CmdTile) {
            frames << f;
        }
    }
    if (frames.isEmpty()) {
        return;
    }
    if (cmd == C::CmdCascade) {
        m_arranging = true;
        for (auto* f : frames) {
            f->showNormal();
        }
        m_mdi->cascadeSubWindows();
        m_arranging = false;
        return;
    }
    const C::WinRect client = toWinRect(clientRect());
    const int n = static_cast<int>(frames.size());
    std::vector<C::WinRect> rects;
    if (cmd == C::CmdTile) {
        rects = n == 3 ? C::tileThree(client) : C::tileSideBySide(client, n);
    } else if (cmd == C::CmdTileHorz) {
        rects = n == 4 ? C::tileRowsFour(client) : C::tileStacked(client, n);
    } else {
        rects = n == 4 ? C::tileColumnsFour(client) : C::tileSideBySide(client, n);
    }
    m_arranging = true;
    for (int i = 0; i < n; ++i) {
        frames[i]->showNormal();
        frames[i]->setGeometry(toQRect(rects[i]));
        frames[i]->setNormalRect(toQRect(rects[i]));
    }
    m_arranging = false;
}

std::vector<CMainFrameLogic::ListPlacement> CMainFrame::placementsFromActive() const {
    std::vector<C::ListPlacement> out;
    // Stacking order ends with the topmost window, the active one; walk down from it.
    const auto order = m_mdi->subWindowList(QMdiArea::StackingOrder);
    for (auto it = order.rbegin(); it != order.rend() && out.size() < 4; ++it) {
        auto* f = qobject_cast<CChildFrame*>(*it);
        if (!f) {
            continue;
        }
        C::ListPlacement p;
        p.slot = f->slot();
        p.rect = toWinRect(f->normalRect().isValid() ? f->normalRect() : f->geometry());
        p.showCmd = f->isMaximized() ? C::SHOW_MAXIMIZED : f->isMinimized() ? 2 : C::SHOW_NORMAL;
        out.push_back(p);
    }
    return out;
}

bool CMainFrame::exitSequence() {
    if (m_ui.messageBox(QStringLiteral("ＱＳ－ＺＵＮＯ音声ファイル管理を終了しますか？"), QStringLiteral("終了確認"),
                        MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes) {
        return false;
    }
    if (m_logic.doc().loggedIn == 1) {
        if (quitLink) {
            quitLink();
        }
        m_logic.doc().loggedIn = 0;
    }
    m_keepAlive->stop();
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    if (!m_logic.saveAll(toWinRect(normal), placementsFromActive())) {
        // Ending without a word would lose every setting of this session unnoticed.
        m_ui.messageBox(QStringLiteral("設定ファイル(KELDA.ini)を保存できませんでした。"), QStringLiteral("エラー"),
                        MsgIcon::Exclamation);
    }
    if (deleteWavQueue) {
        deleteWavQueue(wavDeleteQueue);
    } else {
        for (const auto& f : wavDeleteQueue) {
            QFile::remove(f);
        }
        wavDeleteQueue.clear();
    }
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* e) {
    // The window manager's close box still works while an operation holds the window disabled; the operation
    // runs beneath this event and would lose its connection and objects. It has its own "キャンセル".
    if (!m_exitConfirmed && !m_ui.isMainWindowEnabled()) {
        e->ignore();
        return;
    }
    if (m_exitConfirmed || exitSequence()) {
        m_exitConfirmed = true;
        m_idle->stop();
        e->accept();
    } else {
        e->ignore();
    }
}
