// Draws that need no vertex input: a triangle covering the viewport, coloured by whatever the pixel shader reads,
// so a test can put one draw's result in one rectangle of the target and check them all at once.
#pragma once
#include <string>
#include "d3d11_fixture.h"

namespace d3d11_test {

// Covers the viewport whatever its winding; depth 0.5.
constexpr const char* kCoverVertexShader =
    "#version 450\n"
    "void main() {\n"
    "    vec2 p = vec2((gl_VertexID << 1) & 2, gl_VertexID & 2);\n"
    "    gl_Position = vec4(p * 2.0 - 1.0, 0.5, 1.0);\n"
    "}\n";

class LayerTest : public D3D11Test {
protected:
    void SetUp() override { SetUpTarget(8, 8); }
    void TearDown() override {
        if (context) context->ClearState();
        SafeRelease(noCull_);
        SafeRelease(view);
        SafeRelease(target);
        D3D11Test::TearDown();
    }

    void SetUpTarget(UINT width, UINT height) {
        D3D11Test::SetUp();
        MakeTarget(width, height, &target, &view);
        D3D11_RASTERIZER_DESC raster = {D3D11_FILL_SOLID, D3D11_CULL_NONE, FALSE, 0, 0, 0, TRUE, FALSE, FALSE, FALSE};
        ASSERT_EQ(device->CreateRasterizerState(&raster, &noCull_), S_OK);
        context->RSSetState(noCull_);
        context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
        Clear({0, 0, 0, 0});
    }

    void Clear(std::array<float, 4> colour) { context->ClearRenderTargetView(view, colour.data()); }

    // Creates and binds a shader pair, replacing the fixture's current one.
    void UseShaders(const std::string& vertexGlsl, const std::string& pixelGlsl) {
        SafeRelease(vertexShader);
        SafeRelease(pixelShader);
        const std::vector<uint8_t> vertex = Shader(platform::d3d11::ShaderStage::Vertex, vertexGlsl.c_str());
        const std::vector<uint8_t> pixel = Shader(platform::d3d11::ShaderStage::Pixel, pixelGlsl.c_str());
        ASSERT_EQ(device->CreateVertexShader(vertex.data(), vertex.size(), nullptr, &vertexShader), S_OK);
        ASSERT_EQ(device->CreatePixelShader(pixel.data(), pixel.size(), nullptr, &pixelShader), S_OK);
        context->VSSetShader(vertexShader, nullptr, 0);
        context->PSSetShader(pixelShader, nullptr, 0);
    }
    void UsePixelShader(const std::string& pixelGlsl) { UseShaders(kCoverVertexShader, pixelGlsl); }

    ID3D11Buffer* ConstantBuffer(UINT size, D3D11_USAGE usage = D3D11_USAGE_DEFAULT, const void* initial = nullptr) {
        const UINT access = usage == D3D11_USAGE_DYNAMIC ? D3D11_CPU_ACCESS_WRITE : 0;
        D3D11_BUFFER_DESC desc = {size, usage, D3D11_BIND_CONSTANT_BUFFER, access, 0, 0};
        D3D11_SUBRESOURCE_DATA data = {initial, 0, 0};
        ID3D11Buffer* buffer = nullptr;
        EXPECT_EQ(device->CreateBuffer(&desc, initial ? &data : nullptr, &buffer), S_OK);
        return buffer;
    }

    void MapWrite(ID3D11Buffer* buffer, const void* bytes, size_t size) {
        D3D11_MAPPED_SUBRESOURCE mapped = {};
        ASSERT_EQ(context->Map(buffer, 0, D3D11_MAP_WRITE_DISCARD, 0, &mapped), S_OK);
        std::memcpy(mapped.pData, bytes, size);
        context->Unmap(buffer, 0);
    }

    // One draw covering the rectangle.
    void Fill(float left, float top, float width, float height) {
        const D3D11_VIEWPORT viewport = {left, top, width, height, 0, 1};
        context->RSSetViewports(1, &viewport);
        context->Draw(3, 0);
    }

    Pixels Read() { return ReadBack(context, target); }

    ID3D11Texture2D* target = nullptr;
    ID3D11RenderTargetView* view = nullptr;

private:
    ID3D11RasterizerState* noCull_ = nullptr;
};

// A colour as a shader writes it to an 8-bit target: k / 255 arrives as k.
inline std::array<float, 4> Unorm(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    return {r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f};
}

}  // namespace d3d11_test
