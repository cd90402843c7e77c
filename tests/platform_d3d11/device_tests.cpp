#include <dxgi.h>
#include "d3d11_fixture.h"
#include "d3d11/device.h"

namespace d3d11_test {
namespace {

TEST(DeviceCreation, GivesFeatureLevel11OnAGl45CoreContext) {
    const TestDevice gpu(D3D_DRIVER_TYPE_HARDWARE, D3D11_CREATE_DEVICE_DEBUG);
    ASSERT_EQ(gpu.result, S_OK);
    EXPECT_EQ(gpu.level, D3D_FEATURE_LEVEL_11_0);
    EXPECT_EQ(gpu.device->GetFeatureLevel(), D3D_FEATURE_LEVEL_11_0);
    static_cast<platform::Device*>(gpu.device)->MakeCurrent();
    GLint major = 0, minor = 0, profile = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    EXPECT_GE(major * 10 + minor, 45);
    EXPECT_TRUE(profile & GL_CONTEXT_CORE_PROFILE_BIT);
}

// The null device answers as the hardware device does, without a display.
TEST(DeviceCreation, HonoursTheLevelListAndRejectsBadArguments) {
    const D3D_FEATURE_LEVEL only10[] = {D3D_FEATURE_LEVEL_10_0};
    const D3D_FEATURE_LEVEL only111[] = {D3D_FEATURE_LEVEL_11_1};
    for (D3D_DRIVER_TYPE driverType : {D3D_DRIVER_TYPE_HARDWARE, D3D_DRIVER_TYPE_NULL}) {
        SCOPED_TRACE(driverType == D3D_DRIVER_TYPE_NULL ? "null device" : "hardware device");
        D3D_FEATURE_LEVEL level = D3D_FEATURE_LEVEL(0);
        EXPECT_EQ(
            D3D11CreateDevice(nullptr, driverType, nullptr, 0, only10, 1, D3D11_SDK_VERSION, nullptr, &level, nullptr),
            S_OK);
        EXPECT_EQ(level, D3D_FEATURE_LEVEL_10_0);
        EXPECT_EQ(
            D3D11CreateDevice(nullptr, driverType, nullptr, 0, only111, 1, D3D11_SDK_VERSION, nullptr, &level, nullptr),
            E_FAIL);
    }

    ID3D11Device* device = reinterpret_cast<ID3D11Device*>(1);
    EXPECT_EQ(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, only10, 0, D3D11_SDK_VERSION, &device,
                                nullptr, nullptr),
              E_INVALIDARG);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(
        D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0, 6, &device, nullptr, nullptr),
        E_INVALIDARG);
}

using DeviceTest = D3D11Test;

TEST_F(DeviceTest, ReportsMultisampleQualityLevels) {
    UINT levels = 99;
    EXPECT_EQ(device->CheckMultisampleQualityLevels(DXGI_FORMAT_R8G8B8A8_UNORM, 4, &levels), S_OK);
    EXPECT_EQ(levels, 1u);
    EXPECT_EQ(device->CheckMultisampleQualityLevels(DXGI_FORMAT_R8G8B8A8_UNORM, 1, &levels), S_OK);
    EXPECT_EQ(levels, 1u);
    EXPECT_EQ(device->CheckMultisampleQualityLevels(DXGI_FORMAT_D24_UNORM_S8_UINT, 4, &levels), S_OK);
    EXPECT_EQ(levels, 1u);
    EXPECT_EQ(device->CheckMultisampleQualityLevels(DXGI_FORMAT_R8G8B8A8_UNORM, 3, &levels), S_OK);
    EXPECT_EQ(levels, 0u);
    EXPECT_EQ(device->CheckMultisampleQualityLevels(DXGI_FORMAT_BC1_UNORM, 1, &levels), S_OK);
    EXPECT_EQ(levels, 0u);
}

