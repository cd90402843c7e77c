#pragma once

#include <cstdint>
#include <vector>

namespace snd {

constexpr int kRate = 44100;

// Fixed-seed generator: every run synthesises identical samples.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : state_(seed ? seed : 0x2545f491u) {}
    // Uniform in [-1, 1).
    float Bipolar();

private:
    std::uint32_t state_;
};

using Mono = std::vector<float>;

struct Stereo {
    Mono left, right;
    explicit Stereo(std::size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}
    std::size_t Frames() const { return left.size(); }
    // pan: -1 left .. +1 right; the tail beyond the end is dropped.
    void Add(const Mono& voice, std::size_t start, float gain, float pan);
};

double MidiToHz(int note);
std::size_t SecondsToFrames(double seconds);

// Plucked string (Karplus-Strong); damping near 1 rings longer.
Mono Pluck(double hz, double seconds, float damping, std::uint32_t seed);
// Linear ramps at both ends so a voice never starts or stops with a click.
void FadeEnds(Mono& voice, double fadeInSeconds, double fadeOutSeconds);
void FadeEnds(Stereo& track, double fadeInSeconds, double fadeOutSeconds);
// Scales so the loudest sample reaches peak.
void Normalise(Mono& voice, float peak);
void Normalise(Stereo& track, float peak);

// Simple one-pole filters, run in place.
class OnePole {
public:
    void SetCutoff(double hz);
    float Lowpass(float x);

private:
    float a_ = 1.0f;
    float y_ = 0.0f;
};

}  // namespace snd
