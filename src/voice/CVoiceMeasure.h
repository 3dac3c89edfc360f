#pragma once

#include <QtGlobal>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class CVoiceStream;

// What the player and the list need to know of one message's decoded voice data: how loud it is (integrated
// loudness after ITU-R BS.1770, measured by libebur128), its highest sample, and where its speech is.
//
// Speech is found by an energy rule on the decoder's 10 ms frames, whose thresholds are these:
// - a frame's level is the mean square of its 80 samples in dB below full scale (dBFS);
// - the noise floor is the 10th percentile of the frames' levels, a level below -70 dBFS counting as -70 dBFS;
// - a frame is loud when it is more than 10 dB above the floor and above -60 dBFS;
// - a run of fewer than 3 loud frames in a row (a click) is not speech, nor is a run of 30 frames or more whose
//   levels spread less than 6 dB (from their 10th to their 90th percentile): speech rises and falls with its
//   syllables, a line noise that starts after a silence stays level;
// - speech is every loud run that is left and the 5 frames before and 20 after it (word onsets and tails).
// A steady line noise stays within a dB or two of its own floor, so a message of noise alone has no speech.
class CVoiceMeasure {
public:
    static constexpr double FLOOR_PERCENTILE = 0.10;
    static constexpr double SILENT_FRAME_DBFS = -70.0;
    static constexpr double ABOVE_FLOOR_DB = 10.0;
    static constexpr double MIN_LOUD_DBFS = -60.0;
    static constexpr int MIN_BURST_FRAMES = 3;
    static constexpr int LEVEL_RUN_FRAMES = 30;
    static constexpr double MIN_SPREAD_DB = 6.0;
    static constexpr int LEAD_FRAMES = 5;
    static constexpr int HANG_FRAMES = 20;
    // A stretch without speech longer than this is a gap the player may shorten, to GAP_KEPT_FRAMES.
    static constexpr int GAP_FRAMES = 50;
    static constexpr int GAP_KEPT_FRAMES = 30;
    // A message with less speech than this is an empty call (a caller who hung up at the tone).
    static constexpr qint64 EMPTY_CALL_MS = 500;

    // The levelling of the player: the gain that brings a message to the target, but never so much that its
    // highest sample would clip (a sample-peak limit) and never more than MAX_GAIN_DB.
    static constexpr double TARGET_LUFS = -18.0;
    static constexpr double MAX_GAIN_DB = 20.0;

    struct Figures {
        // -inf when nothing in the message rises above the measurement's absolute gate (-70 LUFS).
        double loudnessLufs = -HUGE_VAL;
        // -inf for a message of digital silence.
        double peakDbfs = -HUGE_VAL;
        qint64 speechMs = 0;
        qint64 totalMs = 0;
        // Stretches without speech of more than GAP_FRAMES, as [first frame, one past the last).
        std::vector<std::pair<int, int>> gaps;

        bool isEmptyCall() const { return speechMs < EMPTY_CALL_MS; }
        bool operator==(const Figures&) const = default;
    };

    CVoiceMeasure();
    ~CVoiceMeasure();
    CVoiceMeasure(const CVoiceMeasure&) = delete;
    CVoiceMeasure& operator=(const CVoiceMeasure&) = delete;

    // Takes the next samples of the message; a part-frame at the end of a call waits for the next call.
    void add(const int16_t* samples, qint64 count);
    // The figures of everything added; the measure then starts over.
    Figures finish();

    // Decodes every frame of a loaded stream (what is decoded is kept) and measures it.
    static Figures measure(CVoiceStream& stream);
    // The gain in dB the player applies to a message of these figures.
    static double levellingGainDb(const Figures& f, double targetLufs = TARGET_LUFS, double maxGainDb = MAX_GAIN_DB);
    // Which frames are speech, by the rule above, for the levels (dBFS) of consecutive 10 ms frames.
    static std::vector<bool> speechFrames(const std::vector<float>& frameDbfs);

private:
    // The library's measuring state (its type has no name to declare here).
    struct Meter;
    void reset();

    std::unique_ptr<Meter> m_meter;
    std::vector<float> m_frameDbfs;
    std::vector<int16_t> m_part;
    int m_peak = 0;
};
