#pragma once
// A small headless render target with the game's drawing set-up: the lit effect from FX/lighting.fx, the
// position-normal-texture layout, alpha blending, no depth test, no culling and the orthographic pixel frame.
#include <d3dutil.h>
#include <effect.h>
#include <lights.h>
#include <renderstates.h>
#include <vertex.h>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

#include "readback.h"
#include "test_device.h"

using Texel = std::array<uint8_t, 4>;

class RenderFixture : public ::testing::Test {
protected:
    static constexpr UINT kWidth = 128;
    static constexpr UINT kHeight = 64;

    void SetUp() override {
        effect.LoadFromFile(L"FX/lighting.fx", gpu.device);
        ASSERT_NE(effect.GetTechnique(), nullptr);
        CreateNormalTexLayout(gpu.device, effect.GetTechnique());
        ASSERT_NE(mNormalTexVertLayout, nullptr);
        CreateTarget();
        CreateStates();
        gpu.context->IASetInputLayout(mNormalTexVertLayout);
        gpu.context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
        const float blendFactor[4] = {0, 0, 0, 0};
        gpu.context->OMSetBlendState(blend, blendFactor, 0xffffffff);
        gpu.context->OMSetDepthStencilState(depth, 0);
        gpu.context->RSSetState(rasterizer);
        const PointLight point;
        const SpotLight spot;
        effect.SetPerFrame(XMVectorSet(1, 1, 1, 1), XMVectorZero(), &point, &spot);
        frame = XMMatrixOrthographicOffCenterLH(0, float(kWidth), 0, float(kHeight), 0.0001f, 1000.0f);
    }

    void TearDown() override {
        DestroyAllLayouts();
        for (IUnknown* object : owned) object->Release();
    }

    void Clear(float r, float g, float b, float a) {
        const float colour[4] = {r, g, b, a};
        gpu.context->ClearRenderTargetView(screen.View(), colour);
    }

    d3d11_test::Pixels Pixels() { return d3d11_test::ReadBack(gpu.context, screen.Texture()); }

    // A texture whose texels come from the given function of (x, y), row 0 at the top.
    ID3D11ShaderResourceView* MakeTexture(UINT width, UINT height, const std::function<Texel(UINT, UINT)>& texel) {
        std::vector<uint8_t> data(size_t(width) * height * 4);
        for (UINT y = 0; y < height; ++y) {
            for (UINT x = 0; x < width; ++x) {
                const Texel t = texel(x, y);
                std::copy(t.begin(), t.end(), data.begin() + (size_t(y) * width + x) * 4);
            }
        }
        D3D11_TEXTURE2D_DESC desc = {
            width, height, 1, 1, DXGI_FORMAT_R8G8B8A8_UNORM, {1, 0}, D3D11_USAGE_IMMUTABLE, D3D11_BIND_SHADER_RESOURCE,
            0,     0};
        D3D11_SUBRESOURCE_DATA init = {data.data(), width * 4, 0};
        ID3D11Texture2D* texture = nullptr;
        ID3D11ShaderResourceView* view = nullptr;
        EXPECT_TRUE(SUCCEEDED(gpu.device->CreateTexture2D(&desc, &init, &texture)));
        EXPECT_TRUE(SUCCEEDED(gpu.device->CreateShaderResourceView(texture, nullptr, &view)));
        texture->Release();
        owned.push_back(view);
        return view;
    }

    TestDevice gpu;
    LitTexEffect effect;
    XMMATRIX frame;

private:
    void CreateTarget() {
        ASSERT_TRUE(screen.Create(gpu.device, kWidth, kHeight, false));
        screen.Bind(gpu.context);
    }

    void CreateStates() {
        const D3D11_BLEND_DESC bsDesc = TransparentBlendDesc();
        ASSERT_TRUE(SUCCEEDED(gpu.device->CreateBlendState(&bsDesc, &blend)));
        const D3D11_DEPTH_STENCIL_DESC dsDesc = NoDepthTestDesc();
        ASSERT_TRUE(SUCCEEDED(gpu.device->CreateDepthStencilState(&dsDesc, &depth)));
        const D3D11_RASTERIZER_DESC rsDesc = NoCullRasterizerDesc();
        ASSERT_TRUE(SUCCEEDED(gpu.device->CreateRasterizerState(&rsDesc, &rasterizer)));
        owned.push_back(blend);
        owned.push_back(depth);
        owned.push_back(rasterizer);
    }

    OffscreenTarget screen;
    ID3D11BlendState* blend = nullptr;
    ID3D11DepthStencilState* depth = nullptr;
    ID3D11RasterizerState* rasterizer = nullptr;
    std::vector<IUnknown*> owned;
};
