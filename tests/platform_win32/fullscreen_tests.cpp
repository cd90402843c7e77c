// Fullscreen: the picture's place on screens of many sizes, and a window that keeps its client size while the
// layer scales it onto the screen.
#include <algorithm>
#include "win32/fullscreen.h"
#include "win32/picture_fit.h"
#include "win32_fixture.h"
#include "win32/window_internal.h"

using namespace win32_test;
using platform::PicturePoint;
using platform::PictureRect;

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

struct ScreenCase {
    int width, height;
    PictureRect expected;
    bool whole;
    int factor;
};

TEST(PictureFit, TheLargestFourToThreeRectangleIsCentredWithBarsOutside) {
    const ScreenCase cases[] = {
        {1920, 1080, {240, 0, 1440, 1080}, false, 2}, {2048, 1536, {0, 0, 2048, 1536}, true, 2},
        {1280, 1024, {0, 32, 1280, 960}, false, 2},   {1024, 768, {0, 0, 1024, 768}, true, 1},
        {1366, 768, {171, 0, 1024, 768}, true, 1},    {3840, 2160, {480, 0, 2880, 2160}, false, 3},
        {800, 600, {0, 0, 800, 600}, false, 1},       {640, 480, {0, 0, 640, 480}, false, 1},
        {768, 1024, {0, 224, 768, 576}, false, 1},    {3072, 2304, {0, 0, 3072, 2304}, true, 3},
    };
    for (const ScreenCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        const PictureRect rect = platform::FitPicture(c.width, c.height, kWidth, kHeight);
        EXPECT_EQ(rect.x, c.expected.x);
        EXPECT_EQ(rect.y, c.expected.y);
        EXPECT_EQ(rect.width, c.expected.width);
        EXPECT_EQ(rect.height, c.expected.height);
        EXPECT_EQ(platform::IsWholeScale(rect, kWidth, kHeight), c.whole);
        EXPECT_EQ(platform::SharpScaleFactor(rect, kWidth, kHeight), c.factor);
    }
    const PictureRect none = platform::FitPicture(0, 1080, kWidth, kHeight);
    EXPECT_EQ(none.width * none.height, 0);
}

TEST(PictureFit, ScreenPixelsMapIntoTheClientAreaAndBarsOutsideIt) {
    const PictureRect wide = platform::FitPicture(1920, 1080, kWidth, kHeight);
    const auto map = [&](int x, int y) { return platform::AreaToPicture(wide, kWidth, kHeight, {x, y}); };
    EXPECT_EQ(map(240, 0).x, 0);
    EXPECT_EQ(map(1679, 1079).x, 1023);
    EXPECT_EQ(map(1679, 1079).y, 767);
    EXPECT_EQ(map(239, 500).x, -1);    // the left bar
    EXPECT_EQ(map(1680, 10).x, 1024);  // the right bar
    EXPECT_EQ(map(0, 0).x, -171);

    // Screens larger, equal and smaller: every pixel of the picture maps onto itself and back.
    for (const auto& screen : {std::pair{1920, 1080}, std::pair{1024, 768}, std::pair{1280, 1024}}) {
        const PictureRect rect = platform::FitPicture(screen.first, screen.second, kWidth, kHeight);
        for (int y = 0; y < kHeight; y += 7) {
            for (int x = 0; x < kWidth; ++x) {
                const PicturePoint there = platform::PictureToArea(rect, kWidth, kHeight, {x, y});
                const PicturePoint back = platform::AreaToPicture(rect, kWidth, kHeight, there);
                ASSERT_EQ(back.x, x) << screen.first << "x" << screen.second;
                ASSERT_EQ(back.y, y) << screen.first << "x" << screen.second;
            }
        }
    }
    // Smaller than the picture: every screen pixel lands in it, corners on corners, in order.
    const PictureRect small = platform::FitPicture(640, 480, kWidth, kHeight);
    int previous = -1;
    for (int x = 0; x < 640; ++x) {
        const PicturePoint p = platform::AreaToPicture(small, kWidth, kHeight, {x, 479});
        ASSERT_GT(p.x, previous);
        ASSERT_LT(p.x, kWidth);
        ASSERT_EQ(p.y, 767);
        previous = p.x;
    }
    EXPECT_EQ(platform::AreaToPicture(small, kWidth, kHeight, {0, 0}).x, 0);
}

std::vector<MSG> Only(const std::vector<MSG>& messages, UINT kind) {
    std::vector<MSG> found;
    std::copy_if(messages.begin(), messages.end(), std::back_inserter(found),
                 [&](const MSG& msg) { return msg.message == kind; });
    return found;
}

RECT ClientRect(HWND window) {
    RECT rect = {};
    GetClientRect(window, &rect);
    return rect;
}

// The offscreen driver's screen is 1024 x 768; a 640 x 400 client shows as 1024 x 640 with bars above and below.
class Fullscreen : public Win32Window {
protected:
    void SetUp() override {
        Win32Window::SetUp();
        ShowWindow(window, SW_SHOW);
        SetWindowPos(window, nullptr, 0, 0, 640 + 16, 400 + 39, SWP_NOMOVE);
        PumpAll();
        received.clear();
        platform::AllowFullscreenToggle(window, true);
    }
};

