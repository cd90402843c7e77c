// Game controllers as keys and mouse, driven through SDL's virtual joysticks and a test clock.
#include <algorithm>
#include <set>
#include <tuple>
#include "virtual_pad.h"
#include "win32_fixture.h"

using namespace win32_test;

namespace {

// Every key the game polls, and the right Ctrl, which no controller input stands for.
constexpr int kWatchedKeys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_CONTROL, VK_LCONTROL, VK_RCONTROL, VK_SPACE};
const std::set<int> kCtrl = {VK_CONTROL, VK_LCONTROL};
constexpr Sint16 kFull = 32767;

std::set<int> HeldKeys() {
    std::set<int> held;
    for (int key : kWatchedKeys) {
        if (GetAsyncKeyState(key) & 0x8000) held.insert(key);
    }
    return held;
}

std::vector<MSG> Moves(const std::vector<MSG>& messages) {
    std::vector<MSG> moves;
    std::copy_if(messages.begin(), messages.end(), std::back_inserter(moves),
                 [](const MSG& msg) { return msg.message == WM_MOUSEMOVE; });
    return moves;
}

// Where the last pointer move went, as its lParam; -1 without one.
LPARAM LastMove(const std::vector<MSG>& messages) {
    const std::vector<MSG> moves = Moves(messages);
    return moves.empty() ? -1 : moves.back().lParam;
}

class Gamepad : public Win32Window {
protected:
    void SetUp() override {
        Win32Window::SetUp();
        ASSERT_TRUE(SDL_WasInit(SDL_INIT_GAMECONTROLLER)) << "the first pump with a window starts controllers";
        platform::SetCounterSource([this] { return now; }, 1000);
        PumpAll();
    }

    // Holds the right stick over for the milliseconds, one pump per step; returns what the pumps posted.
    std::vector<MSG> Steer(VirtualPad& pad, Sint16 x, Sint16 y, int64_t milliseconds, int64_t step = 100) {
        pad.Tilt(SDL_CONTROLLER_AXIS_RIGHTX, x);
        pad.Tilt(SDL_CONTROLLER_AXIS_RIGHTY, y);
        std::vector<MSG> messages;
        for (int64_t left = milliseconds; left > 0; left -= step) {
            now += std::min(left, step);
            const std::vector<MSG> pumped = PumpAll();
            messages.insert(messages.end(), pumped.begin(), pumped.end());
        }
        pad.Tilt(SDL_CONTROLLER_AXIS_RIGHTX, 0);
        pad.Tilt(SDL_CONTROLLER_AXIS_RIGHTY, 0);
        PumpAll();
        return messages;
    }

    int64_t now = 0;
};

TEST_F(Gamepad, EachInputHoldsItsKeysUntilLetGo) {
    VirtualPad pad;
    PumpAll();
    auto expectHeld = [](const std::string& input, const std::set<int>& keys) {
        PumpAll();
        EXPECT_EQ(HeldKeys(), keys) << input;
    };
    const std::pair<SDL_GameControllerButton, std::set<int>> buttons[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, {VK_LEFT}},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, {VK_RIGHT}},
        {SDL_CONTROLLER_BUTTON_A, {VK_UP}},
        {SDL_CONTROLLER_BUTTON_B, kCtrl},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, kCtrl},
        {SDL_CONTROLLER_BUTTON_X, {VK_SPACE}},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, {VK_SPACE}},
        {SDL_CONTROLLER_BUTTON_Y, {}},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, {}},
        {SDL_CONTROLLER_BUTTON_START, {}},
    };
    for (const auto& [button, keys] : buttons) {
        const std::string name = SDL_GameControllerGetStringForButton(button);
        pad.Press(button);
        expectHeld(name, keys);
        pad.Release(button);
        expectHeld(name + " released", {});
    }
    const std::tuple<SDL_GameControllerAxis, Sint16, std::set<int>> axes[] = {
        {SDL_CONTROLLER_AXIS_LEFTX, -12000, {VK_LEFT}},
        {SDL_CONTROLLER_AXIS_LEFTX, kFull, {VK_RIGHT}},
        {SDL_CONTROLLER_AXIS_LEFTX, -32768, {VK_LEFT}},
        {SDL_CONTROLLER_AXIS_LEFTX, 12000, {VK_RIGHT}},
        {SDL_CONTROLLER_AXIS_LEFTX, -4000, {}},
        {SDL_CONTROLLER_AXIS_LEFTX, 4000, {}},
        {SDL_CONTROLLER_AXIS_LEFTY, kFull, {}},
        {SDL_CONTROLLER_AXIS_RIGHTX, kFull, {}},
        {SDL_CONTROLLER_AXIS_TRIGGERLEFT, 20000, kCtrl},
        {SDL_CONTROLLER_AXIS_TRIGGERLEFT, 1000, {}},
        {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 20000, {VK_SPACE}},
        {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 1000, {}},
    };
    for (const auto& [axis, value, keys] : axes) {
        const std::string name = SDL_GameControllerGetStringForAxis(axis) + (" at " + std::to_string(value));
        pad.Tilt(axis, value);
        expectHeld(name, keys);
        pad.Tilt(axis, 0);
        expectHeld(name + " let go", {});
    }
}

