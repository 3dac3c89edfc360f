#include "CSampleEncoder.h"

extern "C" {
#include <bcg729/encoder.h>
}

#include <memory>

namespace {
struct EncoderDeleter {
    void operator()(bcg729EncoderChannelContextStruct* ctx) const { closeBcg729EncoderChannel(ctx); }
};
} // namespace

QByteArray CSampleEncoder::encode(const std::vector<int16_t>& pcm) {
    const size_t frames = pcm.size() / 80;
    QByteArray out(static_cast<qsizetype>(frames * 10), '\0');
    std::unique_ptr<bcg729EncoderChannelContextStruct, EncoderDeleter> enc(initBcg729EncoderChannel(0));
    uint8_t rfc[10];
    for (size_t f = 0; f < frames; ++f) {
        uint8_t length = 0;
        bcg729Encoder(enc.get(), pcm.data() + f * 80, rfc, &length);
        char* dst = out.data() + f * 10;
        for (int i = 0; i < 10; i += 2) {
            dst[i] = static_cast<char>(rfc[i + 1]);
            dst[i + 1] = static_cast<char>(rfc[i]);
        }
    }
    return out;
}

QByteArray CSampleEncoder::swapWords(const QByteArray& frames) {
    QByteArray out = frames;
    for (qsizetype i = 0; i + 1 < out.size(); i += 2) {
        std::swap(out[i], out[i + 1]);
    }
    return out;
}
