#include "wav.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>

#include "synth.h"

namespace snd {

namespace {

void Put16(std::ofstream& out, std::uint16_t v) {
    const char b[2] = {static_cast<char>(v & 0xff), static_cast<char>(v >> 8)};
    out.write(b, 2);
}

void Put32(std::ofstream& out, std::uint32_t v) {
    Put16(out, static_cast<std::uint16_t>(v & 0xffff));
    Put16(out, static_cast<std::uint16_t>(v >> 16));
}

std::int16_t ToPcm(float s) {
    const float c = std::clamp(s, -1.0f, 1.0f);
    return static_cast<std::int16_t>(std::lround(c * 32767.0f));
}

}  // namespace

void WriteWav(const std::string& path, const std::vector<const std::vector<float>*>& channels) {
    std::ofstream out(path, std::ios::binary);
    if (!out) throw std::runtime_error("cannot open " + path);
    const auto count = static_cast<std::uint16_t>(channels.size());
    const std::size_t frames = channels.front()->size();
    const auto dataBytes = static_cast<std::uint32_t>(frames * count * 2);
    out.write("RIFF", 4);
    Put32(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, count);
    Put32(out, kRate);
    Put32(out, kRate * count * 2);
    Put16(out, static_cast<std::uint16_t>(count * 2));
    Put16(out, 16);
    out.write("data", 4);
    Put32(out, dataBytes);
    for (std::size_t i = 0; i < frames; ++i)
        for (const auto* ch : channels) Put16(out, static_cast<std::uint16_t>(ToPcm((*ch)[i])));
    out.close();
    if (!out) throw std::runtime_error("failed writing " + path);
}

}  // namespace snd