TEST_F(DeviceTest, ViewsKeepTheirTextureAlive) {
    ID3D11Texture2D* texture = nullptr;
    ID3D11RenderTargetView* view = nullptr;
    MakeTarget(8, 4, &texture, &view);
    context->OMSetRenderTargets(0, nullptr, nullptr);
    texture->Release();
    D3D11_TEXTURE2D_DESC desc = {};
    ID3D11Texture2D* again = TextureOf(view, &desc);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(desc.Width, 8u);
    EXPECT_EQ(desc.Height, 4u);
    ID3D11Buffer* notABuffer = nullptr;
    EXPECT_EQ(again->QueryInterface(__uuidof(ID3D11Buffer), reinterpret_cast<void**>(&notABuffer)), E_NOINTERFACE);
    again->Release();
    view->Release();
}

class SwapChainTest : public D3D11Test {
protected:
    void SetUp() override {
        D3D11Test::SetUp();
        window = MakeWindow(64, 48);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        SafeRelease(swapChain);
        context->ClearState();
        DestroyWindow(window);
        D3D11Test::TearDown();
    }

    DXGI_SWAP_CHAIN_DESC Description(UINT samples) {
        DXGI_SWAP_CHAIN_DESC desc = {};
        desc.BufferDesc = {64,
                           48,
                           {60, 1},
                           DXGI_FORMAT_R8G8B8A8_UNORM,
                           DXGI_MODE_SCANLINE_ORDER_UNSPECIFIED,
                           DXGI_MODE_SCALING_UNSPECIFIED};
        desc.SampleDesc = {samples, 0};
        desc.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
        desc.BufferCount = 1;
        desc.OutputWindow = window;
        desc.Windowed = TRUE;
        desc.SwapEffect = DXGI_SWAP_EFFECT_DISCARD;
        return desc;
    }

    // The game's path: device -> IDXGIDevice -> adapter -> factory -> swap chain.
    HRESULT CreateThroughDxgi(DXGI_SWAP_CHAIN_DESC desc) {
        IDXGIDevice* dxgiDevice = nullptr;
        IDXGIAdapter* adapter = nullptr;
        IDXGIFactory* factory = nullptr;
        EXPECT_EQ(device->QueryInterface(__uuidof(IDXGIDevice), reinterpret_cast<void**>(&dxgiDevice)), S_OK);
        EXPECT_EQ(dxgiDevice->GetParent(__uuidof(IDXGIAdapter), reinterpret_cast<void**>(&adapter)), S_OK);
        EXPECT_EQ(adapter->GetParent(__uuidof(IDXGIFactory), reinterpret_cast<void**>(&factory)), S_OK);
        const HRESULT hr = factory->CreateSwapChain(device, &desc, &swapChain);
        factory->Release();
        adapter->Release();
        dxgiDevice->Release();
        return hr;
    }

    // Clears back buffer 0 to a colour and reads it back.
    Pixels ClearAndRead(const FLOAT colour[4]) {
        ID3D11Texture2D* backBuffer = nullptr;
        EXPECT_EQ(swapChain->GetBuffer(0, __uuidof(ID3D11Texture2D), reinterpret_cast<void**>(&backBuffer)), S_OK);
        ID3D11RenderTargetView* view = nullptr;
        EXPECT_EQ(device->CreateRenderTargetView(backBuffer, nullptr, &view), S_OK);
        context->OMSetRenderTargets(1, &view, nullptr);
        context->ClearRenderTargetView(view, colour);
        Pixels pixels = ReadBack(context, backBuffer);
        view->Release();
        backBuffer->Release();
        return pixels;
    }

    static bool AllEqual(const Pixels& pixels, std::array<uint8_t, 4> expected) {
        for (UINT y = 0; y < pixels.height; ++y) {
            for (UINT x = 0; x < pixels.width; ++x) {
                if (pixels.At(x, y) != expected) return false;
            }
        }
        return pixels.width > 0;
    }

    HWND window = nullptr;
    IDXGISwapChain* swapChain = nullptr;
};

