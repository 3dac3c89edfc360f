#pragma once

#include <QString>

#include <functional>

// Takes a listing of the unit apart line by line, the one way every reader shares: LF, "*" and "." are dropped,
// CR ends a line, empty lines are skipped, and a last line without its CR still counts. File names therefore
// appear without their dot.
class CListingReader {
public:
    // Called for every character read, before it is taken; returning false stops the reading there (a cancel).
    using CharacterHook = std::function<bool(QChar)>;

    explicit CListingReader(const QString& text, CharacterHook hook = {}) : m_text(text), m_hook(std::move(hook)) {}

    // The next non-empty line; false at the end of the text or once the hook stopped the reading.
    bool next(QString& line);
    // True when the hook stopped the reading.
    bool stopped() const { return m_stopped; }

    // A character that never becomes part of a line.
    static bool isDropped(QChar c) { return c == QLatin1Char('\n') || c == QLatin1Char('*') || c == QLatin1Char('.'); }

private:
    const QString& m_text;
    CharacterHook m_hook;
    qsizetype m_pos = 0;
    bool m_stopped = false;
};
