#include "voice/CVoiceMeasure.h"

#include "voice/CVoiceStream.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int FRAME_SAMPLES = 80;
// Frames decoded and measured at a time by measure(): small enough to stay in the cache between the two.
constexpr int MEASURE_CHUNK_FRAMES = 50;

float frameLevel(const int16_t* s) {
    int64_t sum = 0;
    for (int i = 0; i < FRAME_SAMPLES; ++i) {
        sum += int32_t(s[i]) * s[i];
    }
    if (sum == 0) {
        return -HUGE_VALF;
    }
    const double meanSquare = double(sum) / FRAME_SAMPLES / (32768.0 * 32768.0);
    return static_cast<float>(10.0 * std::log10(meanSquare));
}

} // namespace

struct CVoiceMeasure::Meter {
    ebur128_state* state = ebur128_init(1, 8000, EBUR128_MODE_I);
    Meter() = default;
    Meter(const Meter&) = delete;
    Meter& operator=(const Meter&) = delete;
    ~Meter() {
        if (state) {
            ebur128_destroy(&state);
        }
    }
};

CVoiceMeasure::CVoiceMeasure() {
    reset();
}

CVoiceMeasure::~CVoiceMeasure() = default;

void CVoiceMeasure::reset() {
    m_meter = std::make_unique<Meter>();
    m_frameDbfs.clear();
    m_part.clear();
    m_peak = 0;
}

void CVoiceMeasure::add(const int16_t* samples, qint64 count) {
    if (count <= 0) {
        return;
    }
    if (m_meter->state) {
        ebur128_add_frames_short(m_meter->state, samples, static_cast<size_t>(count));
    }
    for (qint64 i = 0; i < count; ++i) {
        m_peak = std::max(m_peak, std::abs(int(samples[i])));
    }
    qint64 i = 0;
    if (!m_part.empty()) {
        while (i < count && m_part.size() < FRAME_SAMPLES) {
            m_part.push_back(samples[i++]);
        }
        if (m_part.size() < FRAME_SAMPLES) {
            return;
        }
        m_frameDbfs.push_back(frameLevel(m_part.data()));
        m_part.clear();
    }
    for (; i + FRAME_SAMPLES <= count; i += FRAME_SAMPLES) {
        m_frameDbfs.push_back(frameLevel(samples + i));
    }
    m_part.assign(samples + i, samples + count);
}

std::vector<bool> CVoiceMeasure::speechFrames(const std::vector<float>& level) {
    const size_t n = level.size();
    auto percentile = [](std::vector<float>& v, double p) {
        const auto nth = v.begin() + static_cast<std::ptrdiff_t>(double(v.size() - 1) * p);
        std::nth_element(v.begin(), nth, v.end());
        return double(*nth);
    };
    double threshold = MIN_LOUD_DBFS;
    if (n > 0) {
        std::vector<float> clamped(level);
        for (float& l : clamped) {
            l = std::max(l, float(SILENT_FRAME_DBFS));
        }
        threshold = std::max(threshold, percentile(clamped, FLOOR_PERCENTILE) + ABOVE_FLOOR_DB);
    }
    std::vector<float> run;
    std::vector<bool> speech(n, false);
    size_t i = 0;
    while (i < n) {
        if (level[i] <= threshold) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < n && level[end] > threshold) {
            ++end;
        }
        bool isSpeech = end - i >= size_t(MIN_BURST_FRAMES);
        if (isSpeech && end - i >= size_t(LEVEL_RUN_FRAMES)) {
            run.assign(level.begin() + static_cast<std::ptrdiff_t>(i),
                       level.begin() + static_cast<std::ptrdiff_t>(end));
            isSpeech = percentile(run, 0.9) - percentile(run, 0.1) >= MIN_SPREAD_DB;
        }
        if (isSpeech) {
            const size_t from = i >= size_t(LEAD_FRAMES) ? i - LEAD_FRAMES : 0;
            const size_t to = std::min(n, end + HANG_FRAMES);
            std::fill(speech.begin() + static_cast<std::ptrdiff_t>(from),
                      speech.begin() + static_cast<std::ptrdiff_t>(to), true);
        }
        i = end;
    }
    return speech;
}

CVoiceMeasure::Figures CVoiceMeasure::finish() {
    Figures f;
    const qint64 samples = qint64(m_frameDbfs.size()) * FRAME_SAMPLES + qint64(m_part.size());
    f.totalMs = samples * 1000 / 8000;
    double loudness = -HUGE_VAL;
    if (m_meter->state && ebur128_loudness_global(m_meter->state, &loudness) == EBUR128_SUCCESS) {
        f.loudnessLufs = loudness;
    }
    f.peakDbfs = m_peak > 0 ? 20.0 * std::log10(double(m_peak) / 32768.0) : -HUGE_VAL;
    const std::vector<bool> speech = speechFrames(m_frameDbfs);
    const int frames = static_cast<int>(speech.size());
    int spoken = 0;
    for (int i = 0; i < frames;) {
        if (speech[static_cast<size_t>(i)]) {
            ++spoken;
            ++i;
            continue;
        }
        int end = i;
        while (end < frames && !speech[static_cast<size_t>(end)]) {
            ++end;
        }
        if (end - i > GAP_FRAMES) {
            f.gaps.emplace_back(i, end);
        }
        i = end;
    }
    f.speechMs = qint64(spoken) * 10;
    reset();
    return f;
}

CVoiceMeasure::Figures CVoiceMeasure::measure(CVoiceStream& stream) {
    CVoiceMeasure m;
    const int total = stream.totalFrames();
    for (int at = 0; at < total; at += MEASURE_CHUNK_FRAMES) {
        const int to = std::min(total, at + MEASURE_CHUNK_FRAMES);
        stream.decodeUpTo(to);
        m.add(stream.samples() + qint64(at) * FRAME_SAMPLES, qint64(to - at) * FRAME_SAMPLES);
    }
    return m.finish();
}

double CVoiceMeasure::levellingGainDb(const Figures& f, double targetLufs, double maxGainDb) {
    if (!std::isfinite(f.loudnessLufs) || !std::isfinite(f.peakDbfs)) {
        return 0.0;
    }
    // The highest sample may reach just below full scale, which the 16-bit output can still hold.
    const double headroom = -f.peakDbfs - 0.1;
    return std::min({targetLufs - f.loudnessLufs, std::max(0.0, headroom), maxGainDb});
}
