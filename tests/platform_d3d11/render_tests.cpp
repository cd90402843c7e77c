#include <cstdlib>
#include "d3d11_fixture.h"
#include "d3d11/gl.h"
#include "d3d11/views.h"

namespace d3d11_test {
namespace {

class RenderTest : public D3D11Test {
protected:
    void SetUp() override {
        D3D11Test::SetUp();
        MakeTarget(8, 8, &target, &view);
        UseColourProgram();
        const FLOAT black[4] = {0, 0, 0, 1};
        context->ClearRenderTargetView(view, black);
    }
    void TearDown() override {
        SafeRelease(view);
        SafeRelease(target);
        D3D11Test::TearDown();
    }

    // Two triangles covering a clip-space rectangle, both clockwise as seen on screen (or both not).
    static std::vector<Vertex> Rectangle(float left, float top, float right, float bottom, std::array<float, 4> c,
                                         bool clockwise = true) {
        std::vector<Vertex> v = {
            {left, top, 0.5f, c[0], c[1], c[2], c[3]},     {right, top, 0.5f, c[0], c[1], c[2], c[3]},
            {right, bottom, 0.5f, c[0], c[1], c[2], c[3]}, {left, top, 0.5f, c[0], c[1], c[2], c[3]},
            {right, bottom, 0.5f, c[0], c[1], c[2], c[3]}, {left, bottom, 0.5f, c[0], c[1], c[2], c[3]}};
        if (!clockwise) {
            std::swap(v[1], v[2]);
            std::swap(v[4], v[5]);
        }
        return v;
    }

