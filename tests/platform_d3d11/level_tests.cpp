#include <d3d11.h>
#include <gtest/gtest.h>
#include <cstdlib>

// Mesa refuses a 4.5 core context under this override, as on hardware below feature level 11.
TEST(DeviceCreation, FallsBackToFeatureLevel10WithoutGl45) {
    setenv("MESA_GL_VERSION_OVERRIDE", "3.3", 1);
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
    D3D_FEATURE_LEVEL level = D3D_FEATURE_LEVEL(0);
    ASSERT_EQ(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, D3D11_CREATE_DEVICE_DEBUG, nullptr, 0,
                                D3D11_SDK_VERSION, &device, &level, &context),
              S_OK);
    EXPECT_EQ(level, D3D_FEATURE_LEVEL_10_0);
    D3D11_BUFFER_DESC desc = {16, D3D11_USAGE_DEFAULT, D3D11_BIND_VERTEX_BUFFER, 0, 0, 0};
    ID3D11Buffer* buffer = nullptr;
    EXPECT_EQ(device->CreateBuffer(&desc, nullptr, &buffer), E_NOTIMPL);
    EXPECT_EQ(buffer, nullptr);
    context->Release();
    device->Release();
}
