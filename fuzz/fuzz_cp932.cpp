// CP932 both ways: any bytes decode, any UTF-16 encodes, and text that came from CP932 survives a round trip.
#include "platform/CCp932.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString decoded = CCp932::toUnicode(bytes);
    if (CCp932::toUnicode(bytes.constData(), static_cast<int>(bytes.size())) != decoded) {
        std::abort();
    }
    // Every character the decoder produced is one CP932 holds, so encoding and decoding again changes nothing.
    const QByteArray encoded = CCp932::fromUnicode(decoded);
    if (CCp932::toUnicode(encoded) != decoded || CCp932::byteLength(decoded) != encoded.size()) {
        std::abort();
    }
    // The same bytes read as UTF-16: whatever CP932 lacks becomes "?", and the byte count agrees.
    const QString wide = QString::fromUtf16(reinterpret_cast<const char16_t*>(data), static_cast<qsizetype>(size / 2));
    const QByteArray narrow = CCp932::fromUnicode(wide);
    if (CCp932::byteLength(wide) != narrow.size() || narrow.size() < wide.size() / 2) {
        std::abort();
    }
    // No CP932 trail byte is a "?": every "?" beyond the text's own stands for a character CP932 lacks, and the
    // text is held exactly when there is none.
    const bool held = CCp932::holds(wide);
    const qsizetype extra = narrow.count('?') - wide.count(QLatin1Char('?'));
    if (held != CCp932::firstUnheld(wide).isEmpty() || held != (extra == 0) || extra < 0) {
        std::abort();
    }
    return 0;
}
