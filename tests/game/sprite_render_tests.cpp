// Sprites drawn through the real path: effect file, input layout, Sprite::Draw with the pixel frame matrix.
#include <sprite.h>

#include <memory>

#include "render_fixture.h"

namespace {

// Unique per texel of a 96 × 32 strip, opaque.
Texel StripTexel(UINT x, UINT y) { return {uint8_t(x * 2), uint8_t(y * 4), 200, 255}; }

class SpriteRenderTest : public RenderFixture {
protected:
    std::unique_ptr<Sprite> MakeSprite(float x, float y, USHORT width, USHORT height,
                                       std::vector<Sprite::Frame*> list) {
        return std::make_unique<Sprite>(XMVectorSet(x, y, 0, 0), XMVectorSet(1, 1, 0, 0), width, height, 0.1f, list,
                                        0.25f, gpu.device, 0.0f);
    }

    // Counts pixels of the sprite's 32 × 32 square that differ from the expected texel, and pixels outside it that
    // differ from the clear colour. The square's top-left pixel is (left, top) in target rows, top first.
    size_t Mismatches(const d3d11_test::Pixels& pixels, UINT left, UINT top, UINT size,
                      const std::function<Texel(UINT, UINT)>& expected) {
        size_t wrong = 0;
        for (UINT y = 0; y < kHeight; ++y) {
            for (UINT x = 0; x < kWidth; ++x) {
                const bool inside = x >= left && x < left + size && y >= top && y < top + size;
                const Texel want = inside ? expected(x - left, y - top) : Texel{0, 0, 0, 0};
                wrong += pixels.At(x, y) != want;
            }
        }
        return wrong;
    }
};

TEST_F(SpriteRenderTest, FrameOfAStripLandsOnExactlyItsPixelsWithItsTexels) {
    ID3D11ShaderResourceView* strip = MakeTexture(96, 32, StripTexel);
    Sprite::Frame frames[3] = {{strip, 0, 0, 96, 32}, {strip, 32, 0, 96, 32}, {strip, 64, 0, 96, 32}};
    auto sprite = MakeSprite(40, 30, 32, 32, {&frames[0], &frames[1], &frames[2]});
    sprite->Play(true);
    sprite->Update(0.3f);
    ASSERT_EQ(sprite->GetCurrentFrame(), 1);

    Clear(0, 0, 0, 0);
    sprite->Draw(frame, gpu.context, &effect);
    // Centre (40, 30) with y up in a 64-pixel-high target: columns 24..55, rows 64 - 46 = 18..49.
    EXPECT_EQ(Mismatches(Pixels(), 24, 18, 32, [](UINT x, UINT y) { return StripTexel(32 + x, y); }), 0u);
}

TEST_F(SpriteRenderTest, NegativeXScaleMirrorsAboutTheCentre) {
    ID3D11ShaderResourceView* strip = MakeTexture(96, 32, StripTexel);
    Sprite::Frame frame0 = {strip, 0, 0, 96, 32};
    auto sprite = MakeSprite(40, 30, 32, 32, {&frame0});
    sprite->SetScale(XMVectorSet(-1, 1, 0, 0));
    Clear(0, 0, 0, 0);
    sprite->Draw(frame, gpu.context, &effect);
    EXPECT_EQ(Mismatches(Pixels(), 24, 18, 32, [](UINT x, UINT y) { return StripTexel(31 - x, y); }), 0u);
}

TEST_F(SpriteRenderTest, TranslucentTexelsBlendOverWhatWasDrawnBefore) {
    ID3D11ShaderResourceView* red = MakeTexture(32, 32, [](UINT, UINT) { return Texel{255, 0, 0, 128}; });
    Sprite::Frame frame0 = {red, 0, 0, 32, 32};
    auto sprite = MakeSprite(64, 32, 32, 32, {&frame0});
    Clear(0, 0, 1, 1);
    sprite->Draw(frame, gpu.context, &effect);
    const d3d11_test::Pixels pixels = Pixels();
    const Texel mixed = pixels.At(64, 32);
    EXPECT_NEAR(mixed[0], 128, 2);
    EXPECT_EQ(mixed[1], 0);
    EXPECT_NEAR(mixed[2], 127, 2);
    EXPECT_EQ(pixels.At(10, 10), (Texel{0, 0, 255, 255}));
}

TEST_F(SpriteRenderTest, BarLargerThanItsTextureRepeatsIt) {
    ID3D11ShaderResourceView* tile = MakeTexture(32, 8, [](UINT x, UINT y) {
        return Texel{uint8_t(x * 8), uint8_t(y * 32), 9, 255};
    });
    Sprite::Frame frame0 = {tile, 0, 0, 32, 8};
    auto bar = MakeSprite(60, 40, 96, 16, {&frame0});
    Clear(0, 0, 0, 0);
    bar->Draw(frame, gpu.context, &effect);
    // Columns 12..107, rows 64 - 48 = 16..31: three tiles across, two down.
    const d3d11_test::Pixels pixels = Pixels();
    size_t wrong = 0;
    for (UINT y = 16; y < 32; ++y) {
        for (UINT x = 12; x < 108; ++x)
            wrong += pixels.At(x, y) != (Texel{uint8_t((x - 12) % 32 * 8), uint8_t((y - 16) % 8 * 32), 9, 255});
    }
    EXPECT_EQ(wrong, 0u);
    EXPECT_EQ(pixels.At(11, 20), (Texel{0, 0, 0, 0}));
    EXPECT_EQ(pixels.At(108, 20), (Texel{0, 0, 0, 0}));
}

}  // namespace
