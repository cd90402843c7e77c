#include <algorithm>
#include <array>
#include <cmath>

#include "sounds.h"

namespace snd {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBeat = 0.5;  // 120 bpm
constexpr double kEighth = kBeat / 2;
constexpr int kBars = 16;
constexpr int kSlots = 8;  // eighth notes per bar
constexpr int kRest = -1;

struct Chord {
    int root, third, fifth;
};

// Am F Dm E, four times.
constexpr std::array<Chord, 4> kChords{{{45, 48, 52}, {41, 45, 48}, {38, 41, 45}, {40, 44, 47}}};

const Chord& ChordOf(int bar) { return kChords[bar % 4]; }

// clang-format off
constexpr int kMelody[kBars][kSlots] = {
  {76, kRest, 72, kRest, 69, kRest, 72, 76},   {77, kRest, 76, 72, kRest, kRest, 69, kRest},
  {74, kRest, 77, kRest, 81, kRest, 77, 74},   {76, kRest, kRest, 68, 71, kRest, 76, kRest},
  {81, kRest, 79, 76, kRest, kRest, 72, kRest}, {69, 72, 77, kRest, 76, kRest, 72, kRest},
  {74, kRest, kRest, 77, 76, 74, 72, kRest},   {71, kRest, 68, kRest, 64, kRest, kRest, kRest},
  {kRest, kRest, 76, kRest, 81, kRest, 79, kRest}, {77, kRest, 76, kRest, 77, 79, 81, kRest},
  {kRest, kRest, 74, 77, 81, kRest, 77, kRest}, {80, kRest, 76, kRest, 71, kRest, 68, kRest},
  {76, kRest, 72, kRest, 69, kRest, 72, 76},   {77, kRest, 76, 72, kRest, kRest, 69, kRest},
  {74, kRest, 77, kRest, 76, kRest, 74, kRest}, {71, kRest, kRest, kRest, 68, kRest, kRest, kRest},
};
// Bass offsets from the chord root per eighth.
constexpr int kBassLine[kSlots] = {0, kRest, 12, 0, 7, kRest, 12, 0};
// clang-format on

std::size_t At(int bar, double offsetSeconds) { return SecondsToFrames(bar * 4 * kBeat + offsetSeconds); }

Mono Sine(double seconds, double (*hz)(double), double (*amp)(double)) {
    Mono v(SecondsToFrames(seconds));
    double phase = 0.0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double t = double(i) / kRate;
        phase += 2.0 * kPi * hz(t) / kRate;
        v[i] = static_cast<float>(std::sin(phase) * amp(t));
    }
    return v;
}

Mono Kick() {
    return Sine(
        0.35, [](double t) { return 45.0 + 90.0 * std::exp(-t / 0.04); }, [](double t) { return std::exp(-t / 0.18); });
}

Mono NoiseHit(double seconds, double lowCut, double highCut, double decay, std::uint32_t seed) {
    Mono v(SecondsToFrames(seconds));
    Rng rng(seed);
    OnePole high, low;
    high.SetCutoff(highCut);
    low.SetCutoff(lowCut);
    for (std::size_t i = 0; i < v.size(); ++i) {
        const float n = rng.Bipolar();
        v[i] = (high.Lowpass(n) - low.Lowpass(n)) * static_cast<float>(std::exp(-(double(i) / kRate) / decay));
    }
    return v;
}

Mono Snare() {
    Mono v = NoiseHit(0.2, 1000.0, 6000.0, 0.07, 5);
    const Mono tone = Sine(
        0.2, [](double) { return 190.0; }, [](double t) { return 0.4 * std::exp(-t / 0.05); });
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = 2.0f * v[i] + tone[i];
    return v;
}

Mono Hat() { return NoiseHit(0.06, 6000.0, 20000.0, 0.02, 9); }

