// A device, a window to present to, and a pair of tiny shaders for draws while the effects framework is elsewhere.
#pragma once
#include <d3d11.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "d3d11_layer.h"
#include "readback.h"
#include "test_device.h"
#include "test_window.h"
#include "windows.h"

namespace d3d11_test {

template <class T>
void SafeRelease(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

inline HWND MakeWindow(int clientWidth, int clientHeight) {
    static const bool registered = RegisterTestClass(L"D3D11TestWindow", DefWindowProcW);
    EXPECT_TRUE(registered);
    return MakeTestWindow(L"D3D11TestWindow", clientWidth, clientHeight);
}

// The 2-D texture a view shows, found through its resource as an application finds it, and its description; the
// caller releases it.
inline ID3D11Texture2D* TextureOf(ID3D11View* view, D3D11_TEXTURE2D_DESC* desc) {
    ID3D11Resource* resource = nullptr;
    view->GetResource(&resource);
    ID3D11Texture2D* texture = nullptr;
    EXPECT_EQ(resource->QueryInterface(__uuidof(ID3D11Texture2D), reinterpret_cast<void**>(&texture)), S_OK);
    resource->Release();
    if (texture) texture->GetDesc(desc);
    return texture;
}

// Vertices: float3 position (clip space), float4 colour.
struct Vertex {
    float x, y, z;
    float r, g, b, a;
};

class D3D11Test : public ::testing::Test {
protected:
    void SetUp() override {
        gpu_ = std::make_unique<TestDevice>(driverType, creationFlags);
        ASSERT_EQ(gpu_->result, S_OK);
        device = gpu_->device;
        context = gpu_->context;
        level = gpu_->level;
    }
    void TearDown() override {
        SafeRelease(vertexShader);
        SafeRelease(pixelShader);
        SafeRelease(layout);
        gpu_.reset();
        device = nullptr;
        context = nullptr;
    }

    // A render target of the given size with its view.
    void MakeTarget(UINT width, UINT height, ID3D11Texture2D** texture, ID3D11RenderTargetView** view) {
        D3D11_TEXTURE2D_DESC desc = {width,
                                     height,
                                     1,
                                     1,
                                     DXGI_FORMAT_R8G8B8A8_UNORM,
                                     {1, 0},
                                     D3D11_USAGE_DEFAULT,
                                     D3D11_BIND_RENDER_TARGET | D3D11_BIND_SHADER_RESOURCE,
                                     0,
                                     0};
        ASSERT_EQ(device->CreateTexture2D(&desc, nullptr, texture), S_OK);
        ASSERT_EQ(device->CreateRenderTargetView(*texture, nullptr, view), S_OK);
        D3D11_VIEWPORT viewport = {0, 0, float(width), float(height), 0, 1};
        context->OMSetRenderTargets(1, view, nullptr);
        context->RSSetViewports(1, &viewport);
    }

    // A swap chain of one R8G8B8A8 buffer presenting to the window, made through the device's DXGI factory.
    HRESULT CreateSwapChain(HWND window, UINT width, UINT height, IDXGISwapChain** swapChain) {
        DXGI_SWAP_CHAIN_DESC desc = {};
        desc.BufferDesc = {width,
                           height,
                           {60, 1},
                           DXGI_FORMAT_R8G8B8A8_UNORM,
                           DXGI_MODE_SCANLINE_ORDER_UNSPECIFIED,
                           DXGI_MODE_SCALING_UNSPECIFIED};
        desc.SampleDesc = {1, 0};
        desc.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
        desc.BufferCount = 1;
        desc.OutputWindow = window;
        desc.Windowed = TRUE;
        IDXGIFactory* factory = nullptr;
        if (FAILED(CreateDXGIFactory(__uuidof(IDXGIFactory), reinterpret_cast<void**>(&factory)))) return E_FAIL;
        const HRESULT hr = factory->CreateSwapChain(device, &desc, swapChain);
        factory->Release();
        return hr;
    }

    // A texture of 24-bit depth and 8-bit stencil, to bind as a depth-stencil target.
    ID3D11Texture2D* MakeDepthTexture(UINT width, UINT height) {
        const D3D11_TEXTURE2D_DESC desc = {
            width, height, 1, 1, DXGI_FORMAT_D24_UNORM_S8_UINT, {1, 0}, D3D11_USAGE_DEFAULT, D3D11_BIND_DEPTH_STENCIL,
            0,     0};
        ID3D11Texture2D* depth = nullptr;
        EXPECT_EQ(device->CreateTexture2D(&desc, nullptr, &depth), S_OK);
        return depth;
    }

    std::vector<uint8_t> Signature() {
        return platform::d3d11::EncodeInputSignature({{"POSITION", 0, 0, 3, platform::d3d11::ComponentType::Float},
                                                      {"COLOR", 0, 1, 4, platform::d3d11::ComponentType::Float}});
    }

    static std::vector<uint8_t> Shader(platform::d3d11::ShaderStage stage, const char* glsl) {
        return platform::d3d11::EncodeShader({stage, glsl, {}});
    }

    // Binds shaders passing colours through, and the matching input layout.
    void UseColourProgram() {
        const std::vector<uint8_t> vertex =
            Shader(platform::d3d11::ShaderStage::Vertex,
                   "#version 450\nlayout(location=0) in vec3 pos; layout(location=1) in vec4 colour; out vec4 c;\n"
                   "void main() { gl_Position = vec4(pos, 1); c = colour; }\n");
        const std::vector<uint8_t> pixel =
            Shader(platform::d3d11::ShaderStage::Pixel,
                   "#version 450\nin vec4 c; layout(location=0) out vec4 o;\nvoid main() { o = c; }\n");
        ASSERT_EQ(device->CreateVertexShader(vertex.data(), vertex.size(), nullptr, &vertexShader), S_OK);
        ASSERT_EQ(device->CreatePixelShader(pixel.data(), pixel.size(), nullptr, &pixelShader), S_OK);
        context->VSSetShader(vertexShader, nullptr, 0);
        context->PSSetShader(pixelShader, nullptr, 0);
        const D3D11_INPUT_ELEMENT_DESC elements[] = {
            {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
            {"COLOR", 0, DXGI_FORMAT_R32G32B32A32_FLOAT, 0, D3D11_APPEND_ALIGNED_ELEMENT, D3D11_INPUT_PER_VERTEX_DATA,
             0}};
        const std::vector<uint8_t> signature = Signature();
        ASSERT_EQ(device->CreateInputLayout(elements, 2, signature.data(), signature.size(), &layout), S_OK);
        context->IASetInputLayout(layout);
    }

    // Draws the vertices as a triangle list from an immutable buffer.
    void DrawTriangles(const std::vector<Vertex>& vertices) {
        D3D11_BUFFER_DESC desc = {
            UINT(vertices.size() * sizeof(Vertex)), D3D11_USAGE_IMMUTABLE, D3D11_BIND_VERTEX_BUFFER, 0, 0, 0};
        D3D11_SUBRESOURCE_DATA data = {vertices.data(), 0, 0};
        ID3D11Buffer* buffer = nullptr;
        ASSERT_EQ(device->CreateBuffer(&desc, &data, &buffer), S_OK);
        const UINT stride = sizeof(Vertex), offset = 0;
        context->IASetVertexBuffers(0, 1, &buffer, &stride, &offset);
        context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
        context->Draw(UINT(vertices.size()), 0);
        buffer->Release();
    }

    // A derived fixture may pick D3D_DRIVER_TYPE_NULL or other flags in its constructor.
    D3D_DRIVER_TYPE driverType = D3D_DRIVER_TYPE_HARDWARE;
    UINT creationFlags = D3D11_CREATE_DEVICE_DEBUG;
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
    ID3D11InputLayout* layout = nullptr;
    D3D_FEATURE_LEVEL level = D3D_FEATURE_LEVEL(0);
    ID3D11VertexShader* vertexShader = nullptr;
    ID3D11PixelShader* pixelShader = nullptr;

private:
    std::unique_ptr<TestDevice> gpu_;
};

// One render target's blending, colour and alpha each added, writing every channel.
inline D3D11_RENDER_TARGET_BLEND_DESC AddedBlend(D3D11_BLEND source, D3D11_BLEND destination,
                                                 D3D11_BLEND sourceAlpha = D3D11_BLEND_ONE,
                                                 D3D11_BLEND destinationAlpha = D3D11_BLEND_ZERO) {
    return {TRUE,        source,           destination,        D3D11_BLEND_OP_ADD,
            sourceAlpha, destinationAlpha, D3D11_BLEND_OP_ADD, D3D11_COLOR_WRITE_ENABLE_ALL};
}

// A sampler that filters and addresses alike on every axis, with no level-of-detail limits.
inline D3D11_SAMPLER_DESC SamplerDesc(D3D11_FILTER filter, D3D11_TEXTURE_ADDRESS_MODE address, UINT maxAnisotropy = 1,
                                      D3D11_COMPARISON_FUNC comparison = D3D11_COMPARISON_NEVER) {
    return {filter, address, address, address, 0, maxAnisotropy, comparison, {0, 0, 0, 0}, 0, D3D11_FLOAT32_MAX};
}

inline std::array<uint8_t, 4> Rgba(uint8_t r, uint8_t g, uint8_t b, uint8_t a) { return {r, g, b, a}; }

}  // namespace d3d11_test
