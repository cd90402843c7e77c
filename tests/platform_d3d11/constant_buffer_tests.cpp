// Constant buffers as draws read them: every draw must see the contents its buffers had when it was issued, however
// often they change and however long they stay unchanged.
#include "layer_fixture.h"
#include "d3d11/uniform_ring.h"

namespace d3d11_test {
namespace {

constexpr const char* kColourShader =
    "#version 450\n"
    "layout(std140, binding = 0) uniform Colour { vec4 colour; };\n"
    "layout(location = 0) out vec4 o;\n"
    "void main() { o = colour; }\n";

// Red and green from slot 0, blue and alpha from slot 1.
constexpr const char* kTwoSlotShader =
    "#version 450\n"
    "layout(std140, binding = 0) uniform First { vec4 first; };\n"
    "layout(std140, binding = 1) uniform Second { vec4 second; };\n"
    "layout(location = 0) out vec4 o;\n"
    "void main() { o = vec4(first.rg, second.ba); }\n";

class ConstantBufferTest : public LayerTest {
protected:
    // Checks the four columns, two texels wide, that the draws filled from left to right.
    void ExpectColumns(const std::array<std::array<uint8_t, 4>, 4>& expected) {
        const Pixels pixels = Read();
        for (UINT column = 0; column < 4; ++column) {
            EXPECT_EQ(pixels.At(2 * column + 1, 4), expected[column]) << "column " << column;
        }
    }
};

TEST_F(ConstantBufferTest, EachDrawOfAFrameReadsTheContentsItWasGiven) {
    UsePixelShader(kColourShader);
    const std::array<float, 4> red = Unorm(255, 0, 0, 255), green = Unorm(0, 255, 0, 255);
    const std::array<float, 4> blue = Unorm(0, 0, 255, 255), grey = Unorm(90, 90, 90, 255);

    ID3D11Buffer* updated = ConstantBuffer(16);
    context->PSSetConstantBuffers(0, 1, &updated);
    context->UpdateSubresource(updated, 0, nullptr, red.data(), 0, 0);
    Fill(0, 0, 2, 8);
    context->UpdateSubresource(updated, 0, nullptr, green.data(), 0, 0);
    Fill(2, 0, 2, 8);

    ID3D11Buffer* mapped = ConstantBuffer(16, D3D11_USAGE_DYNAMIC);
    context->PSSetConstantBuffers(0, 1, &mapped);
    MapWrite(mapped, blue.data(), 16);
    Fill(4, 0, 2, 8);
    MapWrite(mapped, grey.data(), 16);
    Fill(6, 0, 2, 8);

    ExpectColumns({Rgba(255, 0, 0, 255), Rgba(0, 255, 0, 255), Rgba(0, 0, 255, 255), Rgba(90, 90, 90, 255)});
    updated->Release();
    mapped->Release();
}

TEST_F(ConstantBufferTest, OneBufferInTwoSlotsAndEmptiedSlots) {
    UsePixelShader(kTwoSlotShader);
    const std::array<float, 4> first = Unorm(10, 20, 30, 40), second = Unorm(50, 60, 70, 80);
    ID3D11Buffer* buffer = ConstantBuffer(16, D3D11_USAGE_DEFAULT, first.data());
    ID3D11Buffer* both[2] = {buffer, buffer};
    context->PSSetConstantBuffers(0, 2, both);
    Fill(0, 0, 2, 8);
    context->UpdateSubresource(buffer, 0, nullptr, second.data(), 0, 0);
    Fill(2, 0, 2, 8);

    // Direct3D reads zeros from a slot without a buffer; the previous buffer must not show through.
    ID3D11Buffer* none = nullptr;
    context->PSSetConstantBuffers(1, 1, &none);
    Fill(4, 0, 2, 8);
    context->PSSetConstantBuffers(1, 1, &buffer);
    Fill(6, 0, 2, 8);

    ExpectColumns({Rgba(10, 20, 30, 40), Rgba(50, 60, 70, 80), Rgba(50, 60, 0, 0), Rgba(50, 60, 70, 80)});
    buffer->Release();
}

TEST_F(ConstantBufferTest, OnlyBuffersAShaderCanAddressAreCreated) {
    const UINT largest = D3D11_REQ_CONSTANT_BUFFER_ELEMENT_COUNT * 16;
    D3D11_BUFFER_DESC desc = {largest, D3D11_USAGE_DEFAULT, D3D11_BIND_CONSTANT_BUFFER, 0, 0, 0};
    ID3D11Buffer* buffer = nullptr;
    EXPECT_EQ(device->CreateBuffer(&desc, nullptr, &buffer), S_OK);
    SafeRelease(buffer);
    desc.ByteWidth = largest + 16;
    EXPECT_EQ(device->CreateBuffer(&desc, nullptr, &buffer), E_INVALIDARG);
    desc.ByteWidth = UINT(platform::UniformRing::kSize);
    EXPECT_EQ(device->CreateBuffer(&desc, nullptr, &buffer), E_INVALIDARG);
    EXPECT_EQ(buffer, nullptr);
}

// One pixel per draw over a 64 x 64 target, checked whenever the target is full.
class ConstantBufferTrafficTest : public LayerTest {
protected:
    void SetUp() override { SetUpTarget(kSide, kSide); }

