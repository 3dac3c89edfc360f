#include "CSampleSpeech.h"

#include "CSampleRandom.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Vowel {
    double f1, f2, f3;
};
// Rough formant positions of the five vowels of Japanese (Hz).
constexpr Vowel kVowels[] = {
    {800, 1200, 2500}, {300, 2300, 3000}, {350, 1300, 2400}, {500, 1900, 2500}, {500, 900, 2400}};

// A two-pole resonator whose coefficients are refreshed per block while the formant glides.
struct Resonator {
    double b = 0, c = 0, gain = 0, y1 = 0, y2 = 0;
    void tune(double freq, double bandwidth) {
        const double r = std::exp(-kPi * bandwidth / CSampleSpeech::RATE);
        b = 2 * r * std::cos(2 * kPi * freq / CSampleSpeech::RATE);
        c = -r * r;
        gain = 1 - r;
    }
    double run(double x) {
        const double y = gain * x + b * y1 + c * y2;
        y2 = y1;
        y1 = y;
        return y;
    }
};

// One stretch of the plan: a syllable (consonant onset, then a vowel) or a pause.
struct Segment {
    int64_t length = 0;
    bool pause = true;
    int consonant = 0; // samples of noisy onset
    Vowel vowel{500, 1500, 2500};
    double pitchStart = 120, pitchEnd = 110;
    double loudness = 0;
};

std::vector<Segment> plan(CSampleRandom& rnd, int64_t samples, double basePitch) {
    std::vector<Segment> out;
    int64_t made = 0;
    // A message opens with a short breath of silence.
    Segment lead;
    lead.length = rnd.between(800, 2400);
    out.push_back(lead);
    made += lead.length;
    while (made < samples) {
        const int syllables = rnd.between(3, 10);
        double pitch = basePitch * rnd.range(1.05, 1.2);
        const double fall = basePitch * rnd.range(0.15, 0.3) / syllables;
        for (int i = 0; i < syllables && made < samples; ++i) {
            Segment s;
            s.pause = false;
            s.length = rnd.between(900, 2400);
            s.consonant = rnd.chance(0.7) ? rnd.between(120, 480) : 0;
            const Vowel& v = kVowels[rnd.between(0, 4)];
            s.vowel = {v.f1 * rnd.range(0.93, 1.07), v.f2 * rnd.range(0.93, 1.07), v.f3 * rnd.range(0.95, 1.05)};
            s.pitchStart = pitch;
            pitch -= fall;
            s.pitchEnd = pitch;
            s.loudness = rnd.range(0.55, 1.0) * (i == syllables - 1 ? 0.7 : 1.0);
            out.push_back(s);
            made += s.length;
        }
        Segment gap;
        gap.length = rnd.between(1600, 5600);
        out.push_back(gap);
        made += gap.length;
    }
    return out;
}

} // namespace

std::vector<int16_t> CSampleSpeech::generate(uint64_t seed, int64_t samples, bool femaleVoice) {
    std::vector<int16_t> pcm;
    if (samples <= 0) {
        return pcm;
    }
    pcm.reserve(static_cast<size_t>(samples));
    CSampleRandom rnd(seed);
    const double basePitch = femaleVoice ? rnd.range(190, 240) : rnd.range(100, 135);
    const std::vector<Segment> segments = plan(rnd, samples, basePitch);

    Resonator f1, f2, f3;
    Vowel current{500, 1500, 2500};
    double phase = 0;
    double prevSource = 0;
    double hiss = 0;
    constexpr int kBlock = 40;

    for (const Segment& s : segments) {
        for (int64_t i = 0; i < s.length && static_cast<int64_t>(pcm.size()) < samples; ++i) {
            if (i % kBlock == 0) {
                // Formants glide towards the vowel of the segment, as the tongue moves between sounds.
                const Vowel& target = s.pause ? current : s.vowel;
                current.f1 += (target.f1 - current.f1) * 0.25;
                current.f2 += (target.f2 - current.f2) * 0.25;
                current.f3 += (target.f3 - current.f3) * 0.25;
                f1.tune(current.f1, 90);
                f2.tune(current.f2, 120);
                f3.tune(current.f3, 170);
            }
            const double noise = rnd.range(-1.0, 1.0);
            double out = 0;
            if (s.pause) {
                out = noise * 40;
            } else {
                const double t = static_cast<double>(i) / static_cast<double>(s.length);
                const double pitch = s.pitchStart + (s.pitchEnd - s.pitchStart) * t;
                const double vibrato = 1 + 0.01 * std::sin(2 * kPi * 5.5 * static_cast<double>(i) / RATE);
                phase += pitch * vibrato / RATE;
                // A glottal pulse: a quick rise and a sharper close once per pitch period.
                phase -= std::floor(phase);
                const double pulse = phase < 0.6 ? std::sin(kPi * phase / 0.6) : 0.0;
                const double source = pulse - prevSource; // differentiated flow: a bright, buzzy source
                prevSource = pulse;
                const double attack = std::min(1.0, static_cast<double>(i) / 160.0);
                const double release = std::min(1.0, static_cast<double>(s.length - i) / 320.0);
                // The formants act in parallel so that the higher ones are not buried under the first.
                const double voiced = f1.run(source) * 2.2 + f2.run(source) * 1.3 + f3.run(source) * 0.6;
                double env = s.loudness * attack * release;
                double fricative = 0;
                if (i < s.consonant) {
                    // Consonant onset: hissing noise that gives way to the vowel.
                    hiss = noise - 0.85 * hiss;
                    fricative = hiss * 2500 * (1.0 - static_cast<double>(i) / s.consonant);
                    env *= static_cast<double>(i) / s.consonant;
                }
                out = voiced * 38000 * env + fricative + noise * 40;
            }
            pcm.push_back(static_cast<int16_t>(std::clamp(out, -32000.0, 32000.0)));
        }
    }
    while (static_cast<int64_t>(pcm.size()) < samples) {
        pcm.push_back(0);
    }
    return pcm;
}
