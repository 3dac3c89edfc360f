#pragma once

#include <cstdint>
#include <vector>

// Speech-like test audio at 8 kHz: phrases of vowel syllables (three formants over a glottal pulse train with a
// falling pitch contour), short noisy consonant onsets, syllable envelopes, and pauses with a faint noise floor.
// Good enough that a speech codec meets the signal it was made for; the same seed gives the same samples.
class CSampleSpeech {
public:
    static constexpr int RATE = 8000;
    // samples: how many to make (a multiple of 80 gives whole codec frames).
    static std::vector<int16_t> generate(uint64_t seed, int64_t samples, bool femaleVoice = false);
};
