// The application when device objects are missing or their creation fails: each failure is reported once and the
// frames go on.
#include <algorithm>

#include "failing_device.h"
#include "app_fixture.h"

namespace {

// Sets the frame's device objects as a failed start-up or a failing device would leave them.
struct FrameObjects : Corvalo {
    static IDXGISwapChain*& SwapChain(Corvalo& app) { return app.*(&FrameObjects::mSwapChain); }
    static ID3D11Device*& Device(Corvalo& app) { return app.*(&FrameObjects::md3dDevice); }
};

// Lends the application another device for as long as it lives.
class DeviceSwap {
public:
    DeviceSwap(Corvalo& app, ID3D11Device* device) : mSlot(FrameObjects::Device(app)), mOwn(mSlot) { mSlot = device; }
    ~DeviceSwap() { mSlot = mOwn; }
    DeviceSwap(const DeviceSwap&) = delete;
    DeviceSwap& operator=(const DeviceSwap&) = delete;

private:
    ID3D11Device*& mSlot;
    ID3D11Device* mOwn;
};

class AppFailureTest : public AppTest {
protected:
    long BoxesNaming(const std::string& call) const {
        return std::count_if(boxes.begin(), boxes.end(),
                             [&call](const std::string& box) { return box.find(call) != std::string::npos; });
    }
};

TEST_F(AppFailureTest, FramesWithoutASwapChainPresentNothingAndGoOn) {
    IDXGISwapChain*& swapChain = FrameObjects::SwapChain(*app);
    swapChain->Release();
    swapChain = nullptr;
    PassSplash();
    Frame();
    EXPECT_TRUE(boxes.empty()) << Boxes();
}

TEST_F(AppFailureTest, AFailingRasterizerStateIsReportedOnce) {
    NoRasterizerStateDevice failing(app->GetDevice());
    {
        DeviceSwap swap(*app, &failing);
        for (int i = 0; i < 3; ++i) Frame(0.01f);
    }
    EXPECT_EQ(BoxesNaming("CreateRasterizerState"), 1) << Boxes();
    EXPECT_EQ(boxes.size(), 1u) << Boxes();
}

// A refused depth buffer is reported by its own creation call, and no view is asked of the buffer that is not there.
TEST_F(AppFailureTest, ARefusedDepthBufferIsReportedByItsCreationCall) {
    TextureRefusingDevice failing(app->GetDevice(), D3D11_BIND_DEPTH_STENCIL);
    {
        DeviceSwap swap(*app, &failing);
        SendMessageW(app->GetWindow(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(1024, 768));
    }
    EXPECT_EQ(BoxesNaming("md3dDevice->CreateTexture2D(&depthStencilDesc, 0, &mDepthStencilBuffer)"), 1) << Boxes();
    EXPECT_EQ(boxes.size(), 1u) << Boxes();
}

}  // namespace
