#include "cli/CConsoleProgressView.h"

#include <algorithm>

CConsoleProgressView::CConsoleProgressView(const ProgressLook& look, std::FILE* out)
    : m_out(out), m_title(look.title), m_text(look.text), m_counter(look.counterText), m_min(look.rangeMin),
      m_max(look.rangeMax), m_pos(look.rangeMin) {
    draw();
}

CConsoleProgressView::~CConsoleProgressView() {
    close();
}

void CConsoleProgressView::setText(const QString& text) {
    m_text = text;
    draw();
}

void CConsoleProgressView::setCounterText(const QString& text) {
    m_counter = text;
    draw();
}

void CConsoleProgressView::setRange(int minimum, int maximum) {
    m_min = minimum;
    m_max = maximum;
    draw();
}

void CConsoleProgressView::setPosition(int position) {
    m_pos = position;
    draw();
}

void CConsoleProgressView::repaint() {}

void CConsoleProgressView::close() {
    if (m_out && !m_shown.isEmpty()) {
        std::fputs("\r\033[K", m_out);
        std::fflush(m_out);
    }
    m_out = nullptr;
}

void CConsoleProgressView::draw() {
    if (!m_out) {
        return;
    }
    const long long span = static_cast<long long>(m_max) - m_min;
    const long long done = std::clamp<long long>(static_cast<long long>(m_pos) - m_min, 0, std::max(span, 0LL));
    const int percent = span > 0 ? static_cast<int>(done * 100 / span) : 0;
    QString text = m_text;
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    QString line = QStringLiteral("%1: %2").arg(m_title, text);
    if (!m_counter.isEmpty()) {
        line += QLatin1Char(' ') + m_counter;
    }
    const QString words = line;
    line += QStringLiteral(" %1%").arg(percent);
    // Redrawing for every step would only flood a slow terminal: a moving bar is drawn ten times a second,
    // new words at once.
    if (line == m_shown || (words == m_shownWords && m_sinceDrawn.isValid() && m_sinceDrawn.elapsed() < 100)) {
        return;
    }
    m_shown = line;
    m_shownWords = words;
    m_sinceDrawn.start();
    const QByteArray bytes = (QStringLiteral("\r\033[K") + line).toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), m_out);
    std::fflush(m_out);
}
