#include "voice/CVoiceStream.h"

#include "store/FILESTS_INFO.h"
#include "voice/CG729Decoder.h"

extern "C" {
#include <bcg729/decoder.h>
}

#include <QFile>

#include <algorithm>
#include <cstdlib>

void CVoiceStream::ChannelDeleter::operator()(bcg729DecoderChannelContextStruct_struct* ctx) const {
    closeBcg729DecoderChannel(ctx);
}

CVoiceStream::CVoiceStream() = default;
CVoiceStream::~CVoiceStream() = default;

void CVoiceStream::clear() {
    m_frames.clear();
    m_damagedBytes = 0;
    m_decodedFrames = 0;
    m_pcm.clear();
    m_channel.reset();
}

CVoiceStream::LoadResult CVoiceStream::load(const QString& path) {
    clear();
    if (!path.endsWith(QLatin1String(".vmdat"), Qt::CaseInsensitive)) {
        return LoadResult::NoVoiceData;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return LoadResult::Unreadable;
    }
    const QByteArray all = file.readAll();
    // A read that broke off keeps what came; the rest counts as damaged, never as silence.
    const qint64 missing = std::max<qint64>(0, file.size() - all.size());
    if (all.size() < FILESTS_INFO::VOICE_OFFSET) {
        m_damagedBytes = all.size() + missing;
        return m_damagedBytes > 0 ? LoadResult::DamagedTail : LoadResult::NoVoiceData;
    }
    const qsizetype voiceBytes = all.size() - FILESTS_INFO::VOICE_OFFSET;
    const qsizetype whole = voiceBytes - voiceBytes % FRAME_BYTES;
    m_frames = all.mid(FILESTS_INFO::VOICE_OFFSET, whole);
    m_damagedBytes = (voiceBytes - whole) + missing;
    m_pcm.reserve(static_cast<size_t>(totalSamples()));
    m_channel.reset(initBcg729DecoderChannel());
    if (m_damagedBytes > 0) {
        return LoadResult::DamagedTail;
    }
    return m_frames.isEmpty() ? LoadResult::NoVoiceData : LoadResult::Whole;
}

void CVoiceStream::decodeUpTo(int frame) {
    frame = std::min(frame, totalFrames());
    if (frame <= m_decodedFrames || !m_channel) {
        return;
    }
    m_pcm.resize(static_cast<size_t>(frame) * FRAME_SAMPLES);
    uint8_t rfc[FRAME_BYTES];
    for (; m_decodedFrames < frame; ++m_decodedFrames) {
        const auto* stored = reinterpret_cast<const uint8_t*>(m_frames.constData()) + m_decodedFrames * FRAME_BYTES;
        CG729Decoder::toRfc3551(stored, rfc);
        bcg729Decoder(m_channel.get(), rfc, FRAME_BYTES, CG729Decoder::isErased(stored) ? 1 : 0, 0, 0,
                      m_pcm.data() + static_cast<size_t>(m_decodedFrames) * FRAME_SAMPLES);
    }
}

std::vector<int> CVoiceStream::levels(int buckets) const {
    std::vector<int> out(static_cast<size_t>(std::max(0, buckets)), -1);
    const qint64 total = totalSamples();
    if (buckets <= 0 || total == 0) {
        return out;
    }
    const qint64 decoded = decodedSamples();
    for (int b = 0; b < buckets; ++b) {
        const qint64 from = total * b / buckets;
        const qint64 to = std::max(from + 1, total * (b + 1) / buckets);
        if (to > decoded) {
            break;
        }
        int peak = 0;
        for (qint64 i = from; i < to; ++i) {
            peak = std::max(peak, std::abs(static_cast<int>(m_pcm[static_cast<size_t>(i)])));
        }
        out[static_cast<size_t>(b)] = std::min(peak, 32767);
    }
    return out;
}
