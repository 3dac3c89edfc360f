#include "ui/shell/CWrapField.h"

#include <QScrollBar>

CWrapField::CWrapField(QChar breakAfter, QWidget* parent) : QPlainTextEdit(parent), m_break(breakAfter) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The field only shows; a click may select text to copy, but Tab passes it by and never stays in it.
    setFocusPolicy(Qt::ClickFocus);
    setTabChangesFocus(true);
    // A narrow margin: two lines of the bar's font fit the field's height.
    document()->setDocumentMargin(1);
}

int CWrapField::twoLineHeight() const {
    return 2 * fontMetrics().lineSpacing() + 2 * (frameWidth() + static_cast<int>(document()->documentMargin())) + 2;
}

QStringList CWrapField::wrap(const QString& text, QChar breakAfter, const QFontMetrics& fm, int width) {
    QStringList out;
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (const QString& para : normalised.split(u'\n')) {
        // Pieces that each end just after a break character.
        QStringList pieces;
        qsizetype start = 0;
        for (qsizetype k = 0; k < para.size(); ++k) {
            if (para[k] == breakAfter) {
                pieces << para.mid(start, k + 1 - start);
                start = k + 1;
            }
        }
        if (start < para.size() || pieces.isEmpty()) {
            pieces << para.mid(start);
        }
        QString line;
        for (const auto& piece : pieces) {
            if (!line.isEmpty() && fm.horizontalAdvance(line + piece) > width) {
                out << line;
                line = piece;
            } else {
                line += piece;
            }
        }
        out << line;
    }
    return out;
}

void CWrapField::setFieldText(const QString& text) {
    m_text = text;
    relayout();
}

void CWrapField::relayout() {
    if (m_inLayout) {
        return;
    }
    m_inLayout = true;
    const int margins = 2 * (frameWidth() + static_cast<int>(document()->documentMargin())) + 2;
    int width = viewport()->width() - 2 * static_cast<int>(document()->documentMargin()) - 2;
    if (width <= 0) {
        width = this->width() - margins;
    }
    QStringList lines = wrap(m_text, m_break, fontMetrics(), width);
    if (lines.size() > 1 && verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOn) {
        // The scroll bar takes room from the text; wrap again for what is left.
        lines = wrap(m_text, m_break, fontMetrics(), width - verticalScrollBar()->sizeHint().width());
    }
    m_lines = m_text.isEmpty() ? 0 : static_cast<int>(lines.size());
    setVerticalScrollBarPolicy(m_lines > 1 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    const QString shown = lines.join(u'\n');
    if (toPlainText() != shown) {
        setPlainText(shown);
    }
    m_inLayout = false;
}

void CWrapField::resizeEvent(QResizeEvent* e) {
    QPlainTextEdit::resizeEvent(e);
    relayout();
}
