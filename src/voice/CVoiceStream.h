#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

struct bcg729DecoderChannelContextStruct_struct;

// The voice data of one local ".vmdat" decoded in memory, a chunk at a time, with the decoder the conversion uses:
// the samples are those of the WAV file the conversion would write. Decoding goes forward only; what is decoded is
// kept, so a seek back costs nothing and a seek forward decodes up to the new place.
class CVoiceStream {
public:
    enum class LoadResult {
        Whole,       // every frame is whole
        DamagedTail, // the whole frames play; what follows them (a cut frame, a short header) is damaged
        NoVoiceData, // an information-only record, or voice data of no frame at all
        Unreadable,  // the file cannot be opened or read
    };

    static constexpr int SAMPLE_RATE = 8000;

    CVoiceStream();
    ~CVoiceStream();
    CVoiceStream(const CVoiceStream&) = delete;
    CVoiceStream& operator=(const CVoiceStream&) = delete;

    // Reads the file (nothing is decoded yet). A path that is not a ".vmdat" file holds no voice data.
    LoadResult load(const QString& path);
    void clear();

    int totalFrames() const { return static_cast<int>(m_frames.size() / FRAME_BYTES); }
    qint64 totalSamples() const { return qint64(totalFrames()) * FRAME_SAMPLES; }
    // Bytes after the whole frames that cannot be played.
    qint64 damagedBytes() const { return m_damagedBytes; }
    int decodedFrames() const { return m_decodedFrames; }
    qint64 decodedSamples() const { return qint64(m_decodedFrames) * FRAME_SAMPLES; }
    // Decodes every frame before the given one that is not decoded yet.
    void decodeUpTo(int frame);
    const int16_t* samples() const { return m_pcm.data(); }

    // The peak of each of `buckets` equal parts of the whole message, 0..32767; parts not decoded yet are -1.
    std::vector<int> levels(int buckets) const;

private:
    static constexpr int FRAME_BYTES = 10;
    static constexpr int FRAME_SAMPLES = 80;

    struct ChannelDeleter {
        void operator()(bcg729DecoderChannelContextStruct_struct* ctx) const;
    };

    QByteArray m_frames;
    qint64 m_damagedBytes = 0;
    int m_decodedFrames = 0;
    std::vector<int16_t> m_pcm;
    std::unique_ptr<bcg729DecoderChannelContextStruct_struct, ChannelDeleter> m_channel;
};