TEST_F(Gamepad, AKeyIsDownWhileTheKeyboardOrAnyControllerHoldsIt) {
    std::set<int> keyboard = {VK_LEFT};
    platform::SetKeySource([&keyboard](int key) { return keyboard.count(key) > 0; });
    VirtualPad first, second;
    PumpAll();
    first.Press(SDL_CONTROLLER_BUTTON_X);
    second.Press(SDL_CONTROLLER_BUTTON_X);
    PumpAll();
    EXPECT_EQ(HeldKeys(), (std::set<int>{VK_LEFT, VK_SPACE}));

    first.Release(SDL_CONTROLLER_BUTTON_X);
    keyboard.clear();
    PumpAll();
    EXPECT_EQ(HeldKeys(), std::set<int>{VK_SPACE});
    second.Release(SDL_CONTROLLER_BUTTON_X);
    keyboard = {VK_SPACE};
    PumpAll();
    EXPECT_EQ(HeldKeys(), std::set<int>{VK_SPACE});
}

TEST_F(Gamepad, ControllersPluggedInWhileRunningWorkAndUnpluggingLetsGoOfEverything) {
    auto pad = std::make_unique<VirtualPad>();
    PumpAll();
    pad->Press(SDL_CONTROLLER_BUTTON_A);
    pad->Tilt(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, kFull);
    pad->Press(SDL_CONTROLLER_BUTTON_START);
    EXPECT_EQ(Kinds(PumpAll()), (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN}));
    EXPECT_EQ(HeldKeys(), (std::set<int>{VK_UP, VK_SPACE}));

    pad->Unplug();
    const std::vector<MSG> messages = PumpAll();
    EXPECT_TRUE(HeldKeys().empty());
    ASSERT_EQ(Kinds(messages), std::vector<UINT>{WM_LBUTTONUP});
    EXPECT_EQ(messages[0].wParam, 0u);

    pad = std::make_unique<VirtualPad>();
    PumpAll();
    pad->Press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    PumpAll();
    EXPECT_EQ(HeldKeys(), std::set<int>{VK_RIGHT});
}

TEST_F(Gamepad, RightStickMovesThePointerAndCursorByTimeWithinTheClientArea) {
    VirtualPad pad;
    PumpAll();
    EXPECT_TRUE(Steer(pad, 6000, -6000, 500).empty()) << "inside the dead zone";

    // From the middle of the client area, to the right only.
    const std::vector<MSG> moves = Moves(Steer(pad, kFull, 0, 100));
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].hwnd, window);
    EXPECT_EQ(moves[0].wParam, 0u);
    const int right = LOWORD(moves[0].lParam);
    EXPECT_GT(right, 512);
    EXPECT_EQ(HIWORD(moves[0].lParam), 384);
    int cursorX = 0, cursorY = 0;
    SDL_GetMouseState(&cursorX, &cursorY);
    EXPECT_EQ(MAKELPARAM(cursorX, cursorY), moves[0].lParam);

    EXPECT_EQ(LastMove(Steer(pad, -32768, -32768, 3000)), MAKELPARAM(0, 0));
    EXPECT_TRUE(Steer(pad, -32768, 0, 300).empty()) << "held at the edge";

    // From the left edge: as far in ten pumps as in one, less far when pushed less.
    const int inOnePump = LOWORD(LastMove(Steer(pad, kFull, 0, 100)));
    Steer(pad, -32768, 0, 3000);
    EXPECT_NEAR(LOWORD(LastMove(Steer(pad, kFull, 0, 100, 10))), inOnePump, 1);
    Steer(pad, -32768, 0, 3000);
    const int pushedLess = LOWORD(LastMove(Steer(pad, 20000, 0, 100)));
    EXPECT_GT(pushedLess, 0);
    EXPECT_LT(pushedLess, inOnePump);

    EXPECT_EQ(LastMove(Steer(pad, kFull, kFull, 3000)), MAKELPARAM(1023, 767));

    // After the real mouse, the stick goes on from where the mouse left the pointer.
    SDL_Event motion = {};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.windowID = SdlId(window);
    motion.motion.x = 100;
    motion.motion.y = 50;
    ASSERT_EQ(SDL_PushEvent(&motion), 1);
    PumpAll();
    const LPARAM afterMouse = LastMove(Steer(pad, kFull, 0, 100));
    EXPECT_GT(LOWORD(afterMouse), 100);
    EXPECT_LT(LOWORD(afterMouse), 1023);
    EXPECT_EQ(HIWORD(afterMouse), 50);
}

TEST_F(Gamepad, StartHoldsTheLeftButtonAtThePointerWhileAnyControllerHoldsIt) {
    VirtualPad first, second;
    PumpAll();
    // The first press shows the cursor where the pointer starts, then presses there.
    first.Press(SDL_CONTROLLER_BUTTON_START);
    std::vector<MSG> messages = PumpAll();
    ASSERT_EQ(Kinds(messages), (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN}));
    EXPECT_EQ(messages[1].hwnd, window);
    EXPECT_EQ(messages[1].wParam, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(messages[1].lParam, MAKELPARAM(512, 384));

    second.Press(SDL_CONTROLLER_BUTTON_START);
    EXPECT_TRUE(PumpAll().empty());
    first.Release(SDL_CONTROLLER_BUTTON_START);
    EXPECT_TRUE(PumpAll().empty());

    const std::vector<MSG> drag = Moves(Steer(second, 0, kFull, 100));
    ASSERT_EQ(drag.size(), 1u);
    EXPECT_EQ(drag[0].wParam, static_cast<WPARAM>(MK_LBUTTON));
    second.Release(SDL_CONTROLLER_BUTTON_START);
    messages = PumpAll();
    ASSERT_EQ(Kinds(messages), std::vector<UINT>{WM_LBUTTONUP});
    EXPECT_EQ(messages[0].wParam, 0u);
    EXPECT_EQ(messages[0].lParam, drag[0].lParam);
}

}  // namespace
