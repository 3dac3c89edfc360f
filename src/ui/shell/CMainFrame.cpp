#include "ui/shell/CMainFrame.h"

#include "platform/CUserInterface.h"
#include "ui/CJapaneseFont.h"
#include "ui/admin/CAdminCommands.h"
#include "ui/link/CLinkCommands.h"
#include "ui/list/CChildFrame.h"
#include "ui/list/CDataListCtrl.h"
#include "ui/list/CListCommands.h"
#include "ui/list/CListDispView.h"
#include "ui/operations/COperationCommands.h"
#include "ui/shell/CCommandBar.h"
#include "ui/shell/CShellCommands.h"
#include "ui/shell/CWrapField.h"
#include "ui/voice/CVoiceUiCommands.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>

namespace {
using C = CMainFrameLogic;
using P = CWindowPlacement;

QRect toQRect(const P::WinRect& r) {
    return QRect(r.left, r.top, std::max(0, r.width()), std::max(0, r.height()));
}

P::WinRect toWinRect(const QRect& r) {
    return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}
} // namespace

CMainFrame::CMainFrame(CUserInterface& ui, const QString& iniFile, QWidget* parent, CPasswordStore* passwordStore)
    : QMainWindow(parent), m_ui(ui), m_exit(ui, m_logic) {
    setWindowTitle(QStringLiteral("KELDA"));
    setFont(CJapaneseFont::font(13));
    setMinimumSize(845, 250);
    restoreMainPlacement(iniFile);

    m_bar = new CCommandBar(this);
    setMenuWidget(m_bar);
    connect(m_bar, &CCommandBar::command, this, [this](int cmd) { runCommand(static_cast<Command>(cmd)); });

    m_mdi = new QMdiArea(this);
    m_mdi->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &CMainFrame::onSubWindowActivated);

    m_status = new QLabel(this);
    m_status->setFont(CJapaneseFont::font(13));
    statusBar()->addWidget(m_status, 1);
    m_linkStatus = new QLabel(this);
    m_linkStatus->setFont(CJapaneseFont::font(13));
    statusBar()->addPermanentWidget(m_linkStatus);
    statusBar()->setSizeGripEnabled(true);

    m_settingsMenu = new QMenu(this);
    for (int c = C::CmdLogin; c <= C::CmdLastSetting; ++c) {
        QAction* a = m_settingsMenu->addAction(C::label(static_cast<Command>(c)));
        a->setData(c);
        connect(a, &QAction::triggered, this, [this, c] {
            m_settingsMenu->close();
            runCommand(static_cast<Command>(c));
        });
    }
    connect(m_settingsMenu, &QMenu::aboutToShow, this, &CMainFrame::rebuildSettingsMenuStates);
    // The settings popup stands where a menu bar would be, and opens by that bar's key.
    auto* menuKey = new QShortcut(QKeySequence(C::settingsMenuKey()), this);
    connect(menuKey, &QShortcut::activated, this, &CMainFrame::openSettingsMenuByKey);
    connect(m_settingsMenu, &QMenu::aboutToHide, this, [this] { m_sinceSettingsHidden.start(); });
    // The keys that close a document window elsewhere on the desktop close the active list, as its close box does.
    for (const QString& key : C::closeListKeys()) {
        auto* closeKey = new QShortcut(QKeySequence(key, QKeySequence::PortableText), this);
        connect(closeKey, &QShortcut::activated, this, [this] {
            if (CChildFrame* f = activeList()) {
                f->close();
            }
        });
    }

    m_windowMenu = new QMenu(this);
    connect(m_windowMenu, &QMenu::aboutToHide, this, [this] { m_sinceWindowHidden.start(); });

    m_idle = new QTimer(this);
    m_idle->setInterval(250);
    connect(m_idle, &QTimer::timeout, this, [this] {
        updateCommandStates();
        refreshStatus(false);
    });

    // Every command is registered once, by the subsystem that serves it.
    m_linkCommands = std::make_unique<CLinkCommands>(*this);
    m_operationCommands = std::make_unique<COperationCommands>(*this, m_linkCommands->link());
    m_listCommands = std::make_unique<CListCommands>(*this);
    m_voiceCommands = std::make_unique<CVoiceUiCommands>(*this);
    m_adminCommands = std::make_unique<CAdminCommands>(*this, m_linkCommands->link());
    m_shellCommands = std::make_unique<CShellCommands>(*this);
    for (int c = C::CmdLogin; c <= C::CmdLastSetting; ++c) {
        if (m_commands.isCheckable(static_cast<Command>(c))) {
            m_settingsMenu->actions()[c - C::CmdLogin]->setCheckable(true);
        }
    }
    rebuildWindowMenu();
    m_exit.mainRect = [this] { return mainRect(); };
    m_exit.listPlacements = [this] { return placementsFromActive(); };

    m_logic.doc().passwordStore = passwordStore;
    m_logic.create(iniFile);
    refreshFields();
    updateCommandStates();
    m_idle->start();
}

