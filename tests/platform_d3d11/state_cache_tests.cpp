// The context sends GL only what changed since the last draw. These draws change a little at a time, in the ways a
// cache of GL state gets wrong: the same object with new parameters, a new object where GL hands out a freed name
// again (or the allocator a freed address), and clears that override the state a draw left behind.
#include "layer_fixture.h"

namespace d3d11_test {
namespace {

constexpr const char* kSampleCentreShader =
    "#version 450\n"
    "layout(binding = 0) uniform sampler2D image;\n"
    "layout(location = 0) out vec4 o;\n"
    "void main() { o = texture(image, vec2(0.375, 0.5)); }\n";

// Two triangles over a clip-space rectangle.
std::vector<Vertex> Rectangle(float left, float top, float right, float bottom, std::array<float, 4> c) {
    const Vertex corners[4] = {{left, top, 0.5f, c[0], c[1], c[2], c[3]},
                               {right, top, 0.5f, c[0], c[1], c[2], c[3]},
                               {right, bottom, 0.5f, c[0], c[1], c[2], c[3]},
                               {left, bottom, 0.5f, c[0], c[1], c[2], c[3]}};
    return {corners[0], corners[1], corners[2], corners[0], corners[2], corners[3]};
}

const std::array<float, 4> kWhite = {1, 1, 1, 1};
const std::vector<Vertex> kLeftRed = Rectangle(-1, 1, 0, -1, {1, 0, 0, 1});
const std::vector<Vertex> kRightGreen = Rectangle(0, 1, 1, -1, {0, 1, 0, 1});
const std::vector<Vertex> kWhole = Rectangle(-1, 1, 1, -1, kWhite);

class StateCacheTest : public LayerTest {
protected:
    ID3D11Buffer* VertexBuffer(const void* bytes, UINT size) {
        D3D11_BUFFER_DESC desc = {size, D3D11_USAGE_IMMUTABLE, D3D11_BIND_VERTEX_BUFFER, 0, 0, 0};
        D3D11_SUBRESOURCE_DATA data = {bytes, 0, 0};
        ID3D11Buffer* buffer = nullptr;
        EXPECT_EQ(device->CreateBuffer(&desc, &data, &buffer), S_OK);
        return buffer;
    }

    // A texture `width` texels wide and one high, with its view.
    ID3D11ShaderResourceView* TextureView(const std::vector<uint8_t>& rgba, ID3D11Texture2D** texture) {
        D3D11_TEXTURE2D_DESC desc = {
            UINT(rgba.size() / 4),      1, 1, 1, DXGI_FORMAT_R8G8B8A8_UNORM, {1, 0}, D3D11_USAGE_IMMUTABLE,
            D3D11_BIND_SHADER_RESOURCE, 0, 0};
        D3D11_SUBRESOURCE_DATA data = {rgba.data(), UINT(rgba.size()), 0};
        ID3D11ShaderResourceView* view = nullptr;
        EXPECT_EQ(device->CreateTexture2D(&desc, &data, texture), S_OK);
        EXPECT_EQ(device->CreateShaderResourceView(*texture, nullptr, &view), S_OK);
        return view;
    }

    ID3D11SamplerState* Sampler(D3D11_FILTER filter) {
        const D3D11_SAMPLER_DESC desc = SamplerDesc(filter, D3D11_TEXTURE_ADDRESS_CLAMP);
        ID3D11SamplerState* sampler = nullptr;
        EXPECT_EQ(device->CreateSamplerState(&desc, &sampler), S_OK);
        return sampler;
    }

    // An 8 x 8 render target with a 24-bit depth, 8-bit stencil view, both bound.
    void BindTargetWithDepth(ID3D11Texture2D** colour, ID3D11RenderTargetView** colourView, ID3D11Texture2D** depth,
                             ID3D11DepthStencilView** depthView) {
        MakeTarget(8, 8, colour, colourView);
        *depth = MakeDepthTexture(8, 8);
        ASSERT_EQ(device->CreateDepthStencilView(*depth, nullptr, depthView), S_OK);
        context->OMSetRenderTargets(1, colourView, *depthView);
    }