// Saw through a closing low-pass over a sine sub: a round plucked bass.
Mono BassNote(int midi) {
    const double hz = MidiToHz(midi);
    Mono v(SecondsToFrames(kEighth - 0.01));
    OnePole filter;
    double phase = 0.0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double t = double(i) / kRate;
        phase += hz / kRate;
        phase -= std::floor(phase);
        filter.SetCutoff(250.0 + 1000.0 * std::exp(-t / 0.06));
        const float saw = filter.Lowpass(static_cast<float>(2.0 * phase - 1.0));
        v[i] = static_cast<float>((saw + 0.6 * std::sin(2.0 * kPi * phase)) * std::exp(-t / 0.35));
    }
    FadeEnds(v, 0.004, 0.015);
    return v;
}

// Soft triangle-like tone swelling over one bar.
Mono PadNote(int midi, double detune) {
    const double hz = MidiToHz(midi) * detune;
    Mono v(SecondsToFrames(4 * kBeat));
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double w = 2.0 * kPi * hz * double(i) / kRate;
        v[i] = static_cast<float>(std::sin(w) + std::sin(3.0 * w) / 9.0);
    }
    FadeEnds(v, 0.3, 0.3);
    return v;
}

void AddDrums(Stereo& mix) {
    const Mono k = Kick(), s = Snare(), h = Hat();
    for (int bar = 0; bar < kBars; ++bar) {
        mix.Add(k, At(bar, 0), 0.8f, 0.0f);
        mix.Add(k, At(bar, 2 * kBeat), 0.7f, 0.0f);
        mix.Add(s, At(bar, kBeat), 0.14f, 0.05f);
        mix.Add(s, At(bar, 3 * kBeat), 0.18f, 0.05f);
        for (int e = 0; e < kSlots; ++e) mix.Add(h, At(bar, e * kEighth), e % 2 ? 0.1f : 0.05f, 0.35f);
    }
}

void AddBass(Stereo& mix) {
    for (int bar = 0; bar < kBars; ++bar) {
        const Chord& c = ChordOf(bar);
        for (int e = 0; e < kSlots; ++e) {
            int offset = kBassLine[e];
            if (offset == kRest) continue;
            // G sharp on the last eighth of each E bar pulls back to A.
            if (bar % 4 == 3 && e == kSlots - 1) offset = 4;
            mix.Add(BassNote(c.root + offset), At(bar, e * kEighth), 0.45f, 0.0f);
        }
    }
}

void AddPad(Stereo& mix) {
    for (int bar = 0; bar < kBars; ++bar) {
        const Chord& c = ChordOf(bar);
        for (int note : {c.root + 12, c.third + 12, c.fifth + 12}) {
            mix.Add(PadNote(note, 1.0), At(bar, 0), 0.05f, -0.8f);
            mix.Add(PadNote(note, 1.002), At(bar, 0), 0.05f, 0.8f);
        }
    }
}

// Rings until the next note, at most three eighths, with a ping-pong echo.
void AddMelody(Stereo& mix) {
    for (int bar = 0; bar < kBars; ++bar) {
        for (int e = 0; e < kSlots; ++e) {
            const int note = kMelody[bar][e];
            if (note == kRest) continue;
            int span = 1;
            while (span < 3 && e + span < kSlots && kMelody[bar][e + span] == kRest) ++span;
            Mono v = Pluck(MidiToHz(note), span * kEighth, 0.997f, static_cast<std::uint32_t>(bar * kSlots + e + 1));
            FadeEnds(v, 0.002, 0.03);
            const std::size_t start = At(bar, e * kEighth);
            mix.Add(v, start, 0.5f, 0.25f);
            mix.Add(v, start + SecondsToFrames(3 * kEighth / 2), 0.15f, -0.5f);
            mix.Add(v, start + SecondsToFrames(3 * kEighth), 0.06f, 0.5f);
        }
    }
}

}  // namespace

Stereo MakeDenMusic() {
    Stereo mix(SecondsToFrames(kBars * 4 * kBeat));
    AddDrums(mix);
    AddBass(mix);
    AddPad(mix);
    AddMelody(mix);
    Normalise(mix, 0.89f);
    FadeEnds(mix, 0.002, 0.04);
    return mix;
}

}  // namespace snd
