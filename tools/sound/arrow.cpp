#include <cmath>

#include "sounds.h"

namespace snd {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLength = 0.32;

Mono Twang() {
    Mono v = Pluck(165.0, kLength, 0.998f, 17);
    for (std::size_t i = 0; i < v.size(); ++i) v[i] *= static_cast<float>(std::exp(-(double(i) / kRate) / 0.12));
    return v;
}

// Falling sine: the thud of the limbs snapping forward.
Mono Thump() {
    Mono v(SecondsToFrames(kLength));
    double phase = 0.0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double t = double(i) / kRate;
        phase += 2.0 * kPi * (150.0 + 180.0 * std::exp(-t / 0.03)) / kRate;
        v[i] = static_cast<float>(std::sin(phase) * std::exp(-t / 0.05));
    }
    return v;
}

// Band of noise sweeping downward as the arrow leaves.
Mono Whoosh() {
    Mono v(SecondsToFrames(kLength));
    Rng rng(23);
    OnePole high, low;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double t = double(i) / kRate;
        const double centre = 600.0 + 1400.0 * std::exp(-t / 0.08);
        high.SetCutoff(centre * 1.5);
        low.SetCutoff(centre / 1.5);
        const float n = rng.Bipolar();
        const float band = high.Lowpass(n) - low.Lowpass(n);
        const double rise = std::min(1.0, t / 0.06);
        const double fall = t < 0.06 ? 1.0 : std::pow(std::max(0.0, 1.0 - (t - 0.06) / (kLength - 0.06)), 2.0);
        v[i] = static_cast<float>(band * rise * fall);
    }
    return v;
}

}  // namespace

Mono MakeArrowRelease() {
    const Mono a = Twang(), b = Thump(), c = Whoosh();
    Mono out(a.size());
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = 0.8f * a[i] + 0.5f * b[i] + 1.0f * c[i];
    Normalise(out, 0.8f);
    FadeEnds(out, 0.003, 0.015);
    return out;
}

}  // namespace snd
