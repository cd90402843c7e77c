// The frame on a real headless device: its targets are cleared and presented, and rebuilt at a new size.
#include <gtest/gtest.h>
#include <platform_hooks.h>

#include "readback.h"
#include "clear_app.h"

namespace {

class ClearAppTest : public ::testing::Test {
protected:
    ~ClearAppTest() override {
        platform::SetCounterSource(nullptr, 0);
        UnregisterClassW(L"D3DWndClassName", nullptr);
    }

    d3d11_test::Pixels BackBuffer() {
        ID3D11Texture2D* backBuffer = nullptr;
        app.SwapChain()->GetBuffer(0, __uuidof(ID3D11Texture2D), reinterpret_cast<void**>(&backBuffer));
        d3d11_test::Pixels pixels = d3d11_test::ReadBack(app.Context(), backBuffer);
        backBuffer->Release();
        return pixels;
    }

    void ExpectEveryPixel(const d3d11_test::Pixels& pixels, UINT width, UINT height) {
        ASSERT_EQ(pixels.width, width);
        ASSERT_EQ(pixels.height, height);
        const std::array<uint8_t, 4> expected = {64, 128, 191, 255};
        size_t wrong = 0;
        for (UINT y = 0; y < height; ++y) {
            for (UINT x = 0; x < width; ++x) wrong += pixels.At(x, y) != expected;
        }
        EXPECT_EQ(wrong, 0u);
    }

    ClearApp app{nullptr};
};

TEST_F(ClearAppTest, ClearsAndPresentsTheWholeClientArea) {
    ASSERT_TRUE(app.Initialize());
    EXPECT_EQ(app.ResizeCount(), 1);
    app.Render();
    ExpectEveryPixel(BackBuffer(), 1024, 768);
}

TEST_F(ClearAppTest, ResizeRebuildsTheTargetsAtTheNewSize) {
    ASSERT_TRUE(app.Initialize());
    app.HandleMessage(app.Window(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 480));
    EXPECT_EQ(app.ResizeCount(), 2);
    app.Render();
    ExpectEveryPixel(BackBuffer(), 640, 480);
}

TEST_F(ClearAppTest, LoopRunsFramesUntilQuit) {
    ASSERT_TRUE(app.Initialize());
    // Each reading of the counter is a millisecond on, so how many frames fit does not depend on how long they take.
    // The frequency stays the real counter's, which the app's clock read when it was made.
    platform::SetCounterSource([now = int64_t{0}]() mutable { return now += 1000000; }, 1000000000);
    app.SetRunSeconds(0.2f);
    EXPECT_EQ(app.RunLoop(), 0);
    EXPECT_GT(app.FrameSteps().size(), 1u);
}

}  // namespace
