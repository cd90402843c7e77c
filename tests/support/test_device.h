#pragma once
#include <d3d11.h>

#include <gtest/gtest.h>

// A headless device and immediate context for tests that need real buffers and textures.
struct TestDevice {
    TestDevice() {
        D3D_FEATURE_LEVEL level;
        const HRESULT hr = D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0,
                                             D3D11_SDK_VERSION, &device, &level, &context);
        EXPECT_TRUE(SUCCEEDED(hr));
    }
    ~TestDevice() {
        if (context) {
            context->ClearState();
            context->Release();
        }
        if (device) device->Release();
    }
    TestDevice(const TestDevice&) = delete;
    TestDevice& operator=(const TestDevice&) = delete;

    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
};
