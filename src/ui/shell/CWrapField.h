#pragma once

#include <QPlainTextEdit>

// A read-only multi-line field that breaks lines only directly after one character ("/" for paths, "," for box
// lists), and shows its vertical scroll bar only while the text needs more than one line.
class CWrapField : public QPlainTextEdit {
    Q_OBJECT
public:
    CWrapField(QChar breakAfter, QWidget* parent);
    void setFieldText(const QString& text);
    const QString& fieldText() const { return m_text; }
    int lineCount() const { return m_lines; }
    // The lines the text breaks into at a given width (hard line breaks kept).
    static QStringList wrap(const QString& text, QChar breakAfter, const QFontMetrics& fm, int width);
    // The height that shows two whole lines: the box field's two kinds of box each take one.
    int twoLineHeight() const;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void relayout();
    QChar m_break;
    QString m_text;
    int m_lines = 0;
    bool m_inLayout = false;
};
