#include "link/CListingReader.h"

bool CListingReader::next(QString& line) {
    line.clear();
    while (!m_stopped && m_pos < m_text.size()) {
        const QChar c = m_text[m_pos];
        if (m_hook && !m_hook(c)) {
            m_stopped = true;
            return false;
        }
        ++m_pos;
        if (c == QLatin1Char('\r')) {
            if (!line.isEmpty()) {
                return true;
            }
        } else if (!isDropped(c)) {
            line += c;
        }
    }
    return !m_stopped && !line.isEmpty();
}
