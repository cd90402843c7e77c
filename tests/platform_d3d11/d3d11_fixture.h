// A device, a window to present to, and a pair of tiny shaders for draws while the effects framework is elsewhere.
#pragma once
#include <d3d11.h>
#include <gtest/gtest.h>
#include <string>
#include "d3d11_layer.h"
#include "readback.h"
#include "windows.h"

namespace d3d11_test {

template <class T>
void SafeRelease(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

inline HWND MakeWindow(int clientWidth, int clientHeight) {
    static const bool registered = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.lpszClassName = L"D3D11TestWindow";
        return RegisterClassW(&windowClass) != 0;
    }();
    EXPECT_TRUE(registered);
    RECT rect = {0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    return CreateWindowExW(0, L"D3D11TestWindow", L"D3D11 test", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                           rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, nullptr, nullptr);
}

// Vertices: float3 position (clip space), float4 colour.
struct Vertex {
    float x, y, z;
    float r, g, b, a;
};

class D3D11Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(D3D11CreateDevice(nullptr, driverType, nullptr, D3D11_CREATE_DEVICE_DEBUG, nullptr, 0,
                                    D3D11_SDK_VERSION, &device, &level, &context),
                  S_OK);
    }
    void TearDown() override {
        SafeRelease(vertexShader);
        SafeRelease(pixelShader);
        SafeRelease(layout);
        SafeRelease(context);
        SafeRelease(device);
    }

    // A render target of the given size with its view.
    void MakeTarget(UINT width, UINT height, ID3D11Texture2D** texture, ID3D11RenderTargetView** view) {
        D3D11_TEXTURE2D_DESC desc = {width, height, 1, 1, DXGI_FORMAT_R8G8B8A8_UNORM, {1, 0}, D3D11_USAGE_DEFAULT,
                                     D3D11_BIND_RENDER_TARGET | D3D11_BIND_SHADER_RESOURCE, 0, 0};
        ASSERT_EQ(device->CreateTexture2D(&desc, nullptr, texture), S_OK);
        ASSERT_EQ(device->CreateRenderTargetView(*texture, nullptr, view), S_OK);
        D3D11_VIEWPORT viewport = {0, 0, float(width), float(height), 0, 1};
        context->OMSetRenderTargets(1, view, nullptr);
        context->RSSetViewports(1, &viewport);
    }

    std::vector<uint8_t> Signature() {
        return platform::d3d11::EncodeInputSignature(
            {{"POSITION", 0, 0, 3, platform::d3d11::ComponentType::Float},
             {"COLOR", 0, 1, 4, platform::d3d11::ComponentType::Float}});
    }

    static std::vector<uint8_t> Shader(platform::d3d11::ShaderStage stage, const char* glsl) {
        return platform::d3d11::EncodeShader({stage, glsl, {}});
    }

    // Binds shaders passing colours through, and the matching input layout.
    void UseColourProgram() {
        const std::vector<uint8_t> vertex = Shader(
            platform::d3d11::ShaderStage::Vertex,
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
            {"COLOR", 0, DXGI_FORMAT_R32G32B32A32_FLOAT, 0, D3D11_APPEND_ALIGNED_ELEMENT, D3D11_INPUT_PER_VERTEX_DATA, 0}};
        const std::vector<uint8_t> signature = Signature();
        ASSERT_EQ(device->CreateInputLayout(elements, 2, signature.data(), signature.size(), &layout), S_OK);
        context->IASetInputLayout(layout);
    }

    // Draws the vertices as a triangle list from an immutable buffer.
    void DrawTriangles(const std::vector<Vertex>& vertices) {
        D3D11_BUFFER_DESC desc = {UINT(vertices.size() * sizeof(Vertex)), D3D11_USAGE_IMMUTABLE,
                                  D3D11_BIND_VERTEX_BUFFER, 0, 0, 0};
        D3D11_SUBRESOURCE_DATA data = {vertices.data(), 0, 0};
        ID3D11Buffer* buffer = nullptr;
        ASSERT_EQ(device->CreateBuffer(&desc, &data, &buffer), S_OK);
        const UINT stride = sizeof(Vertex), offset = 0;
        context->IASetVertexBuffers(0, 1, &buffer, &stride, &offset);
        context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
        context->Draw(UINT(vertices.size()), 0);
        buffer->Release();
    }

    // A derived fixture may pick D3D_DRIVER_TYPE_NULL in its constructor.
    D3D_DRIVER_TYPE driverType = D3D_DRIVER_TYPE_HARDWARE;
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
    ID3D11InputLayout* layout = nullptr;
    D3D_FEATURE_LEVEL level = D3D_FEATURE_LEVEL(0);
    ID3D11VertexShader* vertexShader = nullptr;
    ID3D11PixelShader* pixelShader = nullptr;
};

inline std::array<uint8_t, 4> Rgba(uint8_t r, uint8_t g, uint8_t b, uint8_t a) { return {r, g, b, a}; }

}  // namespace d3d11_test
