#include "ui/CWidgetUi.h"

#include "ui/CFolderChooser.h"
#include "ui/CWidgetProgressView.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QThread>
#include <QUrl>

#include <memory>

MsgResult CWidgetUi::messageBox(const QString& text, const QString& caption, MsgIcon icon, MsgButtons buttons) {
    // Over the dialog that asked, not behind it: a modal dialog owns the person's attention until it ends.
    QWidget* over = QApplication::activeModalWidget();
    QMessageBox box(over ? over : static_cast<QWidget*>(m_main));
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    auto add = [&](QMessageBox::StandardButton b, const char16_t* label) {
        box.addButton(b)->setText(QString::fromUtf16(label));
    };
    switch (buttons) {
    case MsgButtons::Ok:
        add(QMessageBox::Ok, u"OK");
        break;
    case MsgButtons::OkCancel:
        add(QMessageBox::Ok, u"OK");
        add(QMessageBox::Cancel, u"キャンセル");
        break;
    case MsgButtons::YesNo:
        add(QMessageBox::Yes, u"はい(&Y)");
        add(QMessageBox::No, u"いいえ(&N)");
        break;
    case MsgButtons::YesNoCancel:
        add(QMessageBox::Yes, u"はい(&Y)");
        add(QMessageBox::No, u"いいえ(&N)");
        add(QMessageBox::Cancel, u"キャンセル");
        break;
    }
    box.exec();
    auto* clicked = box.clickedButton();
    switch (box.standardButton(clicked)) {
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Ok:
        return MsgResult::Ok;
    default:
        // Closing the box without a button counts as its cancelling answer.
        return buttons == MsgButtons::YesNo ? MsgResult::No
               : buttons == MsgButtons::Ok  ? MsgResult::Ok
                                            : MsgResult::Cancel;
    }
}

std::unique_ptr<CProgressView> CWidgetUi::createProgressView(const ProgressLook& look) {
    // Under a modal dialog (the folder list's download) a window of the main window would be blocked with it,
    // "キャンセル" included; the dialog owns it instead.
    QWidget* owner = QApplication::activeModalWidget();
    return std::make_unique<CWidgetProgressView>(look, owner ? owner : m_main.data());
}

void CWidgetUi::dispatchPendingEvents(int maxEvents) {
    // Transfer and decoding loops ask for a dispatch per chunk, per character or per frame, tens of thousands
    // of times a second; asking the event loop each time would cost more than the work. A person notices no
    // difference when the queue is looked at every couple of milliseconds instead.
    // Painting a progress window can take milliseconds, so the gap grows with what the last dispatch cost and the
    // work keeps most of the time, while the window still answers several times a second.
    if (m_sinceDispatch.isValid() && m_sinceDispatch.nsecsElapsed() < m_dispatchGapNs) {
        return;
    }
    QElapsedTimer cost;
    cost.start();
    if (maxEvents < 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    } else {
        // Qt takes the waiting events as one batch; a bounded call keeps the step short.
        QCoreApplication::processEvents(QEventLoop::AllEvents, std::max(1, maxEvents));
    }
    m_dispatchGapNs = std::clamp<qint64>(cost.nsecsElapsed() * 10, kMinDispatchGapNs, kMaxDispatchGapNs);
    m_sinceDispatch.start();
}

bool CWidgetUi::isModalOpen() const {
    return QApplication::activeModalWidget() != nullptr;
}

void CWidgetUi::sleepMs(int ms) {
    QThread::msleep(static_cast<unsigned long>(std::max(0, ms)));
}

void CWidgetUi::setMainWindowEnabled(bool enabled) {
    m_mainEnabled = enabled;
    if (!m_main) {
        return;
    }
    // Disabling the window itself would disable the progress windows it owns, and with them their
    // "キャンセル" buttons; its own parts are disabled instead.
    if (auto* mw = qobject_cast<QMainWindow*>(m_main.data())) {
        for (QWidget* part : {mw->menuWidget(), mw->centralWidget(), static_cast<QWidget*>(mw->statusBar())}) {
            if (part) {
                part->setEnabled(enabled);
            }
        }
        return;
    }
    m_main->setEnabled(enabled);
}

void CWidgetUi::activateMainWindow() {
    if (m_main) {
        m_main->activateWindow();
    }
}

QString CWidgetUi::chooseFolder(const QString& title, const QString& startFolder) {
    return CFolderChooser::choose(m_main, title, startFolder);
}

QString CWidgetUi::chooseOpenFile(const QString& title, const QString& startFolder, const QString& filter) {
    return QFileDialog::getOpenFileName(m_main, title, startFolder, filter);
}

QString CWidgetUi::chooseSaveFile(const QString& title, const QString& startPath, const QString& filter) {
    return QFileDialog::getSaveFileName(m_main, title, startPath, filter);
}

bool CWidgetUi::openWithDefaultApplication(const QString& path) {
    // The desktop's opener says whether anything can open the file: it ends with an error at once when no
    // program handles it. One that is still busy after a moment has handed the file to a player (some openers
    // wait for the player), so it is left running.
    // The opener is held here, with nothing that could delete it, until its verdict is read: the events
    // dispatched while waiting must not take it away under the wait.
    auto opener = std::make_unique<QProcess>();
    opener->setProgram(m_openerProgram);
    opener->setArguments({QUrl::fromLocalFile(path).toString()});
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setStandardErrorFile(QProcess::nullDevice());
    opener->start();
    if (!opener->waitForStarted(m_openerStartMs)) {
        // No opener at all: the desktop's own service may still know a player.
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
    QElapsedTimer waited;
    waited.start();
    while (opener->state() != QProcess::NotRunning && waited.elapsed() < m_openerVerdictMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        opener->waitForFinished(20);
    }
    if (opener->state() == QProcess::NotRunning) {
        return opener->exitStatus() == QProcess::NormalExit && opener->exitCode() == 0;
    }
    // Still busy: it is let go and goes away by itself once it ends. Nothing here touches it after this.
    QProcess* lingering = opener.release();
    lingering->setParent(qApp);
    QObject::connect(lingering, &QProcess::finished, lingering, &QObject::deleteLater);
    return true;
}
