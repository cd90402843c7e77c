// The serialised effect: round trip, and hostile bytes rejected without reading past the buffer.
#include <gtest/gtest.h>

#include "compiled_effect.h"
#include "effect_test_util.h"

namespace {

std::vector<uint8_t> LightingBytes() {
    fxtest::Compiled c = fxtest::CompileFile("FX/lighting.fx");
    EXPECT_EQ(c.hr, S_OK) << c.messages;
    return c.bytes;
}

}  // namespace

TEST(EffectBlob, RoundTripsAndRejectsEveryTruncation) {
    std::vector<uint8_t> bytes = LightingBytes();
    fx::CompiledEffect e;
    ASSERT_TRUE(fx::Deserialise(bytes.data(), bytes.size(), &e));
    EXPECT_EQ(fx::Serialise(e), bytes);
    for (size_t n = 0; n < bytes.size(); ++n) {
        // A copy of exactly n bytes lets a sanitizer catch any read past the end.
        std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + n);
        ASSERT_FALSE(fx::Deserialise(prefix.data(), prefix.size(), &e)) << n;
    }
}

TEST(EffectBlob, CorruptedBytesNeverCrash) {
    std::vector<uint8_t> bytes = LightingBytes();
    fx::CompiledEffect e;
    for (size_t i = 0; i < bytes.size(); ++i) {
        for (uint8_t value : {uint8_t(0x00), uint8_t(0xFF), uint8_t(0x7F)}) {
            std::vector<uint8_t> bad = bytes;
            bad[i] = value;
            fx::Deserialise(bad.data(), bad.size(), &e);
        }
    }
    const char garbage[] = "this is not an effect";
    EXPECT_FALSE(fx::Deserialise(garbage, sizeof garbage, &e));
    EXPECT_FALSE(fx::Deserialise(nullptr, 0, &e));
}

TEST(EffectBlob, CreationRejectsMissingArguments) {
    ID3DX11Effect* effect = reinterpret_cast<ID3DX11Effect*>(1);
    EXPECT_EQ(D3DX11CreateEffectFromMemory(nullptr, 0, 0, nullptr, &effect), E_INVALIDARG);
    EXPECT_EQ(effect, nullptr);
    EXPECT_EQ(D3DX11CreateEffectFromMemory(nullptr, 0, 0, nullptr, nullptr), E_INVALIDARG);
}