TEST_F(SwapChainTest, BackBufferClearsReadsBackResizesAndPresents) {
    ASSERT_EQ(CreateThroughDxgi(Description(1)), S_OK);
    const FLOAT orange[4] = {1.0f, 0.5f, 0.0f, 1.0f};
    Pixels pixels = ClearAndRead(orange);
    EXPECT_EQ(pixels.width, 64u);
    EXPECT_EQ(pixels.height, 48u);
    EXPECT_TRUE(AllEqual(pixels, Rgba(255, 128, 0, 255)));
    EXPECT_EQ(swapChain->Present(1, 0), S_OK);
    EXPECT_EQ(swapChain->Present(0, 0), S_OK);

    // The view released but still bound (as the game leaves it) does not block the resize.
    ASSERT_EQ(swapChain->ResizeBuffers(1, 40, 30, DXGI_FORMAT_R8G8B8A8_UNORM, 0), S_OK);
    const FLOAT teal[4] = {0.0f, 0.5f, 0.5f, 1.0f};
    pixels = ClearAndRead(teal);
    EXPECT_EQ(pixels.width, 40u);
    EXPECT_EQ(pixels.height, 30u);
    EXPECT_TRUE(AllEqual(pixels, Rgba(0, 128, 128, 255)));

    ID3D11Texture2D* held = nullptr;
    ASSERT_EQ(swapChain->GetBuffer(0, __uuidof(ID3D11Texture2D), reinterpret_cast<void**>(&held)), S_OK);
    EXPECT_EQ(swapChain->ResizeBuffers(1, 20, 20, DXGI_FORMAT_R8G8B8A8_UNORM, 0), DXGI_ERROR_INVALID_CALL);
    held->Release();

    ASSERT_EQ(swapChain->ResizeBuffers(1, 0, 0, DXGI_FORMAT_UNKNOWN, 0), S_OK);
    DXGI_SWAP_CHAIN_DESC desc;
    swapChain->GetDesc(&desc);
    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(LONG(desc.BufferDesc.Width), client.right - client.left);
    EXPECT_EQ(LONG(desc.BufferDesc.Height), client.bottom - client.top);
}

TEST_F(SwapChainTest, MultisampledBackBufferResolvesOnReadAndPresent) {
    ASSERT_EQ(CreateThroughDxgi(Description(4)), S_OK);
    const FLOAT green[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    EXPECT_TRUE(AllEqual(ClearAndRead(green), Rgba(0, 255, 0, 255)));
    EXPECT_EQ(swapChain->Present(0, 0), S_OK);
}

TEST_F(SwapChainTest, RejectsBadDescriptionsWithNothingReturned) {
    DXGI_SWAP_CHAIN_DESC desc = Description(1);
    desc.BufferCount = 0;
    EXPECT_EQ(CreateThroughDxgi(desc), E_INVALIDARG);
    EXPECT_EQ(swapChain, nullptr);
    desc = Description(1);
    desc.BufferDesc.Format = DXGI_FORMAT_D24_UNORM_S8_UINT;
    EXPECT_EQ(CreateThroughDxgi(desc), E_INVALIDARG);
    desc = Description(1);
    desc.OutputWindow = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(CreateThroughDxgi(desc), E_INVALIDARG);
    desc = Description(3);
    EXPECT_EQ(CreateThroughDxgi(desc), E_INVALIDARG);
    EXPECT_EQ(swapChain, nullptr);
}

// The null device has nothing to present to.
class NullSwapChainTest : public SwapChainTest {
protected:
    NullSwapChainTest() { driverType = D3D_DRIVER_TYPE_NULL; }
};

TEST_F(NullSwapChainTest, IsRefusedOnceTheDescriptionIsValid) {
    EXPECT_EQ(CreateThroughDxgi(Description(1)), DXGI_ERROR_UNSUPPORTED);
    EXPECT_EQ(swapChain, nullptr);
    DXGI_SWAP_CHAIN_DESC desc = Description(1);
    desc.BufferCount = 0;
    EXPECT_EQ(CreateThroughDxgi(desc), E_INVALIDARG);
    EXPECT_EQ(swapChain, nullptr);
}

}  // namespace
}  // namespace d3d11_test
