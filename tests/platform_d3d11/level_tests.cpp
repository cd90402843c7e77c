#include <d3d11.h>
#include <gtest/gtest.h>
#include <platform_hooks.h>

#include <cstdlib>
#include <string>

#include "test_device.h"

// Mesa refuses a 4.5 core context under this override, as on hardware below feature level 11.
TEST(DeviceCreation, FallsBackToFeatureLevel10WithoutGl45) {
    setenv("MESA_GL_VERSION_OVERRIDE", "3.3", 1);
    const TestDevice gpu(D3D_DRIVER_TYPE_HARDWARE, D3D11_CREATE_DEVICE_DEBUG);
    ASSERT_EQ(gpu.result, S_OK);
    EXPECT_EQ(gpu.level, D3D_FEATURE_LEVEL_10_0);
    D3D11_BUFFER_DESC desc = {16, D3D11_USAGE_DEFAULT, D3D11_BIND_VERTEX_BUFFER, 0, 0, 0};
    ID3D11Buffer* buffer = nullptr;
    std::wstring said;
    platform::SetDebugOutputHook([&said](const std::wstring& text) { said += text; });
    EXPECT_EQ(gpu.device->CreateBuffer(&desc, nullptr, &buffer), E_NOTIMPL);
    platform::SetDebugOutputHook(nullptr);
    EXPECT_EQ(buffer, nullptr);
    // The refusal blames the level, not the arguments.
    EXPECT_NE(said.find(L"CreateBuffer: The device's feature level is below 11_0; it creates nothing."),
              std::wstring::npos)
        << std::string(said.begin(), said.end());
}
