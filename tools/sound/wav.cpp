#include "wav.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>

#include "synth.hpp"

namespace snd {

namespace {

void put16(std::ofstream& out, std::uint16_t v) {
    const char b[2] = {static_cast<char>(v & 0xff), static_cast<char>(v >> 8)};
    out.write(b, 2);
}

void put32(std::ofstream& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v & 0xffff));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

std::int16_t toPcm(float s) {
    const float c = std::clamp(s, -1.0f, 1.0f);
    return static_cast<std::int16_t>(std::lround(c * 32767.0f));
}

}  // namespace

void writeWav(const std::string& path, const std::vector<const std::vector<float>*>& channels) {
    std::ofstream out(path, std::ios::binary);
    if (!out) throw std::runtime_error("cannot open " + path);
    const auto count = static_cast<std::uint16_t>(channels.size());
    const std::size_t frames = channels.front()->size();
    const auto dataBytes = static_cast<std::uint32_t>(frames * count * 2);
    out.write("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);
    put16(out, count);
    put32(out, kRate);
    put32(out, kRate * count * 2);
    put16(out, static_cast<std::uint16_t>(count * 2));
    put16(out, 16);
    out.write("data", 4);
    put32(out, dataBytes);
    for (std::size_t i = 0; i < frames; ++i)
        for (const auto* ch : channels) put16(out, static_cast<std::uint16_t>(toPcm((*ch)[i])));
    if (!out) throw std::runtime_error("failed writing " + path);
}

}  // namespace snd
