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

} // namespace

QByteArray CCp932::fromUnicode(const QString& text) {
    const qsizetype n = text.size();
    const char16_t* src = reinterpret_cast<const char16_t*>(text.utf16());
    QByteArray out;
    if (isAscii(src, n)) {
        out.resize(n);
        for (qsizetype i = 0; i < n; ++i) {
            out[i] = static_cast<char>(src[i]);
        }
        return out;
    }
    Converter& cv = encoder();
    if (!cv.ok()) {
        return text.toLatin1();
    }
    cv.reset();
    out.resize(n * 2 + 4);
    char* in = const_cast<char*>(reinterpret_cast<const char*>(src));
    size_t inLeft = static_cast<size_t>(n) * 2;
    char* dst = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    while (inLeft > 0) {
        if (cv.run(&in, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            const qsizetype used = dst - out.data();
            out.resize(out.size() * 2);
            dst = out.data() + used;
            outLeft = static_cast<size_t>(out.size() - used);
            continue;
        }
        // A character without a CP932 form (or a lone surrogate): write "?" and step over the whole character.
        if (outLeft == 0) {
            const qsizetype used = dst - out.data();
            out.resize(out.size() + 16);
            dst = out.data() + used;
            outLeft = static_cast<size_t>(out.size() - used);
        }
        *dst++ = '?';
        --outLeft;
        const char16_t unit =
            static_cast<char16_t>(static_cast<unsigned char>(in[0]) | (static_cast<unsigned char>(in[1]) << 8));
        size_t step = 2;
        if (unit >= 0xD800 && unit <= 0xDBFF && inLeft >= 4) {
            const char16_t low =
                static_cast<char16_t>(static_cast<unsigned char>(in[2]) | (static_cast<unsigned char>(in[3]) << 8));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                step = 4;
            }
        }
        in += step;
        inLeft -= step;
        cv.reset();
    }
    out.resize(dst - out.data());
    return out;
}

QString CCp932::toUnicode(const QByteArray& bytes) {
    return toUnicode(bytes.constData(), static_cast<int>(bytes.size()));
}

QString CCp932::toUnicode(const char* bytes, int length) {
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

int CCp932::byteLength(const QString& text) {
    return static_cast<int>(fromUnicode(text).size());
}
