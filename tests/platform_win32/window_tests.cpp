// Windows: frame metrics, creation messages, show, text, classes, destruction.
#include <string>
#include "platform_text.h"
#include "win32_fixture.h"
#include "win32/window_internal.h"

using namespace win32_test;

namespace {

TEST(AdjustWindowRectTest, AddsWindows10FrameOnlyToSizableCaptionedStyles) {
    RECT rect = {0, 0, 1024, 768};
    ASSERT_TRUE(AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE));
    EXPECT_EQ(rect.left, -8);
    EXPECT_EQ(rect.top, -31);
    EXPECT_EQ(rect.right, 1032);
    EXPECT_EQ(rect.bottom, 776);

    RECT plain = {10, 20, 110, 220};
    ASSERT_TRUE(AdjustWindowRect(&plain, WS_CAPTION, FALSE));
    EXPECT_EQ(plain.left, 10);
    EXPECT_EQ(plain.bottom, 220);
}

TEST_F(Win32Window, OuterSizeFromAdjustWindowRectGivesRequestedClient) {
    RECT client = {};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.top, 0);
    EXPECT_EQ(client.right, 1024);
    EXPECT_EQ(client.bottom, 768);

    int width = 0, height = 0;
    SDL_GetWindowSize(platform::SdlWindowOf(window), &width, &height);
    EXPECT_EQ(width, 1024);
    EXPECT_EQ(height, 768);
    EXPECT_TRUE(SDL_GetWindowFlags(platform::SdlWindowOf(window)) & SDL_WINDOW_HIDDEN);
}

// The client area's top left, as SDL places it, of a 1024 x 768 window at the default position: centred, but with its
// frame inside the usable area on screens smaller than the window.
TEST_F(Win32Window, TheDefaultPositionKeepsTheTitleBarOnScreen) {
    struct Screen {
        SDL_Rect usable;
        SDL_Point expected;
    };
    const Screen screens[] = {
        {{0, 0, 1920, 1080}, {448, 156}}, {{0, 32, 1280, 992}, {128, 144}}, {{0, 0, 1024, 768}, {8, 31}},
        {{0, 0, 800, 600}, {8, 31}},      {{0, 0, 640, 480}, {8, 31}},      {{0, 0, 768, 1024}, {8, 128}},
        {{64, 0, 576, 480}, {72, 31}},
    };
    const platform::detail::Frame frame = platform::detail::FrameFor(WS_OVERLAPPEDWINDOW);
    for (const Screen& screen : screens) {
        SCOPED_TRACE(testing::Message() << screen.usable.w << "x" << screen.usable.h << "+" << screen.usable.x);
        const SDL_Point at = platform::detail::DefaultPosition(screen.usable, 1024, 768, frame);
        EXPECT_EQ(at.x, screen.expected.x);
        EXPECT_EQ(at.y, screen.expected.y);
    }
    // The offscreen driver's screen is 1024 x 768, smaller than the window with its frame.
    SDL_Rect usable = {};
    ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &usable), 0);
    int x = 0, y = 0;
    SDL_GetWindowPosition(platform::SdlWindowOf(window), &x, &y);
    EXPECT_GE(x - frame.left, usable.x);
    EXPECT_GE(y - frame.top, usable.y);
}

TEST_F(Win32Window, CreationAsksMinMaxInfoBeforeCreateAndAppliesMinimumTrackSize) {
    ASSERT_GE(creation.size(), 2u);
    EXPECT_EQ(creation[0].message, static_cast<UINT>(WM_GETMINMAXINFO));
    EXPECT_EQ(creation[1].message, static_cast<UINT>(WM_CREATE));

    minTrackSize = {200, 200};
    HWND constrained = MakeWindow();
    ASSERT_NE(constrained, nullptr);
    int minWidth = 0, minHeight = 0;
    SDL_GetWindowMinimumSize(platform::SdlWindowOf(constrained), &minWidth, &minHeight);
    EXPECT_EQ(minWidth, 184);
    EXPECT_EQ(minHeight, 161);
    DestroyWindow(constrained);
}

TEST_F(Win32Window, FirstShowSendsSizeThenActivateOnce) {
    ShowWindow(window, SW_SHOW);
    ASSERT_EQ(ReceivedKinds(), (std::vector<UINT>{WM_SIZE, WM_ACTIVATE}));
    EXPECT_EQ(received[0].wParam, static_cast<WPARAM>(SIZE_RESTORED));
    EXPECT_EQ(received[0].lParam, MAKELPARAM(1024, 768));
    EXPECT_EQ(LOWORD(received[1].wParam), WA_ACTIVE);
    EXPECT_FALSE(SDL_GetWindowFlags(platform::SdlWindowOf(window)) & SDL_WINDOW_HIDDEN);

    received.clear();
    EXPECT_TRUE(ShowWindow(window, SW_SHOW));  // was already visible
    EXPECT_TRUE(received.empty());
}

TEST_F(Win32Window, WindowTextRoundTripsNonAsciiAndTruncates) {
    const std::wstring title = L"Corvalo \u2014 \u00c6r\u00f8 \u6f22\u5b57 \U0001F3AF";
    ASSERT_TRUE(SetWindowTextW(window, title.c_str()));

    wchar_t buffer[64] = {};
    EXPECT_EQ(GetWindowTextW(window, buffer, 64), static_cast<int>(title.size()));
    EXPECT_EQ(std::wstring(buffer), title);
    EXPECT_EQ(std::string(SDL_GetWindowTitle(platform::SdlWindowOf(window))), platform::ToUtf8(title));

    wchar_t small[5] = {L'x', L'x', L'x', L'x', L'x'};
    EXPECT_EQ(GetWindowTextW(window, small, 5), 4);
    EXPECT_EQ(std::wstring(small), L"Corv");
}

TEST(WindowClassTest, RegistrationRejectsDuplicatesAndMissingNames) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.lpszClassName = L"Win32TestTwice";
    EXPECT_NE(RegisterClassW(&windowClass), 0);
    EXPECT_EQ(RegisterClassW(&windowClass), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));

    windowClass.lpszClassName = nullptr;
    EXPECT_EQ(RegisterClassW(&windowClass), 0);

    EXPECT_EQ(CreateWindowExW(0, L"Win32TestNoSuchClass", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_TRUE(UnregisterClassW(L"Win32TestTwice", nullptr));
    EXPECT_FALSE(UnregisterClassW(L"Win32TestTwice", nullptr));
}

TEST_F(Win32Window, DestroySendsDestroyAndDropsEverythingOfTheWindow) {
    ASSERT_EQ(SetCapture(window), nullptr);
    ASSERT_TRUE(PostMessageW(window, WM_USER, 1, 2));
    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_EQ(ReceivedKinds(), std::vector<UINT>{WM_DESTROY});
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(platform::SdlWindowOf(window), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(PumpAll().empty());
    EXPECT_FALSE(PostMessageW(window, WM_USER, 0, 0));
    EXPECT_FALSE(DestroyWindow(window));
}

TEST_F(Win32Window, SetWindowPosResizesSynchronouslyWithoutStartingADrag) {
    ASSERT_TRUE(SetWindowPos(window, nullptr, 0, 0, 816, 639, SWP_NOMOVE | SWP_NOZORDER));
    ASSERT_EQ(ReceivedKinds(), std::vector<UINT>{WM_SIZE});
    EXPECT_EQ(received[0].lParam, MAKELPARAM(800, 600));
    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    EXPECT_TRUE(PumpAll().empty());
}

}  // namespace
