#include "platform/CCp932.h"

#include <cerrno>
#include <iconv.h>

namespace {

// One converter per direction and thread; iconv_open is far dearer than a conversion of a short text.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(m_cd);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    void reset() { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }
    size_t run(char** in, size_t* inLeft, char** out, size_t* outLeft) { return iconv(m_cd, in, inLeft, out, outLeft); }

private:
    iconv_t m_cd;
};

Converter& encoder() {
    thread_local Converter c("CP932", "UTF-16LE");
    return c;
}

Converter& decoder() {
    thread_local Converter c("UTF-16LE", "CP932");
    return c;
}

bool isAscii(const char16_t* s, qsizetype n) {
    for (qsizetype i = 0; i < n; ++i) {
        if (s[i] >= 0x80) {
            return false;
        }
    }
    return true;
}

// A run of basic-plane characters with no surrogate among them. A character CP932 lacks becomes "?"; the index
// (in the whole text) of the first such one is kept in unheld.
void encodeRun(Converter& cv, const char16_t* src, qsizetype n, qsizetype base, QByteArray& out, qsizetype& unheld) {
    cv.reset();
    const qsizetype start = out.size();
    out.resize(start + n * 2 + 4);
    char* in = const_cast<char*>(reinterpret_cast<const char*>(src));
    size_t inLeft = static_cast<size_t>(n) * 2;
    char* dst = out.data() + start;
    size_t outLeft = static_cast<size_t>(out.size() - start);
    while (inLeft > 0) {
        const size_t done = cv.run(&in, &inLeft, &dst, &outLeft);
        if (done != static_cast<size_t>(-1)) {
            // A conversion the converter itself calls inexact: the text is not held as given.
            if (done > 0 && unheld < 0) {
                unheld = base;
            }
            break;
        }
        const bool full = errno == E2BIG;
        if (full || outLeft == 0) {
            const qsizetype used = dst - out.data();
            out.resize(out.size() * 2);
            dst = out.data() + used;
            outLeft = static_cast<size_t>(out.size() - used);
            if (full) {
                continue;
            }
        }
        // A character without a CP932 form: "?" in its place, one unit of input.
        if (unheld < 0) {
            unheld = base + (n - static_cast<qsizetype>(inLeft / 2));
        }
        *dst++ = '?';
        --outLeft;
        in += 2;
        inLeft -= 2;
        cv.reset();
    }
    out.resize(dst - out.data());
}

} // namespace

qsizetype CCp932::encode(const QString& text, QByteArray& out) {
    const qsizetype n = text.size();
    const char16_t* src = reinterpret_cast<const char16_t*>(text.utf16());
    if (isAscii(src, n)) {
        out.resize(n);
        for (qsizetype i = 0; i < n; ++i) {
            out[i] = static_cast<char>(src[i]);
        }
        return -1;
    }
    out.clear();
    Converter& cv = encoder();
    if (!cv.ok()) {
        out = text.toLatin1();
        return 0;
    }
    out.reserve(n * 2);
    qsizetype unheld = -1;
    qsizetype i = 0;
    while (i < n) {
        // CP932 holds nothing beyond the basic plane, and the converter is never asked about such a character: it
        // drops some of them (the tag characters) without a trace, and no character may cost nothing. A pair is
        // one character and one "?"; a lone surrogate is one too.
        if (QChar::isSurrogate(src[i])) {
            const bool pair = QChar::isHighSurrogate(src[i]) && i + 1 < n && QChar::isLowSurrogate(src[i + 1]);
            out.append('?');
            if (unheld < 0) {
                unheld = i;
            }
            i += pair ? 2 : 1;
            continue;
        }
        qsizetype end = i;
        while (end < n && !QChar::isSurrogate(src[end])) {
            ++end;
        }
        encodeRun(cv, src + i, end - i, i, out, unheld);
        i = end;
    }
    return unheld;
}

QByteArray CCp932::fromUnicode(const QString& text) {
    QByteArray out;
    encode(text, out);
    return out;
}

int CCp932::byteLength(const QString& text) {
    QByteArray out;
    encode(text, out);
    return static_cast<int>(out.size());
}

bool CCp932::holds(const QString& text) {
    QByteArray out;
    return encode(text, out) < 0;
}

QString CCp932::firstUnheld(const QString& text) {
    QByteArray out;
    const qsizetype at = encode(text, out);
    if (at < 0) {
        return QString();
    }
    const bool pair = at + 1 < text.size() && text[at].isHighSurrogate() && text[at + 1].isLowSurrogate();
    return text.mid(at, pair ? 2 : 1);
}

QString CCp932::toUnicode(const QByteArray& bytes) {
    return toUnicode(bytes.constData(), static_cast<int>(bytes.size()));
}

QString CCp932::toUnicode(const char* bytes, int length, bool* exact) {
    if (exact) {
        *exact = true;
    }
    if (length <= 0) {
        return QString();
    }
    bool ascii = true;
    for (int i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(bytes[i]) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) {
        return QString::fromLatin1(bytes, length);
    }
    Converter& cv = decoder();
    if (!cv.ok()) {
        if (exact) {
            *exact = false;
        }
        return QString::fromLatin1(bytes, length);
    }
    cv.reset();
    QString out(length, Qt::Uninitialized);
    char* in = const_cast<char*>(bytes);
    size_t inLeft = static_cast<size_t>(length);
    char* base = reinterpret_cast<char*>(out.data());
    char* dst = base;
    size_t outLeft = static_cast<size_t>(length) * 2;
    while (inLeft > 0) {
        if (cv.run(&in, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1)) {
            break;
        }
        // Every CP932 byte yields at most one UTF-16 unit, so only a bad or cut sequence lands here.
        if (outLeft < 2) {
            break;
        }
        if (exact) {
            *exact = false;
        }
        dst[0] = '?';
        dst[1] = 0;
        dst += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
        cv.reset();
    }
    out.truncate(static_cast<qsizetype>((dst - base) / 2));
    return out;
}
