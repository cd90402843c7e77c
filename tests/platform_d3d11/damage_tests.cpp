// Frames presented from a swap chain are drawn only where they changed. These scenes change in every way a frame
// can (sprites appearing, moving and recoloured, textures replaced, updated and rendered to, states, scissors and
// clear colours changing) while the check draws every frame whole as well and compares the bytes.
#include <platform_hooks.h>
#include <random>
#include "d3d11/damage.h"
#include "layer_fixture.h"

namespace d3d11_test {
namespace {

constexpr UINT kWidth = 64, kHeight = 48;

constexpr const char* kSpriteVertexShader =
    "#version 450\n"
    "layout(location = 0) in vec3 pos;\n"
    "layout(location = 1) in vec4 colour;\n"
    "layout(binding = 0, std140) uniform Move { vec4 move; };\n"
    "out vec4 c;\n"
    "out vec2 uv;\n"
    "void main() {\n"
    "    gl_Position = vec4(pos.xy * move.z + move.xy, pos.z, 1.0);\n"
    "    c = colour;\n"
    "    uv = pos.xy * 2.0 + 0.5;\n"
    "}\n";

constexpr const char* kSpritePixelShader =
    "#version 450\n"
    "layout(binding = 0) uniform sampler2D image;\n"
    "in vec4 c;\n"
    "in vec2 uv;\n"
    "layout(location = 0) out vec4 o;\n"
    "void main() { o = texture(image, uv) * c; }\n";

// A quad a quarter of the picture wide around the origin, in one colour.
std::vector<Vertex> Quad(float r, float g, float b, float a) {
    const float s = 0.25f;
    const Vertex corners[4] = {
        {-s, s, 0.5f, r, g, b, a}, {s, s, 0.5f, r, g, b, a}, {s, -s, 0.5f, r, g, b, a}, {-s, -s, 0.5f, r, g, b, a}};
    return {corners[0], corners[1], corners[2], corners[0], corners[2], corners[3]};
}

class DamageTest : public LayerTest {
protected:
    void SetUp() override {
        D3D11Test::SetUp();
        window = MakeWindow(int(kWidth), int(kHeight));
        ASSERT_NE(window, nullptr);
        ASSERT_EQ(CreateSwapChain(window, kWidth, kHeight, &swapChain), S_OK);
        ASSERT_EQ(swapChain->GetBuffer(0, __uuidof(ID3D11Texture2D), reinterpret_cast<void**>(&backBuffer)), S_OK);
        ASSERT_EQ(device->CreateRenderTargetView(backBuffer, nullptr, &backView), S_OK);
        platform::SetDamageCheck(true);
    }
    void TearDown() override {
        platform::SetDamageCheck(false);
        context->ClearState();
        for (ID3D11Buffer*& b : quads) SafeRelease(b);
        for (ID3D11ShaderResourceView*& v : images) SafeRelease(v);
        for (ID3D11Texture2D*& t : textures) SafeRelease(t);
        for (ID3D11SamplerState*& s : samplers) SafeRelease(s);
        SafeRelease(alphaBlend);
        SafeRelease(scissored);
        SafeRelease(move);
        SafeRelease(painted);
        SafeRelease(backView);
        SafeRelease(backBuffer);
        SafeRelease(swapChain);
        DestroyWindow(window);
        D3D11Test::TearDown();
    }

