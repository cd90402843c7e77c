// The message queue and SDL events turned into window messages.
#include <algorithm>
#include "win32_fixture.h"

using namespace win32_test;

namespace {

size_t CountOf(const std::vector<MSG>& messages, UINT kind) {
    return std::count_if(messages.begin(), messages.end(), [&](const MSG& msg) { return msg.message == kind; });
}

TEST_F(Win32Window, PostedMessagesComeBackInOrderWithQuitLast) {
    PostMessageW(window, WM_USER, 7, 8);
    PostQuitMessage(3);

    MSG msg = {};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(msg.lParam, 8);
    EXPECT_EQ(DispatchMessageW(&msg), 0);

    // A window filter leaves thread messages alone; an open filter returns WM_QUIT like any message.
    EXPECT_FALSE(PeekMessageW(&msg, window, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));  // GetMessageW would block on an empty queue
    ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(TranslateMessage(&msg));
}

TEST_F(Win32Window, SdlCloseBecomesCloseAndDefaultHandlingDestroys) {
    PushWindowEvent(window, SDL_WINDOWEVENT_CLOSE);
    const std::vector<MSG> messages = PumpAll();
    EXPECT_EQ(Kinds(messages), std::vector<UINT>{WM_CLOSE});
    EXPECT_EQ(ReceivedKinds(), (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(Win32Window, SdlQuitClosesEveryWindow) {
    HWND second = MakeWindow();
    ASSERT_NE(second, nullptr);
    received.clear();

    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&quit), 1);
    const std::vector<MSG> messages = PumpAll();
    EXPECT_EQ(CountOf(messages, WM_CLOSE), 2u);
    EXPECT_EQ(ReceivedKinds(), (std::vector<UINT>{WM_CLOSE, WM_DESTROY, WM_CLOSE, WM_DESTROY}));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(second));
}

TEST_F(Win32Window, MouseEventsCarryHeldButtonsAndClientCoordinates) {
    PushButton(window, SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20);
    PushMotion(window, SDL_BUTTON_LMASK, 30, 40);
    PushButton(window, SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 31, 41);
    PushButton(window, SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 32, 42);
    PushButton(window, SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 0, 767);
    PushButton(window, SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 1023, 0);
    PushButton(window, SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 5, 6);

    const std::vector<MSG> messages = PumpAll();
    const std::vector<UINT> expectedKinds = {WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_LBUTTONUP,
                                             WM_MBUTTONDOWN, WM_MBUTTONUP, WM_RBUTTONUP};
    const std::vector<WPARAM> expectedFlags = {
        MK_LBUTTON, MK_LBUTTON, MK_LBUTTON | MK_RBUTTON, MK_RBUTTON, MK_RBUTTON | MK_MBUTTON, MK_RBUTTON, 0};
    const std::vector<LPARAM> expectedPositions = {MAKELPARAM(10, 20), MAKELPARAM(30, 40), MAKELPARAM(31, 41),
                                                   MAKELPARAM(32, 42), MAKELPARAM(0, 767), MAKELPARAM(1023, 0),
                                                   MAKELPARAM(5, 6)};
    ASSERT_EQ(Kinds(messages), expectedKinds);
    for (size_t i = 0; i < messages.size(); ++i) {
        EXPECT_EQ(messages[i].hwnd, window) << i;
        EXPECT_EQ(messages[i].wParam, expectedFlags[i]) << i;
        EXPECT_EQ(messages[i].lParam, expectedPositions[i]) << i;
    }
}

TEST_F(Win32Window, KeyEventsCarryVirtualKeyCodes) {
    PushKey(window, SDL_KEYDOWN, SDL_SCANCODE_A);
    PushKey(window, SDL_KEYDOWN, SDL_SCANCODE_0);
    PushKey(window, SDL_KEYDOWN, SDL_SCANCODE_RSHIFT);
    PushKey(window, SDL_KEYDOWN, SDL_SCANCODE_ESCAPE);
    PushKey(window, SDL_KEYUP, SDL_SCANCODE_LEFT);
    PushKey(window, SDL_KEYDOWN, SDL_SCANCODE_F24);  // no virtual-key code here: dropped
    PushKey(window, SDL_KEYDOWN, SDL_SCANCODE_PAGEUP);
    PushKey(window, SDL_KEYDOWN, SDL_SCANCODE_PAGEDOWN);

    const std::vector<MSG> messages = PumpAll();
    ASSERT_EQ(Kinds(messages),
              (std::vector<UINT>{WM_KEYDOWN, WM_KEYDOWN, WM_KEYDOWN, WM_KEYDOWN, WM_KEYUP, WM_KEYDOWN, WM_KEYDOWN}));
    const std::vector<WPARAM> keys = {'A', '0', VK_SHIFT, VK_ESCAPE, VK_LEFT, VK_PRIOR, VK_NEXT};
    for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(messages[i].wParam, keys[i]) << i;
    EXPECT_TRUE(messages[4].lParam & (1u << 31));
}

// The turn is in the high word, in 120ths of a notch, away from the user positive whichever way the system
// scrolls; a sideways-only turn gives no message.
TEST_F(Win32Window, WheelTurnsBecomeWheelMessagesInNotchesOf120) {
    PushButton(window, SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20);
    PushWheel(window, 1, false);
    PushWheel(window, -2, false);
    PushWheel(window, 3, true);
    PushWheel(window, 0, false);

    const std::vector<MSG> messages = PumpAll();
    ASSERT_EQ(Kinds(messages), (std::vector<UINT>{WM_LBUTTONDOWN, WM_MOUSEWHEEL, WM_MOUSEWHEEL, WM_MOUSEWHEEL}));
    const int turns[] = {WHEEL_DELTA, -2 * WHEEL_DELTA, -3 * WHEEL_DELTA};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(messages[i + 1].wParam), turns[i]) << i;
        EXPECT_EQ(LOWORD(messages[i + 1].wParam), MK_LBUTTON) << i;
    }
}

