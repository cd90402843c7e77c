#pragma once
#include <d3d11.h>

#include <gtest/gtest.h>

// A headless device and immediate context for tests that need real buffers and textures. Tests that never read
// pixels back ask for Direct3D's null driver: it validates and records every call but starts no GL, so such a test
// neither pays for a GL context nor depends on one.
struct TestDevice {
    explicit TestDevice(D3D_DRIVER_TYPE driverType = D3D_DRIVER_TYPE_HARDWARE, UINT flags = 0) {
        result = D3D11CreateDevice(nullptr, driverType, nullptr, flags, nullptr, 0, D3D11_SDK_VERSION, &device, &level,
                                   &context);
        EXPECT_EQ(result, S_OK);
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
    D3D_FEATURE_LEVEL level = D3D_FEATURE_LEVEL(0);
    HRESULT result = E_FAIL;
};