    void MakeScene() {
        UseColourProgram();
        UseShaders(kSpriteVertexShader, kSpritePixelShader);
        context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
        move = ConstantBuffer(16);
        for (ID3D11Buffer*& quad : quads) {
            const std::vector<Vertex> vertices = Quad(1, 1, 1, 1);
            D3D11_BUFFER_DESC desc = {
                UINT(vertices.size() * sizeof(Vertex)), D3D11_USAGE_DEFAULT, D3D11_BIND_VERTEX_BUFFER, 0, 0, 0};
            D3D11_SUBRESOURCE_DATA data = {vertices.data(), 0, 0};
            ASSERT_EQ(device->CreateBuffer(&desc, &data, &quad), S_OK);
        }
        for (size_t i = 0; i < textures.size(); ++i) {
            ID3D11RenderTargetView* unused = nullptr;
            MakeTarget(8, 8, &textures[i], &unused);
            ASSERT_EQ(device->CreateShaderResourceView(textures[i], nullptr, &images[i]), S_OK);
            if (i + 1 == textures.size()) {
                painted = unused;
            } else {
                unused->Release();
                Paint(i);
            }
        }
        D3D11_SAMPLER_DESC point = SamplerDesc(D3D11_FILTER_MIN_MAG_MIP_POINT, D3D11_TEXTURE_ADDRESS_WRAP);
        D3D11_SAMPLER_DESC linear = SamplerDesc(D3D11_FILTER_MIN_MAG_MIP_LINEAR, D3D11_TEXTURE_ADDRESS_CLAMP);
        ASSERT_EQ(device->CreateSamplerState(&point, &samplers[0]), S_OK);
        ASSERT_EQ(device->CreateSamplerState(&linear, &samplers[1]), S_OK);
        D3D11_BLEND_DESC blend = {};
        blend.RenderTarget[0] = AddedBlend(D3D11_BLEND_SRC_ALPHA, D3D11_BLEND_INV_SRC_ALPHA);
        ASSERT_EQ(device->CreateBlendState(&blend, &alphaBlend), S_OK);
        D3D11_RASTERIZER_DESC raster = {D3D11_FILL_SOLID, D3D11_CULL_NONE, FALSE, 0, 0, 0, TRUE, TRUE, FALSE, FALSE};
        ASSERT_EQ(device->CreateRasterizerState(&raster, &scissored), S_OK);
    }

    // Texels of a pattern that differs with `seed`.
    void Paint(size_t index, uint32_t seed = 0) {
        std::vector<uint8_t> texels(8 * 8 * 4);
        for (size_t i = 0; i < texels.size(); ++i) texels[i] = uint8_t((i * 37 + index * 91 + seed * 13) % 256 | 64);
        context->UpdateSubresource(textures[index], 0, nullptr, texels.data(), 8 * 4, 0);
    }

    void BindBackBuffer() {
        context->OMSetRenderTargets(1, &backView, nullptr);
        const D3D11_VIEWPORT viewport = {0, 0, float(kWidth), float(kHeight), 0, 1};
        context->RSSetViewports(1, &viewport);
    }

    void DrawSprite(size_t quad, float x, float y, float scale) {
        const float values[4] = {x, y, scale, 0};
        context->UpdateSubresource(move, 0, nullptr, values, 0, 0);
        context->VSSetConstantBuffers(0, 1, &move);
        const UINT stride = sizeof(Vertex), offset = 0;
        context->IASetVertexBuffers(0, 1, &quads[quad], &stride, &offset);
        context->Draw(6, 0);
    }

    // Draws into the texture the last image shows, as a game draws into a texture it samples later.
    void RenderToTexture(float shade) {
        const FLOAT colour[4] = {shade, 1 - shade, 0.5f, 1};
        context->ClearRenderTargetView(painted, colour);
        context->OMSetRenderTargets(1, &painted, nullptr);
        const D3D11_VIEWPORT viewport = {0, 0, 8, 8, 0, 1};
        context->RSSetViewports(1, &viewport);
        context->PSSetShaderResources(0, 1, &images[0]);
        DrawSprite(0, 0.3f, -0.2f, 2.0f);
        BindBackBuffer();
    }