    static constexpr std::array<float, 4> kRed = {1, 0, 0, 1};
    ID3D11Texture2D* target = nullptr;
    ID3D11RenderTargetView* view = nullptr;
};

TEST_F(RenderTest, TopOfClipSpaceIsRowZeroAndViewportsStartTopLeft) {
    DrawTriangles(Rectangle(-1, 1, 1, 0, kRed));
    Pixels pixels = ReadBack(context, target);
    for (UINT y = 0; y < 8; ++y) {
        EXPECT_EQ(pixels.At(3, y), y < 4 ? Rgba(255, 0, 0, 255) : Rgba(0, 0, 0, 255)) << "row " << y;
    }

    const FLOAT black[4] = {0, 0, 0, 1};
    context->ClearRenderTargetView(view, black);
    D3D11_VIEWPORT topRight = {4, 0, 4, 4, 0, 1};
    context->RSSetViewports(1, &topRight);
    DrawTriangles(Rectangle(-1, 1, 1, -1, kRed));
    pixels = ReadBack(context, target);
    EXPECT_EQ(pixels.At(6, 1), Rgba(255, 0, 0, 255));
    EXPECT_EQ(pixels.At(1, 1), Rgba(0, 0, 0, 255));
    EXPECT_EQ(pixels.At(6, 6), Rgba(0, 0, 0, 255));
}

TEST_F(RenderTest, DefaultStateCullsCounterClockwiseTrianglesAndStatesCanFlipThat) {
    std::vector<Vertex> vertices = Rectangle(-1, 1, 0, -1, kRed, true);
    std::vector<Vertex> right = Rectangle(0, 1, 1, -1, kRed, false);
    vertices.insert(vertices.end(), right.begin(), right.end());
    DrawTriangles(vertices);
    Pixels pixels = ReadBack(context, target);
    EXPECT_EQ(pixels.At(1, 4), Rgba(255, 0, 0, 255));
    EXPECT_EQ(pixels.At(6, 4), Rgba(0, 0, 0, 255));

    D3D11_RASTERIZER_DESC desc = {D3D11_FILL_SOLID, D3D11_CULL_BACK, TRUE, 0, 0, 0, TRUE, FALSE, FALSE, FALSE};
    ID3D11RasterizerState* counterClockwiseFront = nullptr;
    ASSERT_EQ(device->CreateRasterizerState(&desc, &counterClockwiseFront), S_OK);
    context->RSSetState(counterClockwiseFront);
    const FLOAT black[4] = {0, 0, 0, 1};
    context->ClearRenderTargetView(view, black);
    DrawTriangles(vertices);
    pixels = ReadBack(context, target);
    EXPECT_EQ(pixels.At(1, 4), Rgba(0, 0, 0, 255));
    EXPECT_EQ(pixels.At(6, 4), Rgba(255, 0, 0, 255));
    context->RSSetState(nullptr);
    counterClockwiseFront->Release();
}

TEST_F(RenderTest, SourceAlphaBlendMixesWithTheClearedTarget) {
    const FLOAT blue[4] = {0, 0, 1, 1};
    context->ClearRenderTargetView(view, blue);
    D3D11_BLEND_DESC desc = {};
    D3D11_RENDER_TARGET_BLEND_DESC& sourceAlpha = desc.RenderTarget[0];
    sourceAlpha.BlendEnable = TRUE;
    sourceAlpha.SrcBlend = D3D11_BLEND_SRC_ALPHA;
    sourceAlpha.DestBlend = D3D11_BLEND_INV_SRC_ALPHA;
    sourceAlpha.BlendOp = sourceAlpha.BlendOpAlpha = D3D11_BLEND_OP_ADD;
    sourceAlpha.SrcBlendAlpha = D3D11_BLEND_ONE;
    sourceAlpha.DestBlendAlpha = D3D11_BLEND_ZERO;
    sourceAlpha.RenderTargetWriteMask = D3D11_COLOR_WRITE_ENABLE_ALL;
    ID3D11BlendState* transparent = nullptr;
    ASSERT_EQ(device->CreateBlendState(&desc, &transparent), S_OK);
    const FLOAT factor[4] = {0, 0, 0, 0};
    context->OMSetBlendState(transparent, factor, 0xffffffff);
    DrawTriangles(Rectangle(-1, 1, 1, -1, {1, 0, 0, 0.25f}));
    const std::array<uint8_t, 4> mixed = ReadBack(context, target).At(4, 4);
    EXPECT_NEAR(mixed[0], 64, 1);
    EXPECT_EQ(mixed[1], 0);
    EXPECT_NEAR(mixed[2], 191, 1);
    EXPECT_NEAR(mixed[3], 64, 1);
    context->OMSetBlendState(nullptr, nullptr, 0xffffffff);
    transparent->Release();
}

TEST_F(RenderTest, DepthTestKeepsTheNearerSurfaceAndClearsRestoreIt) {
    ID3D11Texture2D* depth = MakeDepthTexture(8, 8);
    ID3D11DepthStencilView* depthView = nullptr;
    ASSERT_EQ(device->CreateDepthStencilView(depth, nullptr, &depthView), S_OK);
    context->OMSetRenderTargets(1, &view, depthView);
    context->ClearDepthStencilView(depthView, D3D11_CLEAR_DEPTH | D3D11_CLEAR_STENCIL, 1.0f, 0);
    std::vector<Vertex> near = Rectangle(-1, 1, 1, -1, kRed);
    std::vector<Vertex> far = Rectangle(-1, 1, 1, -1, {0, 1, 0, 1});
    for (Vertex& v : near) v.z = 0.25f;
    for (Vertex& v : far) v.z = 0.75f;
    DrawTriangles(near);
    DrawTriangles(far);
    EXPECT_EQ(ReadBack(context, target).At(4, 4), Rgba(255, 0, 0, 255));
    context->ClearDepthStencilView(depthView, D3D11_CLEAR_DEPTH, 1.0f, 0);
    DrawTriangles(far);
    EXPECT_EQ(ReadBack(context, target).At(4, 4), Rgba(0, 255, 0, 255));
    context->OMSetRenderTargets(0, nullptr, nullptr);
    depthView->Release();
    depth->Release();
}

// Depth-stencil clears wait until something can see them; whatever looks must find the values as cleared, in order.
TEST_F(RenderTest, DeferredDepthClearsLandBeforeAnythingSeesThem) {
    ID3D11Texture2D* depth = MakeDepthTexture(8, 8);
    ID3D11DepthStencilView* first = nullptr;
    ID3D11DepthStencilView* second = nullptr;
    ASSERT_EQ(device->CreateDepthStencilView(depth, nullptr, &first), S_OK);
    ASSERT_EQ(device->CreateDepthStencilView(depth, nullptr, &second), S_OK);
    D3D11_DEPTH_STENCIL_DESC off = {};
    off.DepthFunc = D3D11_COMPARISON_LESS;
    off.FrontFace =
        off.BackFace = {D3D11_STENCIL_OP_KEEP, D3D11_STENCIL_OP_KEEP, D3D11_STENCIL_OP_KEEP, D3D11_COMPARISON_ALWAYS};
    ID3D11DepthStencilState* noDepth = nullptr;
    ASSERT_EQ(device->CreateDepthStencilState(&off, &noDepth), S_OK);
    std::vector<Vertex> green = Rectangle(-1, 1, 1, -1, {0, 1, 0, 1});
    std::vector<Vertex> red = Rectangle(-1, 1, 1, -1, kRed);
    for (Vertex& v : green) v.z = 0.5f;
    for (Vertex& v : red) v.z = 0.75f;

    // A draw without depth testing leaves the clear waiting; the next testing draw sees it.
    context->OMSetRenderTargets(1, &view, first);
    context->ClearDepthStencilView(first, D3D11_CLEAR_DEPTH, 0.6f, 0);
    context->OMSetDepthStencilState(noDepth, 0);
    DrawTriangles(green);
    context->OMSetDepthStencilState(nullptr, 0);
    DrawTriangles(red);
    EXPECT_EQ(ReadBack(context, target).At(4, 4), Rgba(0, 255, 0, 255));

    // Two views of one texture: the later clear wins.
    context->ClearDepthStencilView(first, D3D11_CLEAR_DEPTH, 0.1f, 0);
    context->ClearDepthStencilView(second, D3D11_CLEAR_DEPTH, 1.0f, 0);
    DrawTriangles(red);
    EXPECT_EQ(ReadBack(context, target).At(4, 4), Rgba(255, 0, 0, 255));

    // A view that dies with its clear waiting still clears what the other view tests against.
    context->ClearDepthStencilView(second, D3D11_CLEAR_DEPTH, 0.1f, 0);
    context->OMSetRenderTargets(1, &view, nullptr);
    SafeRelease(second);
    context->OMSetRenderTargets(1, &view, first);
    DrawTriangles(green);
    EXPECT_EQ(ReadBack(context, target).At(4, 4), Rgba(255, 0, 0, 255));

    // A copy reads the cleared values: depth 0.5 is 0x800000 of 24 bits beside stencil 7.
    context->ClearDepthStencilView(first, D3D11_CLEAR_DEPTH | D3D11_CLEAR_STENCIL, 0.5f, 7);
    EXPECT_EQ(ReadBack(context, depth).At(0, 0), Rgba(7, 0x00, 0x00, 0x80));

    context->OMSetRenderTargets(0, nullptr, nullptr);
    noDepth->Release();
    first->Release();
    depth->Release();
}

using TextureTest = D3D11Test;

TEST_F(TextureTest, UploadKeepsRowZeroFirstAndHonoursRowPitch) {
    const UINT width = 4, height = 3, pitch = width * 4 + 8;
    std::vector<uint8_t> data(pitch * height, 0xEE);
    for (UINT y = 0; y < height; ++y) {
        for (UINT x = 0; x < width; ++x) {
            const uint8_t texel[4] = {uint8_t(y * 60), uint8_t(x * 50), 7, 255};
            std::memcpy(&data[y * pitch + x * 4], texel, 4);
        }
    }
    D3D11_TEXTURE2D_DESC desc = {
        width, height, 1, 1, DXGI_FORMAT_R8G8B8A8_UNORM, {1, 0}, D3D11_USAGE_IMMUTABLE, D3D11_BIND_SHADER_RESOURCE,
        0,     0};
    D3D11_SUBRESOURCE_DATA initial = {data.data(), pitch, 0};
    ID3D11Texture2D* texture = nullptr;
    ASSERT_EQ(device->CreateTexture2D(&desc, &initial, &texture), S_OK);
    const Pixels pixels = ReadBack(context, texture);
    for (UINT y = 0; y < height; ++y) {
        for (UINT x = 0; x < width; ++x) EXPECT_EQ(pixels.At(x, y), Rgba(uint8_t(y * 60), uint8_t(x * 50), 7, 255));
    }
    texture->Release();

    desc.MipLevels = 0;
    desc.Usage = D3D11_USAGE_DEFAULT;
    ASSERT_EQ(device->CreateTexture2D(&desc, nullptr, &texture), S_OK);
    texture->GetDesc(&desc);
    EXPECT_EQ(desc.MipLevels, 3u);
    const uint8_t texel[4] = {1, 2, 3, 4};
    D3D11_BOX box = {1, 1, 0, 2, 2, 1};
    context->UpdateSubresource(texture, 0, &box, texel, 4, 0);
    EXPECT_EQ(ReadBack(context, texture).At(1, 1), Rgba(1, 2, 3, 4));
    texture->Release();
}

TEST_F(TextureTest, ArraySlicesAndOneDimensionalTexturesRoundTrip) {
    std::vector<uint8_t> slices[2] = {std::vector<uint8_t>(4 * 4 * 4, 10), std::vector<uint8_t>(4 * 4 * 4, 200)};
    D3D11_SUBRESOURCE_DATA initial[2] = {{slices[0].data(), 16, 0}, {slices[1].data(), 16, 0}};
    D3D11_TEXTURE2D_DESC desc = {
        4, 4, 1, 2, DXGI_FORMAT_R8G8B8A8_UNORM, {1, 0}, D3D11_USAGE_DEFAULT, D3D11_BIND_SHADER_RESOURCE, 0, 0};
    ID3D11Texture2D* array = nullptr;
    ASSERT_EQ(device->CreateTexture2D(&desc, initial, &array), S_OK);
    desc.Usage = D3D11_USAGE_STAGING;
    desc.BindFlags = 0;
    desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    ID3D11Texture2D* staging = nullptr;
    ASSERT_EQ(device->CreateTexture2D(&desc, nullptr, &staging), S_OK);
    context->CopyResource(staging, array);
    D3D11_MAPPED_SUBRESOURCE mapped = {};
    ASSERT_EQ(context->Map(staging, D3D11CalcSubresource(0, 1, 1), D3D11_MAP_READ, 0, &mapped), S_OK);
    EXPECT_EQ(static_cast<const uint8_t*>(mapped.pData)[0], 200);
    EXPECT_EQ(mapped.RowPitch, 16u);
    context->Unmap(staging, 1);

    ID3D11ShaderResourceView* arrayView = nullptr;
    ASSERT_EQ(device->CreateShaderResourceView(array, nullptr, &arrayView), S_OK);
    D3D11_SHADER_RESOURCE_VIEW_DESC viewDesc;
    arrayView->GetDesc(&viewDesc);
    EXPECT_EQ(viewDesc.ViewDimension, D3D11_SRV_DIMENSION_TEXTURE2DARRAY);
    EXPECT_EQ(static_cast<platform::ShaderResourceView*>(arrayView)->Target(), GLenum(GL_TEXTURE_2D_ARRAY));
    EXPECT_NE(static_cast<platform::ShaderResourceView*>(arrayView)->Name(), 0u);
    arrayView->Release();
    staging->Release();
    array->Release();

    float values[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    D3D11_TEXTURE1D_DESC lineDesc = {
        2, 1, 1, DXGI_FORMAT_R32G32B32A32_FLOAT, D3D11_USAGE_IMMUTABLE, D3D11_BIND_SHADER_RESOURCE, 0, 0};
    D3D11_SUBRESOURCE_DATA lineData = {values, sizeof values, 0};
    ID3D11Texture1D* line = nullptr;
    ASSERT_EQ(device->CreateTexture1D(&lineDesc, &lineData, &line), S_OK);
    ID3D11ShaderResourceView* lineView = nullptr;
    ASSERT_EQ(device->CreateShaderResourceView(line, nullptr, &lineView), S_OK);
    const auto* lineGl = static_cast<platform::ShaderResourceView*>(lineView);
    EXPECT_EQ(lineGl->Target(), GLenum(GL_TEXTURE_1D));
    float read[8] = {};
    glGetTextureImage(lineGl->Name(), 0, GL_RGBA, GL_FLOAT, sizeof read, read);
    EXPECT_EQ(read[5], 6.0f);
    lineView->Release();
    line->Release();
}

}  // namespace
}  // namespace d3d11_test