TEST_F(Fullscreen, AltEnterAndF11SwitchWithoutTheProgramSeeingAnotherSize) {
    PushKey(window, SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_LALT);
    std::vector<MSG> messages = PumpAll();
    EXPECT_TRUE(platform::IsWindowFullscreen(window));
    EXPECT_TRUE(Only(messages, WM_SIZE).empty());
    EXPECT_TRUE(Only(messages, WM_KEYDOWN).empty());
    EXPECT_EQ(ClientRect(window).right, 640);
    EXPECT_EQ(ClientRect(window).bottom, 400);

    PushKey(window, SDL_KEYDOWN, SDL_SCANCODE_F11, KMOD_NONE);
    messages = PumpAll();
    EXPECT_FALSE(platform::IsWindowFullscreen(window));
    EXPECT_TRUE(Only(messages, WM_SIZE).empty());
    int width = 0, height = 0;
    SDL_GetWindowSize(platform::SdlWindowOf(window), &width, &height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 400);

    PushKey(window, SDL_KEYDOWN, SDL_SCANCODE_KP_ENTER, KMOD_RALT);
    PumpAll();
    EXPECT_TRUE(platform::IsWindowFullscreen(window));
    // Enter alone is an ordinary key.
    PushKey(window, SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_NONE);
    EXPECT_EQ(Only(PumpAll(), WM_KEYDOWN).size(), 1u);
    EXPECT_TRUE(platform::IsWindowFullscreen(window));
}

TEST_F(Fullscreen, OnlyThePlainChordsSwitch) {
    struct Chord {
        SDL_Scancode key;
        Uint16 modifiers;
        bool switches;
    };
    const Chord chords[] = {
        {SDL_SCANCODE_RETURN, KMOD_LALT | KMOD_NUM | KMOD_CAPS, true},
        {SDL_SCANCODE_F11, KMOD_NUM, true},
        {SDL_SCANCODE_RETURN, KMOD_LALT | KMOD_LCTRL, false},
        {SDL_SCANCODE_RETURN, KMOD_RALT | KMOD_RSHIFT, false},
        {SDL_SCANCODE_KP_ENTER, KMOD_LALT | KMOD_LGUI, false},
        {SDL_SCANCODE_F11, KMOD_RCTRL, false},
        {SDL_SCANCODE_F11, KMOD_LGUI, false},
        {SDL_SCANCODE_F11, KMOD_LSHIFT, false},
        {SDL_SCANCODE_F11, KMOD_LALT, false},
    };
    for (const Chord& chord : chords) {
        SCOPED_TRACE(testing::Message() << SDL_GetScancodeName(chord.key) << " with modifiers " << chord.modifiers);
        const bool before = platform::IsWindowFullscreen(window);
        PushKey(window, SDL_KEYDOWN, chord.key, chord.modifiers);
        PumpAll();
        EXPECT_EQ(platform::IsWindowFullscreen(window) != before, chord.switches);
    }
}

TEST_F(Fullscreen, WindowsNoSwapChainPresentsIntoKeepAltEnterAsKeys) {
    platform::AllowFullscreenToggle(window, false);
    PushKey(window, SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_LALT);
    const std::vector<MSG> keys = Only(PumpAll(), WM_KEYDOWN);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].wParam, WPARAM(VK_RETURN));
    EXPECT_FALSE(platform::IsWindowFullscreen(window));
}

TEST_F(Fullscreen, PressesMapIntoTheClientAreaAndTheBarsAreOutsideIt) {
    ASSERT_TRUE(platform::SetWindowFullscreen(window, true));
    PumpAll();
    PushButton(window, SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 512, 20);  // the bar above the picture
    EXPECT_TRUE(Only(PumpAll(), WM_LBUTTONDOWN).empty());

    PushButton(window, SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 512, 384);
    std::vector<MSG> presses = Only(PumpAll(), WM_LBUTTONDOWN);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(LOWORD(presses[0].lParam), 320);
    EXPECT_EQ(HIWORD(presses[0].lParam), 200);

    // With the capture the window hears of the bars too, in client coordinates outside its area.
    SetCapture(window);
    PushButton(window, SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 0, 0);
    presses = Only(PumpAll(), WM_LBUTTONDOWN);
    ReleaseCapture();
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(static_cast<SHORT>(HIWORD(presses[0].lParam)), -40);

    const POINT centre = platform::detail::ClientToWindowPixels(window, {320, 200});
    EXPECT_EQ(centre.x, 512);
    EXPECT_EQ(centre.y, 384);
}

TEST_F(Fullscreen, FocusLossStillPausesAndAfterLeavingResizesReachTheProgramAgain) {
    ASSERT_TRUE(platform::SetWindowFullscreen(window, true));
    PumpAll();
    PushWindowEvent(window, SDL_WINDOWEVENT_SIZE_CHANGED, 1024, 768);
    PushWindowEvent(window, SDL_WINDOWEVENT_FOCUS_LOST);
    std::vector<MSG> messages = PumpAll();
    EXPECT_TRUE(Only(messages, WM_SIZE).empty());
    const std::vector<MSG> activations = Only(messages, WM_ACTIVATE);
    ASSERT_EQ(activations.size(), 1u);
    EXPECT_EQ(LOWORD(activations[0].wParam), WA_INACTIVE);

    ASSERT_TRUE(platform::SetWindowFullscreen(window, false));
    PumpAll();
    EXPECT_EQ(ClientRect(window).right, 640);
    PushWindowEvent(window, SDL_WINDOWEVENT_SIZE_CHANGED, 700, 500);
    const std::vector<MSG> sizes = Only(PumpAll(), WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(LOWORD(sizes[0].lParam), 700);
}

}  // namespace