    HWND window = nullptr;
    IDXGISwapChain* swapChain = nullptr;
    ID3D11Texture2D* backBuffer = nullptr;
    ID3D11RenderTargetView* backView = nullptr;
    ID3D11Buffer* move = nullptr;
    std::array<ID3D11Buffer*, 4> quads{};
    std::array<ID3D11Texture2D*, 3> textures{};
    std::array<ID3D11ShaderResourceView*, 3> images{};
    std::array<ID3D11SamplerState*, 2> samplers{};
    ID3D11RenderTargetView* painted = nullptr;
    ID3D11BlendState* alphaBlend = nullptr;
    ID3D11RasterizerState* scissored = nullptr;
};

TEST_F(DamageTest, RandomScenesDrawnOnlyWhereTheyChangedMatchWholeFrames) {
    MakeScene();
    std::mt19937 random(20261209);
    auto chance = [&random](int percent) { return int(random() % 100) < percent; };
    auto uniform = [&random](float low, float high) { return low + (high - low) * float(random() % 1000) / 1000.0f; };
    struct Sprite {
        bool shown = true;
        float x = 0, y = 0, scale = 1;
        size_t image = 0, sampler = 0;
        bool blended = false;
    };
    std::array<Sprite, 6> sprites;
    for (size_t i = 0; i < sprites.size(); ++i)
        sprites[i] = {true, uniform(-0.8f, 0.8f), uniform(-0.8f, 0.8f), 1, i % 3};
    FLOAT background[4] = {0.2f, 0.3f, 0.4f, 1};
    constexpr int kFrames = 160;
    for (int frame = 0; frame < kFrames; ++frame) {
        if (chance(5)) background[0] = uniform(0, 1);
        if (chance(10)) RenderToTexture(uniform(0, 1));
        if (chance(8)) Paint(size_t(random() % 2), uint32_t(frame));
        BindBackBuffer();
        context->ClearRenderTargetView(backView, background);
        for (size_t i = 0; i < sprites.size(); ++i) {
            Sprite& s = sprites[i];
            if (chance(5)) s.shown = !s.shown;
            if (chance(40)) s.x += uniform(-0.05f, 0.05f);
            if (chance(40)) s.y += uniform(-0.05f, 0.05f);
            if (chance(5)) s.scale = uniform(0.5f, 2.0f);
            if (chance(5)) s.image = size_t(random() % images.size());
            if (chance(5)) s.sampler = size_t(random() % samplers.size());
            if (chance(5)) s.blended = !s.blended;
            if (chance(3)) {
                const std::vector<Vertex> recoloured = Quad(uniform(0, 1), uniform(0, 1), uniform(0, 1), 0.6f);
                context->UpdateSubresource(quads[i % quads.size()], 0, nullptr, recoloured.data(), 0, 0);
            }
            if (!s.shown) continue;
            context->PSSetShaderResources(0, 1, &images[s.image]);
            context->PSSetSamplers(0, 1, &samplers[s.sampler]);
            context->OMSetBlendState(s.blended ? alphaBlend : nullptr, nullptr, 0xffffffff);
            const bool clipped = i == 2 && frame % 40 > 30;
            context->RSSetState(clipped ? scissored : nullptr);
            const D3D11_RECT scissor = {LONG(frame % 17), 5, LONG(30 + frame % 9), 40};
            context->RSSetScissorRects(1, &scissor);
            DrawSprite(i % quads.size(), s.x, s.y, s.scale);
        }
        ASSERT_EQ(swapChain->Present(0, 0), S_OK);
    }
    EXPECT_EQ(platform::DamageCheckDifferences(), 0u);
    // Most frames are compared: only those after a write to something drawn earlier in them are drawn whole.
    EXPECT_GT(platform::DamageCheckedFrames(), uint64_t(kFrames / 2));
}

TEST_F(DamageTest, StillFramesAndFramesAfterAResizeAreComparedAndMatch) {
    MakeScene();
    const FLOAT grey[4] = {0.5f, 0.5f, 0.5f, 1};
    auto frame = [&](float x) {
        BindBackBuffer();
        context->ClearRenderTargetView(backView, grey);
        context->PSSetShaderResources(0, 1, &images[0]);
        context->PSSetSamplers(0, 1, &samplers[0]);
        DrawSprite(0, x, 0, 1);
        ASSERT_EQ(swapChain->Present(0, 0), S_OK);
    };
    frame(0);
    frame(0);
    frame(0.1f);
    context->OMSetRenderTargets(0, nullptr, nullptr);
    SafeRelease(backView);
    SafeRelease(backBuffer);
    ASSERT_EQ(swapChain->ResizeBuffers(1, kWidth / 2, kHeight / 2, DXGI_FORMAT_UNKNOWN, 0), S_OK);
    ASSERT_EQ(swapChain->GetBuffer(0, __uuidof(ID3D11Texture2D), reinterpret_cast<void**>(&backBuffer)), S_OK);
    ASSERT_EQ(device->CreateRenderTargetView(backBuffer, nullptr, &backView), S_OK);
    frame(0.1f);
    frame(-0.3f);
    EXPECT_EQ(platform::DamageCheckDifferences(), 0u);
    EXPECT_EQ(platform::DamageCheckedFrames(), 3u) << "the first frame and the first after the resize are whole";
}

// The pieces of a damage never overlap and cover every pixel added; near rectangles are joined, far ones not.
TEST(DamageRects, PiecesAreDisjointAndCoverWhatWasAdded) {
    struct Case {
        std::vector<platform::PixelRect> added;
        long long area;
    };
    const Case cases[] = {
        {{{0, 0, 10, 10}}, 100},
        {{{0, 0, 10, 10}, {0, 0, 10, 10}}, 100},
        {{{0, 0, 10, 10}, {5, 5, 15, 15}}, 175},
        {{{0, 0, 10, 10}, {1, 1, 11, 11}}, 121},
        {{{2, 2, 4, 4}, {0, 0, 10, 10}}, 100},
        {{{0, 0, 100, 100}, {300, 0, 400, 100}}, 20000},
        {{{0, 0, 100, 100}, {50, 50, 150, 150}, {300, 300, 400, 400}}, 17500 + 10000},
        {{{0, 0, 200, 10}, {0, 0, 10, 200}}, 2000 + 1900},
        {{{0, 0, 0, 10}, {3, 3, 3, 3}}, 0},
    };
    for (const Case& c : cases) {
        platform::Damage damage;
        for (const platform::PixelRect& r : c.added) damage.Add(r);
        EXPECT_EQ(damage.Area(), c.area);
        const auto& rects = damage.Rects();
        for (size_t i = 0; i < rects.size(); ++i) {
            for (size_t j = i + 1; j < rects.size(); ++j) EXPECT_FALSE(platform::Overlap(rects[i], rects[j]));
        }
        for (const platform::PixelRect& r : c.added) {
            for (int y = r.top; y < r.bottom; y += 3) {
                for (int x = r.left; x < r.right; x += 3) {
                    const platform::PixelRect pixel{x, y, x + 1, y + 1};
                    EXPECT_TRUE(std::any_of(rects.begin(), rects.end(),
                                            [&](const platform::PixelRect& p) { return platform::Overlap(p, pixel); }))
                        << x << "," << y;
                }
            }
        }
    }
}

// Pairs are in order in both lists, and as many as the longest common subsequence.
TEST(DamageRects, PairingKeepsOrderAndFindsTheLongestCommonRun) {
    struct Case {
        std::string before, after;
        size_t pairs;
    };
    const Case cases[] = {{"abc", "abc", 3}, {"abc", "axbc", 3}, {"abc", "ba", 1},
                          {"", "ab", 0},     {"aaa", "aa", 2},   {"abcdef", "acdxf", 4}};
    for (const Case& c : cases) {
        const auto pairs = platform::PairInOrder(c.before.size(), c.after.size(),
                                                 [&](size_t i, size_t j) { return c.before[i] == c.after[j]; });
        EXPECT_EQ(pairs.size(), c.pairs) << c.before << " / " << c.after;
        for (size_t k = 0; k < pairs.size(); ++k) {
            EXPECT_EQ(c.before[pairs[k].first], c.after[pairs[k].second]);
            if (k == 0) continue;
            EXPECT_LT(pairs[k - 1].first, pairs[k].first);
            EXPECT_LT(pairs[k - 1].second, pairs[k].second);
        }
    }
}

}  // namespace
}  // namespace d3d11_test