TEST_F(Win32Window, FocusBecomesActivation) {
    PushWindowEvent(window, SDL_WINDOWEVENT_FOCUS_LOST);
    PushWindowEvent(window, SDL_WINDOWEVENT_FOCUS_GAINED);
    const std::vector<MSG> messages = PumpAll();
    ASSERT_EQ(Kinds(messages), (std::vector<UINT>{WM_ACTIVATE, WM_ACTIVATE}));
    EXPECT_EQ(LOWORD(messages[0].wParam), WA_INACTIVE);
    EXPECT_EQ(LOWORD(messages[1].wParam), WA_ACTIVE);
}

TEST_F(Win32Window, MinimiseMaximiseRestoreGiveTheirSizeKindsAndNoDrag) {
    PushWindowEvent(window, SDL_WINDOWEVENT_MINIMIZED);
    PushWindowEvent(window, SDL_WINDOWEVENT_RESTORED);
    std::vector<MSG> messages = PumpAll();
    ASSERT_EQ(Kinds(messages), (std::vector<UINT>{WM_SIZE, WM_SIZE}));
    EXPECT_EQ(messages[0].wParam, static_cast<WPARAM>(SIZE_MINIMIZED));
    EXPECT_EQ(messages[1].wParam, static_cast<WPARAM>(SIZE_RESTORED));
    EXPECT_EQ(messages[1].lParam, MAKELPARAM(1024, 768));

    // The size change of a maximise, before or after it, is part of it.
    PushWindowEvent(window, SDL_WINDOWEVENT_SIZE_CHANGED, 1280, 960);
    PushWindowEvent(window, SDL_WINDOWEVENT_MAXIMIZED);
    messages = PumpAll();
    ASSERT_EQ(Kinds(messages), std::vector<UINT>{WM_SIZE});
    EXPECT_EQ(messages[0].wParam, static_cast<WPARAM>(SIZE_MAXIMIZED));
    EXPECT_EQ(messages[0].lParam, MAKELPARAM(1280, 960));

    PushWindowEvent(window, SDL_WINDOWEVENT_RESTORED);
    PushWindowEvent(window, SDL_WINDOWEVENT_SIZE_CHANGED, 1024, 768);
    messages = PumpAll();
    ASSERT_EQ(Kinds(messages), std::vector<UINT>{WM_SIZE});
    EXPECT_EQ(messages[0].wParam, static_cast<WPARAM>(SIZE_RESTORED));
    EXPECT_EQ(messages[0].lParam, MAKELPARAM(1024, 768));
}

TEST_F(Win32Window, SizeBurstIsOneDragThatEndsAfterAQuietPeriod) {
    int64_t now = 0;
    platform::SetCounterSource([&now] { return now; }, 1000);

    PushWindowEvent(window, SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600);
    PushWindowEvent(window, SDL_WINDOWEVENT_SIZE_CHANGED, 900, 650);
    std::vector<MSG> messages = PumpAll();
    now = 150;
    PushWindowEvent(window, SDL_WINDOWEVENT_SIZE_CHANGED, 1000, 700);
    const std::vector<MSG> more = PumpAll();
    messages.insert(messages.end(), more.begin(), more.end());

    ASSERT_EQ(Kinds(messages), (std::vector<UINT>{WM_ENTERSIZEMOVE, WM_SIZE, WM_SIZE, WM_SIZE}));
    EXPECT_EQ(messages[1].lParam, MAKELPARAM(800, 600));
    EXPECT_EQ(messages[2].lParam, MAKELPARAM(900, 650));
    EXPECT_EQ(messages[3].lParam, MAKELPARAM(1000, 700));
    for (size_t i = 1; i < 4; ++i) EXPECT_EQ(messages[i].wParam, static_cast<WPARAM>(SIZE_RESTORED));

    now = 300;  // 150 ms after the last change: still dragging
    EXPECT_TRUE(PumpAll().empty());
    now = 400;
    EXPECT_EQ(Kinds(PumpAll()), std::vector<UINT>{WM_EXITSIZEMOVE});
    now = 1000;
    EXPECT_TRUE(PumpAll().empty());

    PushWindowEvent(window, SDL_WINDOWEVENT_SIZE_CHANGED, 640, 480);
    EXPECT_EQ(Kinds(PumpAll()), (std::vector<UINT>{WM_ENTERSIZEMOVE, WM_SIZE}));
    PushWindowEvent(window, SDL_WINDOWEVENT_MAXIMIZED);  // ends the drag at once
    EXPECT_EQ(Kinds(PumpAll()), (std::vector<UINT>{WM_EXITSIZEMOVE, WM_SIZE}));
    now = 2000;
    EXPECT_TRUE(PumpAll().empty());
}

TEST_F(Win32Window, MessagesForOtherWindowsAndUnknownSdlWindowsStayApart) {
    HWND second = MakeWindow();
    ASSERT_NE(second, nullptr);
    PumpAll();
    PostMessageW(second, WM_USER, 0, 0);
    PostMessageW(window, WM_USER + 1, 0, 0);

    MSG msg = {};
    ASSERT_TRUE(PeekMessageW(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    EXPECT_FALSE(PeekMessageW(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_REMOVE));

    SDL_Window* foreign = SDL_CreateWindow("", 0, 0, 8, 8, SDL_WINDOW_HIDDEN);
    ASSERT_NE(foreign, nullptr);
    SDL_Event event = {};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(foreign);
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&event);
    EXPECT_TRUE(PumpAll().empty());
    SDL_DestroyWindow(foreign);
    DestroyWindow(second);
}

}  // namespace