    static std::array<float, 4> DrawColour(UINT draw) { return Unorm(uint8_t(draw), uint8_t(draw >> 8), 0, 255); }
    void FillPixel(UINT draw) { Fill(float(draw % kSide), float(draw / kSide % kSide), 1, 1); }
    void ExpectPixels(UINT firstDraw, uint8_t blue) {
        const Pixels pixels = Read();
        for (UINT draw = firstDraw; draw < firstDraw + kSide * kSide; ++draw) {
            const std::array<uint8_t, 4> expected = {uint8_t(draw), uint8_t(draw >> 8), blue, 255};
            ASSERT_EQ(pixels.At(draw % kSide, draw / kSide % kSide), expected) << "draw " << draw;
        }
    }

    static constexpr UINT kSide = 64;
};

// Slot 0 changes on every draw, alternately through UpdateSubresource and Map; slot 1 never changes, so its copy
// in the ring grows old and must be made again before the ring overwrites it.
TEST_F(ConstantBufferTrafficTest, ManyUpdatesWrapTheRingAndAnUnchangedBufferSurvivesIt) {
    UsePixelShader(kTwoSlotShader);
    const UINT sliceBytes = 256;
    const UINT draws = UINT(3 * platform::UniformRing::kSize / sliceBytes);
    ID3D11Buffer* updated = ConstantBuffer(sliceBytes);
    ID3D11Buffer* mapped = ConstantBuffer(sliceBytes, D3D11_USAGE_DYNAMIC);
    const std::array<float, 4> constant = Unorm(0, 0, 77, 255);
    ID3D11Buffer* unchanged = ConstantBuffer(16, D3D11_USAGE_IMMUTABLE, constant.data());
    context->PSSetConstantBuffers(1, 1, &unchanged);
    std::vector<float> contents(sliceBytes / sizeof(float), 0.0f);
    for (UINT draw = 0; draw < draws; ++draw) {
        const std::array<float, 4> colour = DrawColour(draw);
        std::copy(colour.begin(), colour.end(), contents.begin());
        ID3D11Buffer* buffer = draw % 2 ? mapped : updated;
        if (draw % 2) {
            MapWrite(mapped, contents.data(), sliceBytes);
        } else {
            context->UpdateSubresource(updated, 0, nullptr, contents.data(), 0, 0);
        }
        context->PSSetConstantBuffers(0, 1, &buffer);
        FillPixel(draw);
        if ((draw + 1) % (kSide * kSide) == 0) {
            ASSERT_NO_FATAL_FAILURE(ExpectPixels(draw + 1 - kSide * kSide, 77));
        }
    }
    updated->Release();
    mapped->Release();
    unchanged->Release();
}

// Thirteen buffers of the largest size copied for one draw are more than a segment of the ring: the copies must
// not land on an older copy that the same draw still reads.
TEST_F(ConstantBufferTrafficTest, ADrawsOwnCopiesDoNotOverwriteAnotherBufferItReads) {
    std::string shader = "#version 450\nlayout(std140, binding = 0) uniform Kept { vec4 kept; };\n";
    std::string sum = "kept";
    for (int slot = 1; slot < D3D11_COMMONSHADER_CONSTANT_BUFFER_API_SLOT_COUNT; ++slot) {
        const std::string n = std::to_string(slot);
        shader += "layout(std140, binding = " + n + ") uniform Big" + n + " { vec4 big" + n + "[4096]; };\n";
        sum += " + big" + n + "[0]";
    }
    UsePixelShader(shader + "layout(location = 0) out vec4 o;\nvoid main() { o = " + sum + "; }\n");
    const std::array<float, 4> colour = Unorm(200, 100, 50, 255);
    ID3D11Buffer* kept = ConstantBuffer(16, D3D11_USAGE_IMMUTABLE, colour.data());
    context->PSSetConstantBuffers(0, 1, &kept);
    const UINT bigBytes = D3D11_REQ_CONSTANT_BUFFER_ELEMENT_COUNT * 16;
    std::vector<ID3D11Buffer*> big;
    for (int slot = 1; slot < D3D11_COMMONSHADER_CONSTANT_BUFFER_API_SLOT_COUNT; ++slot) {
        big.push_back(ConstantBuffer(bigBytes));
        context->PSSetConstantBuffers(UINT(slot), 1, &big.back());
    }
    const std::vector<uint8_t> zeros(bigBytes, 0);
    const UINT draws = 64;
    for (UINT draw = 0; draw < draws; ++draw) {
        for (ID3D11Buffer* buffer : big) context->UpdateSubresource(buffer, 0, nullptr, zeros.data(), 0, 0);
        Fill(float(draw % kSide), 0, 1, 1);
    }
    const Pixels pixels = Read();
    for (UINT draw = 0; draw < draws; ++draw) {
        EXPECT_EQ(pixels.At(draw, 0), Rgba(200, 100, 50, 255)) << "draw " << draw;
    }
    for (ID3D11Buffer* buffer : big) buffer->Release();
    kept->Release();
}

}  // namespace
}  // namespace d3d11_test
