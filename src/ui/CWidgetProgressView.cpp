#include "ui/CWidgetProgressView.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

CProgressWindow::CProgressWindow(const ProgressLook& look, QWidget* parent) : QDialog(parent) {
    setWindowTitle(look.title);
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(this);
    m_text = new QLabel(look.text, this);
    m_counter = new QLabel(look.counterText, this);
    m_counter->setVisible(!look.counterText.isEmpty());
    m_bar = new QProgressBar(this);
    m_bar->setRange(look.rangeMin, std::max(look.rangeMin, look.rangeMax));
    m_bar->setValue(look.rangeMin);
    m_bar->setTextVisible(false);
    layout->addWidget(m_text);
    layout->addWidget(m_counter);
    layout->addWidget(m_bar);
    if (look.cancelButton) {
        m_cancel = new QPushButton(QStringLiteral("キャンセル"), this);
        // Return pressed for something else just as the window comes up must not stop the operation.
        m_cancel->setAutoDefault(false);
        auto onCancel = look.onCancel;
        connect(m_cancel, &QPushButton::clicked, this, [onCancel] {
            if (onCancel) {
                onCancel();
            }
        });
        if (look.escapeCancels) {
            m_onEscape = onCancel;
        }
        layout->addWidget(m_cancel, 0, Qt::AlignHCenter);
    }
    setMinimumWidth(320);
}

void CProgressWindow::reject() {
    // Esc would hide the window while its operation goes on, with the main window disabled and no way left to
    // stop it. The operation closes its window itself; Esc does nothing, and "キャンセル" is the way to stop,
    // unless the operation takes Esc as its cancel.
    if (m_onEscape) {
        m_onEscape();
    }
}

void CProgressWindow::closeEvent(QCloseEvent* e) {
    // The operation closes its window itself; the title bar's close box asks what Esc asks, or does nothing.
    e->ignore();
    if (m_onEscape) {
        m_onEscape();
    }
}

CWidgetProgressView::CWidgetProgressView(const ProgressLook& look, QWidget* parent)
    : m_window(new CProgressWindow(look, parent)) {
    m_paintLater.setSingleShot(true);
    m_paintLater.setInterval(kPaintGapMs);
    QObject::connect(&m_paintLater, &QTimer::timeout, [this] { applyPosition(); });
    m_window->show();
}

CWidgetProgressView::~CWidgetProgressView() {
    close();
}

void CWidgetProgressView::setText(const QString& text) {
    if (m_window) {
        m_window->textLabel()->setText(text);
    }
}

void CWidgetProgressView::setCounterText(const QString& text) {
    if (m_window) {
        m_window->counterLabel()->setText(text);
        m_window->counterLabel()->setVisible(!text.isEmpty());
    }
}

void CWidgetProgressView::setRange(int minimum, int maximum) {
    if (m_window) {
        m_window->bar()->setRange(minimum, std::max(minimum, maximum));
    }
}

void CWidgetProgressView::setPosition(int position) {
    if (!m_window) {
        return;
    }
    QProgressBar* bar = m_window->bar();
    m_pending = std::clamp(position, bar->minimum(), bar->maximum());
    const bool ends = m_pending == bar->minimum() || m_pending == bar->maximum();
    if (ends || !m_sincePaint.isValid() || m_sincePaint.elapsed() >= kPaintGapMs) {
        applyPosition();
        return;
    }
    if (!m_paintLater.isActive()) {
        m_paintLater.start();
    }
}

void CWidgetProgressView::applyPosition() {
    m_paintLater.stop();
    m_sincePaint.start();
    if (m_window) {
        m_window->bar()->setValue(m_pending);
    }
}

void CWidgetProgressView::setCancelEnabled(bool enabled) {
    if (m_window && m_window->cancelButton()) {
        m_window->cancelButton()->setEnabled(enabled);
    }
}

void CWidgetProgressView::repaint() {
    if (m_window) {
        m_window->update();
    }
}

void CWidgetProgressView::close() {
    if (m_window) {
        m_window->hide();
        m_window->deleteLater();
        m_window.clear();
    }
}
