#include "synth.h"

#include <algorithm>
#include <cmath>

namespace snd {

namespace {
constexpr double kPi = 3.14159265358979323846;
}

float Rng::Bipolar() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<float>(state_ >> 8) / static_cast<float>(1u << 23) - 1.0f;
}

void Stereo::Add(const Mono& voice, std::size_t start, float gain, float pan) {
    // Constant-power pan keeps loudness steady across the field.
    const double angle = (pan + 1.0) * kPi / 4.0;
    const float gl = gain * static_cast<float>(std::cos(angle));
    const float gr = gain * static_cast<float>(std::sin(angle));
    for (std::size_t i = 0; i < voice.size() && start + i < Frames(); ++i) {
        left[start + i] += voice[i] * gl;
        right[start + i] += voice[i] * gr;
    }
}

double MidiToHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

std::size_t SecondsToFrames(double seconds) { return static_cast<std::size_t>(std::lround(seconds * kRate)); }

Mono Pluck(double hz, double seconds, float damping, std::uint32_t seed) {
    const std::size_t period = std::max<std::size_t>(2, static_cast<std::size_t>(std::lround(kRate / hz)));
    Rng rng(seed);
    Mono ring(period);
    for (float& s : ring) s = rng.Bipolar();
    // Softening the burst once takes the harsh edge off the attack.
    for (std::size_t i = period - 1; i > 0; --i) ring[i] = 0.5f * (ring[i] + ring[i - 1]);
    Mono out(SecondsToFrames(seconds));
    std::size_t pos = 0;
    for (float& s : out) {
        const std::size_t next = (pos + 1) % period;
        s = ring[pos];
        ring[pos] = damping * 0.5f * (ring[pos] + ring[next]);
        pos = next;
    }
    return out;
}

void FadeEnds(Mono& voice, double fadeInSeconds, double fadeOutSeconds) {
    const std::size_t in = std::min(voice.size(), SecondsToFrames(fadeInSeconds));
    const std::size_t out = std::min(voice.size(), SecondsToFrames(fadeOutSeconds));
    for (std::size_t i = 0; i < in; ++i) voice[i] *= static_cast<float>(i) / in;
    for (std::size_t i = 0; i < out; ++i) voice[voice.size() - 1 - i] *= static_cast<float>(i) / out;
}

void FadeEnds(Stereo& track, double fadeInSeconds, double fadeOutSeconds) {
    FadeEnds(track.left, fadeInSeconds, fadeOutSeconds);
    FadeEnds(track.right, fadeInSeconds, fadeOutSeconds);
}

namespace {
float PeakOf(const Mono& v) {
    float p = 0.0f;
    for (float s : v) p = std::max(p, std::fabs(s));
    return p;
}
void Scale(Mono& v, float k) {
    for (float& s : v) s *= k;
}
}  // namespace

void Normalise(Mono& voice, float peak) {
    const float p = PeakOf(voice);
    if (p > 0.0f) Scale(voice, peak / p);
}

void Normalise(Stereo& track, float peak) {
    const float p = std::max(PeakOf(track.left), PeakOf(track.right));
    if (p <= 0.0f) return;
    Scale(track.left, peak / p);
    Scale(track.right, peak / p);
}

void OnePole::SetCutoff(double hz) { a_ = static_cast<float>(1.0 - std::exp(-2.0 * kPi * hz / kRate)); }

float OnePole::Lowpass(float x) {
    y_ += a_ * (x - y_);
    return y_;
}

}  // namespace snd