CMainFrame::~CMainFrame() {
    m_idle->stop();
    // Views refer to the settings block; they go before it.
    disconnect(m_mdi, nullptr, this, nullptr);
    for (auto* w : m_mdi->subWindowList()) {
        disconnect(w, nullptr, this, nullptr);
    }
    delete m_mdi;
    m_mdi = nullptr;
    // The command classes refer to the frame's table and exit sequence; they go first, the link's last.
    m_shellCommands.reset();
    m_adminCommands.reset();
    m_voiceCommands.reset();
    m_listCommands.reset();
    m_operationCommands.reset();
    m_linkCommands.reset();
}

void CMainFrame::restoreMainPlacement(const QString& iniFile) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize s = screen ? screen->geometry().size() : QSize(1024, 768);
    const P::WinRect r = P::correctMainRect(P::readMainRect(iniFile), s.width(), s.height());
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
    const P::RestorePlan plan = P::readListPlacements(m_logic.iniFile(), m_logic.doc().num);
    for (const auto& p : plan.windows) {
        m_logic.doc().num = p.slot;
        if (p.showCmd == P::SHOW_MAXIMIZED) {
            m_logic.maximizeFlag = true;
        }
        CChildFrame* f = openListWindow(p.slot);
        const bool hasRect = p.rect.left != P::ABSENT && p.rect.right != P::ABSENT && p.rect.width() > 0;
        if (f && p.showCmd != P::SHOW_MAXIMIZED && hasRect) {
            f->showNormal();
            f->setGeometry(toQRect(p.rect));
            f->setNormalRect(toQRect(p.rect));
            if (p.showCmd == P::SHOW_MINIMIZED) {
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
    connect(frame, &CChildFrame::backtabOut, this,
            [this] { m_bar->tabOrder().last()->setFocus(Qt::BacktabFocusReason); });
    connect(view, &CListDispView::factsChanged, this, [this, frame] { onListFacts(frame); });
    if (m_logic.doc().num > 1) {
        const QRect r = toQRect(P::newListRect(toWinRect(clientRect())));
        frame->setGeometry(r);
        frame->setNormalRect(r);
    }
    frame->show();
    m_mdi->setActiveSubWindow(frame);
    view->load(CListModel::Load::Fresh);
    // The new list takes the keys: its first row is current and the arrows move from there.
    view->setFocus(Qt::OtherFocusReason);
    onListFacts(frame);
    return frame;
}

void CMainFrame::closeAllListWindows() {
    for (auto* f : listWindows()) {
        f->close();
    }
}

std::vector<FILESTS_INFO> CMainFrame::selectedRecords() const {
    std::vector<FILESTS_INFO> out;
    CChildFrame* active = activeList();
    if (!active) {
        return out;
    }
    const CListModel& model = active->view()->model();
    for (int row : active->view()->list()->selectedRowNumbers()) {
        if (row >= 0 && row < model.rowCount()) {
            out.push_back(model.recordAt(row));
        }
    }
    return out;
}

void CMainFrame::setCurrentFolder(const QString& fullPath) {
    m_logic.setFolderField(C::folderFieldTextFromPath(fullPath));
    m_logic.takeFolderNameFromField();
    refreshFields();
    updateCommandStates();
}

void CMainFrame::reloadAllLists(CListModel::Sort sort, CListModel::Columns columns) {
    for (auto* f : listWindows()) {
        f->view()->reload(sort, columns);
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
        c.unreadable = m.unreadableFiles();
        c.displayMode = m.displayMode();
    }
    return c;
}

void CMainFrame::refreshStatus(bool recount) {
    const QString link = m_logic.linkStatusText();
    if (m_linkStatus->text() != link) {
        m_linkStatus->setText(link);
    }
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
        const bool on = m_commands.isEnabled(static_cast<Command>(c), m_logic, in);
        if (b->isEnabled() != on) {
            b->setEnabled(on);
        }
    }
}

void CMainFrame::rebuildSettingsMenuStates() {
    const C::EnableInputs in = m_logic.enableInputs(activeList() != nullptr);
    for (QAction* a : m_settingsMenu->actions()) {
        const auto cmd = static_cast<Command>(a->data().toInt());
        a->setEnabled(m_commands.isEnabled(cmd, m_logic, in));
        if (a->isCheckable()) {
            a->setChecked(m_commands.isChecked(cmd, m_logic, in));
        }
    }
}

void CMainFrame::rebuildWindowMenu() {
    m_windowMenu->clear();
    const C::EnableInputs in = m_logic.enableInputs(activeList() != nullptr);
    for (int c = C::CmdTile; c <= C::CmdCascade; ++c) {
        const auto cmd = static_cast<Command>(c);
        QAction* a = m_windowMenu->addAction(C::label(cmd));
        a->setEnabled(m_commands.isEnabled(cmd, m_logic, in));
        connect(a, &QAction::triggered, this, [this, cmd] {
            m_windowMenu->close();
            runCommand(cmd);
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
                if (CChildFrame* f = listWindowOfSlot(n)) {
                    m_mdi->setActiveSubWindow(f);
                }
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

void CMainFrame::openSettingsMenuByKey() {
    if (!m_bar->button(C::CmdSettings)->isEnabled() || m_settingsMenu->isVisible()) {
        return;
    }
    runCommand(C::CmdSettings);
    if (!m_settingsMenu->isVisible()) {
        return;
    }
    // Opened from the keyboard, the popup shows where the keys are: on its first item that can be chosen.
    for (QAction* a : m_settingsMenu->actions()) {
        if (a->isEnabled() && !a->isSeparator()) {
            m_settingsMenu->setActiveAction(a);
            break;
        }
    }
}

void CMainFrame::runCommand(Command cmd) {
    m_commands.run(cmd);
    updateCommandStates();
    // A dialog that closed after its own message box leaves no window with the keyboard; the keys come back here.
    if (isVisible() && !QApplication::activeWindow() && !QApplication::activeModalWidget()) {
        activateWindow();
    }
}

bool CMainFrame::focusNextPrevChild(bool next) {
    CChildFrame* active = activeList();
    QWidget* last = m_bar->tabOrder().last();
    if (active && next && focusWidget() == last) {
        active->view()->list()->setFocus(Qt::TabFocusReason);
        return true;
    }
    return QMainWindow::focusNextPrevChild(next);
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
    m_logic.setSelectionFacts(facts.voiceSelected, facts.singleVoiceSelected, frame->view()->model().infoOnlyPresent(),
                              facts.rowsSelected);
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

void CMainFrame::arrangeListWindows(Command cmd) {
    QList<CChildFrame*> frames;
    for (auto* f : framesMostRecentFirst()) {
        if (f->isEnabled() || cmd == C::CmdTile) {
            frames << f;
        }
    }
    if (frames.isEmpty()) {
        return;
    }
    const P::WinRect client = toWinRect(clientRect());
    if (cmd == C::CmdCascade) {
        // The toolkit's cascade sizes the windows to their smallest; here they take the work area, the active one
        // on top at the bottom right and the earlier ones behind it, each caption in view.
        const int n = static_cast<int>(frames.size());
        const int caption = frames.front()->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frames.front());
        const std::vector<P::WinRect> rects = P::cascade(client, n, std::max(caption, 20));
        m_arranging = true;
        for (int i = 0; i < n; ++i) {
            CChildFrame* f = frames[n - 1 - i];
            f->showNormal();
            f->setGeometry(toQRect(rects[i]));
            f->setNormalRect(toQRect(rects[i]));
            f->raise();
        }
        m_mdi->setActiveSubWindow(frames.front());
        m_arranging = false;
        m_mdi->viewport()->update();
        return;
    }
    const int n = static_cast<int>(frames.size());
    std::vector<P::WinRect> rects;
    if (cmd == C::CmdTile) {
        rects = n == 3 ? P::tileThree(client) : P::tileSideBySide(client, n);
    } else if (cmd == C::CmdTileHorz) {
        rects = n == 4 ? P::tileRowsFour(client) : P::tileStacked(client, n);
    } else {
        rects = n == 4 ? P::tileColumnsFour(client) : P::tileSideBySide(client, n);
    }
    m_arranging = true;
    for (int i = 0; i < n; ++i) {
        frames[i]->showNormal();
        frames[i]->setGeometry(toQRect(rects[i]));
        frames[i]->setNormalRect(toQRect(rects[i]));
    }
    m_arranging = false;
    // The tiles need not cover the whole workspace: the gaps between them would keep what was painted there
    // before the windows moved.
    m_mdi->viewport()->update();
}

std::vector<CWindowPlacement::ListPlacement> CMainFrame::placementsFromActive() const {
    std::vector<P::ListPlacement> out;
    // Stacking order ends with the topmost window, the active one; walk down from it.
    const auto order = m_mdi->subWindowList(QMdiArea::StackingOrder);
    for (auto it = order.rbegin(); it != order.rend() && out.size() < 4; ++it) {
        auto* f = qobject_cast<CChildFrame*>(*it);
        if (!f) {
            continue;
        }
        P::ListPlacement p;
        p.slot = f->slot();
        p.rect = toWinRect(f->normalRect().isValid() ? f->normalRect() : f->geometry());
        p.showCmd = f->isMaximized() ? P::SHOW_MAXIMIZED : f->isMinimized() ? P::SHOW_MINIMIZED : P::SHOW_NORMAL;
        out.push_back(p);
    }
    return out;
}

CWindowPlacement::WinRect CMainFrame::mainRect() const {
    return toWinRect(isMaximized() || isMinimized() ? normalGeometry() : geometry());
}

void CMainFrame::closeEvent(QCloseEvent* e) {
    if (m_exit.requestClose() == CExitSequence::Outcome::Close) {
        m_idle->stop();
        e->accept();
    } else {
        e->ignore();
    }
}