    // A state that reads depth or stencil, each only where asked, and writes neither.
    ID3D11DepthStencilState* ReadOnlyDepthStencil(BOOL depth, BOOL stencil, D3D11_COMPARISON_FUNC stencilFunc) {
        const D3D11_DEPTH_STENCILOP_DESC keep = {D3D11_STENCIL_OP_KEEP, D3D11_STENCIL_OP_KEEP, D3D11_STENCIL_OP_KEEP,
                                                 stencilFunc};
        const D3D11_DEPTH_STENCIL_DESC desc = {
            depth, D3D11_DEPTH_WRITE_MASK_ZERO, D3D11_COMPARISON_LESS, stencil, 0xff, 0xff, keep, keep};
        ID3D11DepthStencilState* state = nullptr;
        EXPECT_EQ(device->CreateDepthStencilState(&desc, &state), S_OK);
        return state;
    }
};

TEST_F(StateCacheTest, TheSameObjectsBoundAgainWithNewParametersTakeEffect) {
    UseColourProgram();
    std::vector<Vertex> both = kLeftRed;
    both.insert(both.end(), kRightGreen.begin(), kRightGreen.end());
    ID3D11Buffer* vertices = VertexBuffer(both.data(), UINT(both.size() * sizeof(Vertex)));
    const UINT stride = sizeof(Vertex), first = 0, second = 6 * sizeof(Vertex);
    context->IASetVertexBuffers(0, 1, &vertices, &stride, &first);
    context->Draw(6, 0);
    context->IASetVertexBuffers(0, 1, &vertices, &stride, &second);
    context->Draw(6, 0);
    Pixels pixels = Read();
    EXPECT_EQ(pixels.At(1, 4), Rgba(255, 0, 0, 255));
    EXPECT_EQ(pixels.At(6, 4), Rgba(0, 255, 0, 255)) << "a new offset into the same buffer";

    // Every binding made again with what is already bound.
    context->IASetInputLayout(layout);
    context->IASetVertexBuffers(0, 1, &vertices, &stride, &first);
    context->VSSetShader(vertexShader, nullptr, 0);
    context->PSSetShader(pixelShader, nullptr, 0);
    context->OMSetRenderTargets(1, &view, nullptr);
    context->OMSetBlendState(nullptr, nullptr, 0xffffffff);
    context->OMSetDepthStencilState(nullptr, 0);
    Clear({0, 0, 0, 0});
    context->Draw(6, 0);
    pixels = Read();
    EXPECT_EQ(pixels.At(1, 4), Rgba(255, 0, 0, 255));
    EXPECT_EQ(pixels.At(6, 4), Rgba(0, 0, 0, 0));
    vertices->Release();
}

TEST_F(StateCacheTest, BlendFactorAndStencilReferenceChangeWithoutANewState) {
    UseColourProgram();
    D3D11_BLEND_DESC blend = {};
    blend.RenderTarget[0] = AddedBlend(D3D11_BLEND_BLEND_FACTOR, D3D11_BLEND_ZERO);
    ID3D11BlendState* byFactor = nullptr;
    ASSERT_EQ(device->CreateBlendState(&blend, &byFactor), S_OK);
    ID3D11DepthStencilState* stencilEqual = ReadOnlyDepthStencil(FALSE, TRUE, D3D11_COMPARISON_EQUAL);
    ID3D11Texture2D *colour = nullptr, *depth = nullptr;
    ID3D11RenderTargetView* colourView = nullptr;
    ID3D11DepthStencilView* depthView = nullptr;
    BindTargetWithDepth(&colour, &colourView, &depth, &depthView);
    context->ClearDepthStencilView(depthView, D3D11_CLEAR_STENCIL, 1.0f, 1);

    const FLOAT red[4] = {1, 0, 0, 1}, blue[4] = {0, 0, 1, 1};
    context->OMSetBlendState(byFactor, red, 0xffffffff);
    context->OMSetDepthStencilState(stencilEqual, 1);
    DrawTriangles(Rectangle(-1, 1, 0, 0, kWhite));
    context->OMSetBlendState(byFactor, blue, 0xffffffff);
    DrawTriangles(Rectangle(0, 1, 1, 0, kWhite));
    context->OMSetDepthStencilState(stencilEqual, 0);
    DrawTriangles(Rectangle(-1, 0, 1, -1, kWhite));

    const Pixels pixels = ReadBack(context, colour);
    EXPECT_EQ(pixels.At(1, 1), Rgba(255, 0, 0, 255));
    EXPECT_EQ(pixels.At(6, 1), Rgba(0, 0, 255, 255)) << "a new blend factor";
    EXPECT_EQ(pixels.At(4, 6), Rgba(0, 0, 0, 0)) << "a new stencil reference";
    context->OMSetRenderTargets(0, nullptr, nullptr);
    for (IUnknown* object :
         std::initializer_list<IUnknown*>{byFactor, stencilEqual, colour, colourView, depth, depthView}) {
        object->Release();
    }
}

TEST_F(StateCacheTest, ReplacedViewsAndSamplersAreBoundAfresh) {
    UsePixelShader(kSampleCentreShader);
    ID3D11SamplerState* linear = Sampler(D3D11_FILTER_MIN_MAG_MIP_LINEAR);
    ID3D11Texture2D* texture = nullptr;
    ID3D11ShaderResourceView* image = TextureView({0, 255, 0, 255}, &texture);
    context->PSSetSamplers(0, 1, &linear);
    context->PSSetShaderResources(0, 1, &image);
    Fill(0, 0, 2, 8);

    // GL may hand the names just freed to the replacements.
    ID3D11ShaderResourceView* none = nullptr;
    ID3D11SamplerState* noSampler = nullptr;
    context->PSSetShaderResources(0, 1, &none);
    context->PSSetSamplers(0, 1, &noSampler);
    image->Release();
    texture->Release();
    linear->Release();
    image = TextureView({255, 0, 0, 255, 0, 0, 255, 255}, &texture);
    ID3D11SamplerState* point = Sampler(D3D11_FILTER_MIN_MAG_MIP_POINT);
    context->PSSetShaderResources(0, 1, &image);
    context->PSSetSamplers(0, 1, &point);
    Fill(2, 0, 2, 8);

    const Pixels pixels = Read();
    EXPECT_EQ(pixels.At(1, 4), Rgba(0, 255, 0, 255));
    EXPECT_EQ(pixels.At(3, 4), Rgba(255, 0, 0, 255)) << "the new texture, not filtered: the new sampler";
    image->Release();
    texture->Release();
    point->Release();
}

TEST_F(StateCacheTest, ReplacedRenderTargetsAndDepthViewsReceiveTheDraws) {
    UseColourProgram();
    DrawTriangles(kWhole);
    ASSERT_EQ(Read().At(4, 4), Rgba(255, 255, 255, 255));
    context->OMSetRenderTargets(0, nullptr, nullptr);
    SafeRelease(view);
    SafeRelease(target);
    MakeTarget(8, 8, &target, &view);
    DrawTriangles(kLeftRed);
    Pixels pixels = Read();
    EXPECT_EQ(pixels.At(1, 4), Rgba(255, 0, 0, 255)) << "a new view takes the draws";
    EXPECT_EQ(pixels.At(6, 4), Rgba(0, 0, 0, 0));

    // A target with a depth view is drawn through a framebuffer the context keeps for that pair of views.
    for (int round = 0; round < 2; ++round) {
        ID3D11Texture2D *colour = nullptr, *depth = nullptr;
        ID3D11RenderTargetView* colourView = nullptr;
        ID3D11DepthStencilView* depthView = nullptr;
        BindTargetWithDepth(&colour, &colourView, &depth, &depthView);
        context->ClearDepthStencilView(depthView, D3D11_CLEAR_DEPTH, 1.0f, 0);
        DrawTriangles(round ? kRightGreen : kLeftRed);
        pixels = ReadBack(context, colour);
        EXPECT_EQ(pixels.At(1, 4), round ? Rgba(0, 0, 0, 0) : Rgba(255, 0, 0, 255)) << "round " << round;
        EXPECT_EQ(pixels.At(6, 4), round ? Rgba(0, 255, 0, 255) : Rgba(0, 0, 0, 0)) << "round " << round;
        context->OMSetRenderTargets(0, nullptr, nullptr);
        depthView->Release();
        depth->Release();
        colourView->Release();
        colour->Release();
    }
}

TEST_F(StateCacheTest, EveryInputLayoutGetsTheBoundBuffersAndAReplacedOneFeedsTheShader) {
    UseColourProgram();
    std::vector<Vertex> both = kLeftRed;
    both.insert(both.end(), kRightGreen.begin(), kRightGreen.end());
    ID3D11Buffer* vertices = VertexBuffer(both.data(), UINT(both.size() * sizeof(Vertex)));
    const UINT stride = sizeof(Vertex), offset = 0;
    context->IASetVertexBuffers(0, 1, &vertices, &stride, &offset);
    context->Draw(6, 0);
    const D3D11_INPUT_ELEMENT_DESC sameElements[] = {
        {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"COLOR", 0, DXGI_FORMAT_R32G32B32A32_FLOAT, 0, 12, D3D11_INPUT_PER_VERTEX_DATA, 0}};
    const std::vector<uint8_t> signature = Signature();
    ID3D11InputLayout* second = nullptr;
    ASSERT_EQ(device->CreateInputLayout(sameElements, 2, signature.data(), signature.size(), &second), S_OK);
    context->IASetInputLayout(second);
    context->Draw(6, 6);
    Pixels pixels = Read();
    EXPECT_EQ(pixels.At(1, 4), Rgba(255, 0, 0, 255));
    EXPECT_EQ(pixels.At(6, 4), Rgba(0, 255, 0, 255)) << "another layout reading the buffer already bound";
    context->IASetInputLayout(nullptr);
    second->Release();
    SafeRelease(layout);

    // Colour first, then position: the draw must read through the new layout.
    struct ColourFirst {
        float r, g, b, a, x, y, z;
    };
    std::vector<ColourFirst> reordered;
    for (const Vertex& v : Rectangle(-1, 1, 1, 0, {0, 0, 1, 1})) {
        reordered.push_back({v.r, v.g, v.b, v.a, v.x, v.y, v.z});
    }
    const D3D11_INPUT_ELEMENT_DESC colourFirst[] = {
        {"COLOR", 0, DXGI_FORMAT_R32G32B32A32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 16, D3D11_INPUT_PER_VERTEX_DATA, 0}};
    ASSERT_EQ(device->CreateInputLayout(colourFirst, 2, signature.data(), signature.size(), &layout), S_OK);
    context->IASetInputLayout(layout);
    ID3D11Buffer* buffer = VertexBuffer(reordered.data(), UINT(reordered.size() * sizeof(ColourFirst)));
    const UINT reorderedStride = sizeof(ColourFirst);
    context->IASetVertexBuffers(0, 1, &buffer, &reorderedStride, &offset);
    context->Draw(6, 0);
    pixels = Read();
    EXPECT_EQ(pixels.At(1, 1), Rgba(0, 0, 255, 255));
    EXPECT_EQ(pixels.At(1, 6), Rgba(255, 0, 0, 255));
    buffer->Release();
    vertices->Release();
}

// Clears ignore the write mask and the scissor rectangle; the next draw must honour both again.
TEST_F(StateCacheTest, DrawsAfterClearsKeepTheWriteMaskAndScissor) {
    UseColourProgram();
    D3D11_BLEND_DESC blend = {};
    blend.RenderTarget[0] = {FALSE,
                             D3D11_BLEND_ONE,
                             D3D11_BLEND_ZERO,
                             D3D11_BLEND_OP_ADD,
                             D3D11_BLEND_ONE,
                             D3D11_BLEND_ZERO,
                             D3D11_BLEND_OP_ADD,
                             D3D11_COLOR_WRITE_ENABLE_RED | D3D11_COLOR_WRITE_ENABLE_ALPHA};
    ID3D11BlendState* redOnly = nullptr;
    ASSERT_EQ(device->CreateBlendState(&blend, &redOnly), S_OK);
    D3D11_RASTERIZER_DESC raster = {D3D11_FILL_SOLID, D3D11_CULL_NONE, FALSE, 0, 0, 0, TRUE, TRUE, FALSE, FALSE};
    ID3D11RasterizerState* scissored = nullptr;
    ASSERT_EQ(device->CreateRasterizerState(&raster, &scissored), S_OK);
    const D3D11_RECT leftHalf = {0, 0, 4, 8};
    context->RSSetScissorRects(1, &leftHalf);
    context->OMSetBlendState(redOnly, nullptr, 0xffffffff);
    context->RSSetState(scissored);

    Clear({0, 0, 1, 0});
    DrawTriangles(kWhole);
    Pixels pixels = Read();
    EXPECT_EQ(pixels.At(1, 4), Rgba(255, 0, 255, 255));
    EXPECT_EQ(pixels.At(6, 4), Rgba(0, 0, 255, 0));

    Clear({0, 1, 0, 0});
    DrawTriangles(kWhole);
    pixels = Read();
    EXPECT_EQ(pixels.At(1, 4), Rgba(255, 255, 0, 255)) << "the clear wrote every channel, the draw only red";
    EXPECT_EQ(pixels.At(6, 4), Rgba(0, 255, 0, 0)) << "the clear reached outside the scissor, the draw did not";
    redOnly->Release();
    scissored->Release();
}

// A depth clear writes depth whatever the bound state says; the next draw must not.
TEST_F(StateCacheTest, DrawsAfterADepthClearKeepAReadOnlyDepthState) {
    UseColourProgram();
    ID3D11DepthStencilState* readOnly = ReadOnlyDepthStencil(TRUE, FALSE, D3D11_COMPARISON_ALWAYS);
    ID3D11Texture2D *colour = nullptr, *depth = nullptr;
    ID3D11RenderTargetView* colourView = nullptr;
    ID3D11DepthStencilView* depthView = nullptr;
    BindTargetWithDepth(&colour, &colourView, &depth, &depthView);
    context->OMSetDepthStencilState(readOnly, 0);
    std::vector<Vertex> near = kLeftRed, far = Rectangle(-1, 1, 1, -1, {0, 1, 0, 1});
    for (Vertex& v : near) v.z = 0.25f;
    for (Vertex& v : far) v.z = 0.75f;
    for (int round = 0; round < 2; ++round) {
        context->ClearDepthStencilView(depthView, D3D11_CLEAR_DEPTH, 1.0f, 0);
        DrawTriangles(near);
        DrawTriangles(far);
        EXPECT_EQ(ReadBack(context, colour).At(1, 4), Rgba(0, 255, 0, 255)) << "round " << round;
    }
    context->OMSetRenderTargets(0, nullptr, nullptr);
    for (IUnknown* object : std::initializer_list<IUnknown*>{readOnly, colour, colourView, depth, depthView}) {
        object->Release();
    }
}

}  // namespace
}  // namespace d3d11_test
