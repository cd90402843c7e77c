// Game controllers as keys and mouse, driven through SDL's virtual joysticks.
#include <algorithm>
#include <set>
#include "../support/virtual_pad.h"
#include "win32_fixture.h"

using namespace win32_test;

namespace {

// Every key the game polls, and the right Ctrl, which no controller input stands for.
constexpr int kWatchedKeys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_CONTROL, VK_LCONTROL, VK_RCONTROL, VK_SPACE};
const std::set<int> kCtrl = {VK_CONTROL, VK_LCONTROL};

std::set<int> HeldKeys() {
    std::set<int> held;
    for (int key : kWatchedKeys) {
        if (GetAsyncKeyState(key) & 0x8000) held.insert(key);
    }
    return held;
}

std::vector<MSG> Only(const std::vector<MSG>& messages, UINT kind) {
    std::vector<MSG> kept;
    std::copy_if(messages.begin(), messages.end(), std::back_inserter(kept),
                 [kind](const MSG& msg) { return msg.message == kind; });
    return kept;
}

POINT PositionOf(const MSG& msg) {
    return {static_cast<SHORT>(LOWORD(msg.lParam)), static_cast<SHORT>(HIWORD(msg.lParam))};
}

// The position the last pointer move in the messages went to; {-1, -1} without one.
POINT LastMove(const std::vector<MSG>& messages) {
    const std::vector<MSG> moves = Only(messages, WM_MOUSEMOVE);
    return moves.empty() ? POINT{-1, -1} : PositionOf(moves.back());
}

class Gamepad : public Win32Window {
protected:
    void SetUp() override {
        Win32Window::SetUp();
        ASSERT_TRUE(SDL_WasInit(SDL_INIT_GAMECONTROLLER)) << "the first pump with a window starts controllers";
        platform::SetCounterSource([this] { return now; }, 1000);
        PumpAll();
    }

    // Lets the milliseconds pass, then pumps.
    std::vector<MSG> After(int64_t milliseconds) {
        now += milliseconds;
        return PumpAll();
    }

    // Holds the right stick over for the milliseconds in pumps of at most 100 ms each; returns what they posted.
    std::vector<MSG> Steer(VirtualPad& pad, Sint16 x, Sint16 y, int64_t milliseconds) {
        pad.Tilt(SDL_CONTROLLER_AXIS_RIGHTX, x);
        pad.Tilt(SDL_CONTROLLER_AXIS_RIGHTY, y);
        std::vector<MSG> messages;
        for (int64_t left = milliseconds; left > 0; left -= 100) {
            const std::vector<MSG> step = After(std::min<int64_t>(left, 100));
            messages.insert(messages.end(), step.begin(), step.end());
        }
        pad.Tilt(SDL_CONTROLLER_AXIS_RIGHTX, 0);
        pad.Tilt(SDL_CONTROLLER_AXIS_RIGHTY, 0);
        PumpAll();
        return messages;
    }

    int64_t now = 0;
};

struct ButtonCase {
    SDL_GameControllerButton button;
    std::set<int> keys;
};

TEST_F(Gamepad, ButtonsHoldTheirKeysWhileDown) {
    const ButtonCase cases[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, {VK_LEFT}}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, {VK_RIGHT}},
        {SDL_CONTROLLER_BUTTON_A, {VK_UP}},           {SDL_CONTROLLER_BUTTON_B, kCtrl},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, kCtrl},  {SDL_CONTROLLER_BUTTON_X, {VK_SPACE}},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, {VK_SPACE}}, {SDL_CONTROLLER_BUTTON_Y, {}},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, {}},          {SDL_CONTROLLER_BUTTON_START, {}},
    };
    VirtualPad pad;
    PumpAll();
    for (const ButtonCase& c : cases) {
        pad.Press(c.button);
        PumpAll();
        EXPECT_EQ(HeldKeys(), c.keys) << SDL_GameControllerGetStringForButton(c.button);
        pad.Release(c.button);
        PumpAll();
        EXPECT_TRUE(HeldKeys().empty()) << SDL_GameControllerGetStringForButton(c.button);
    }
}

struct AxisCase {
    SDL_GameControllerAxis axis;
    Sint16 value;
    std::set<int> keys;
};

TEST_F(Gamepad, LeftStickWalksPastItsDeadZoneAndTriggersPastTheirThreshold) {
    const AxisCase cases[] = {
        {SDL_CONTROLLER_AXIS_LEFTX, -12000, {VK_LEFT}},   {SDL_CONTROLLER_AXIS_LEFTX, 12000, {VK_RIGHT}},
        {SDL_CONTROLLER_AXIS_LEFTX, -32768, {VK_LEFT}},   {SDL_CONTROLLER_AXIS_LEFTX, 32767, {VK_RIGHT}},
        {SDL_CONTROLLER_AXIS_LEFTX, -4000, {}},           {SDL_CONTROLLER_AXIS_LEFTX, 4000, {}},
        {SDL_CONTROLLER_AXIS_LEFTY, -32768, {}},          {SDL_CONTROLLER_AXIS_LEFTY, 32767, {}},
        {SDL_CONTROLLER_AXIS_TRIGGERLEFT, 20000, kCtrl},  {SDL_CONTROLLER_AXIS_TRIGGERLEFT, 1000, {}},
        {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 20000, {VK_SPACE}}, {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 1000, {}},
        {SDL_CONTROLLER_AXIS_RIGHTX, 32767, {}},
    };
    VirtualPad pad;
    PumpAll();
    for (const AxisCase& c : cases) {
        pad.Tilt(c.axis, c.value);
        PumpAll();
        EXPECT_EQ(HeldKeys(), c.keys) << SDL_GameControllerGetStringForAxis(c.axis) << " at " << c.value;
        pad.Tilt(c.axis, 0);
        PumpAll();
        EXPECT_TRUE(HeldKeys().empty()) << SDL_GameControllerGetStringForAxis(c.axis) << " at " << c.value;
    }
}

TEST_F(Gamepad, AKeyIsDownWhileTheKeyboardOrAnyControllerHoldsIt) {
    std::set<int> keyboard = {VK_LEFT};
    platform::SetKeySource([&keyboard](int key) { return keyboard.count(key) > 0; });
    VirtualPad first, second;
    PumpAll();
    first.Press(SDL_CONTROLLER_BUTTON_X);
    second.Press(SDL_CONTROLLER_BUTTON_X);
    second.Press(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    PumpAll();
    EXPECT_EQ(HeldKeys(), (std::set<int>{VK_LEFT, VK_SPACE}));

    first.Release(SDL_CONTROLLER_BUTTON_X);
    keyboard.clear();
    PumpAll();
    EXPECT_EQ(HeldKeys(), (std::set<int>{VK_LEFT, VK_SPACE}));

    second.Release(SDL_CONTROLLER_BUTTON_X);
    second.Release(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    keyboard = {VK_SPACE};
    PumpAll();
    EXPECT_EQ(HeldKeys(), std::set<int>{VK_SPACE});
}

TEST_F(Gamepad, ControllersPluggedInWhileRunningWorkAndUnpluggingLetsGoOfEverything) {
    auto pad = std::make_unique<VirtualPad>();
    PumpAll();
    pad->Press(SDL_CONTROLLER_BUTTON_A);
    pad->Tilt(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    pad->Press(SDL_CONTROLLER_BUTTON_START);
    EXPECT_EQ(Kinds(Only(PumpAll(), WM_LBUTTONDOWN)), std::vector<UINT>{WM_LBUTTONDOWN});
    EXPECT_EQ(HeldKeys(), (std::set<int>{VK_UP, VK_SPACE}));

    pad->Unplug();
    const std::vector<MSG> ups = Only(PumpAll(), WM_LBUTTONUP);
    EXPECT_TRUE(HeldKeys().empty());
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(ups[0].wParam, 0u);

    pad = std::make_unique<VirtualPad>();
    PumpAll();
    pad->Press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    PumpAll();
    EXPECT_EQ(HeldKeys(), std::set<int>{VK_RIGHT});
}

TEST_F(Gamepad, RightStickMovesThePointerWithinTheClientAreaAndTheCursorWithIt) {
    VirtualPad pad;
    PumpAll();
    EXPECT_TRUE(Steer(pad, 6000, -6000, 500).empty()) << "inside the dead zone";

    // From the middle of the client area, to the right only.
    std::vector<MSG> moves = Only(Steer(pad, 32767, 0, 100), WM_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].hwnd, window);
    EXPECT_EQ(moves[0].wParam, 0u);
    const POINT right = PositionOf(moves[0]);
    EXPECT_GT(right.x, 512);
    EXPECT_EQ(right.y, 384);
    int cursorX = 0, cursorY = 0;
    SDL_GetMouseState(&cursorX, &cursorY);
    EXPECT_EQ(cursorX, right.x);
    EXPECT_EQ(cursorY, right.y);

    // Into the corners, and no further.
    moves = Only(Steer(pad, -32768, -32768, 3000), WM_MOUSEMOVE);
    EXPECT_EQ(LastMove(moves).x, 0);
    EXPECT_EQ(LastMove(moves).y, 0);
    EXPECT_TRUE(std::all_of(moves.begin(), moves.end(), [](const MSG& msg) {
        return PositionOf(msg).x >= 0 && PositionOf(msg).y >= 0;
    }));
    EXPECT_TRUE(Steer(pad, -32768, 0, 300).empty()) << "already in the corner";
    const POINT corner = LastMove(Steer(pad, 32767, 32767, 3000));
    EXPECT_EQ(corner.x, 1023);
    EXPECT_EQ(corner.y, 767);
}

TEST_F(Gamepad, PointerSpeedFollowsDeflectionAndTimeNotPumps) {
    VirtualPad pad;
    PumpAll();
    Steer(pad, -32768, 0, 3000);
    const POINT once = LastMove(Steer(pad, 32767, 0, 100));

    Steer(pad, -32768, 0, 3000);
    pad.Tilt(SDL_CONTROLLER_AXIS_RIGHTX, 32767);
    std::vector<MSG> tenPumps;
    for (int i = 0; i < 10; ++i) {
        const std::vector<MSG> pump = After(10);
        tenPumps.insert(tenPumps.end(), pump.begin(), pump.end());
    }
    const POINT inTenPumps = LastMove(tenPumps);
    EXPECT_GT(once.x, 0);
    EXPECT_NEAR(inTenPumps.x, once.x, 1);

    Steer(pad, -32768, 0, 3000);
    const POINT halfway = LastMove(Steer(pad, 20000, 0, 100));
    EXPECT_GT(halfway.x, 0);
    EXPECT_LT(halfway.x, once.x);
}

TEST_F(Gamepad, StartPressesTheLeftButtonWhereThePointerIs) {
    VirtualPad pad;
    PumpAll();
    // The first press shows the cursor where the pointer starts, then presses there.
    pad.Press(SDL_CONTROLLER_BUTTON_START);
    std::vector<MSG> messages = PumpAll();
    ASSERT_EQ(Kinds(messages), (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN}));
    EXPECT_EQ(messages[1].hwnd, window);
    EXPECT_EQ(messages[1].wParam, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(messages[1].lParam, MAKELPARAM(512, 384));

    // A drag with Start held carries the button; the release comes where the pointer went.
    const POINT dragged = LastMove(Steer(pad, 0, 32767, 100));
    EXPECT_GT(dragged.y, 384);
    pad.Release(SDL_CONTROLLER_BUTTON_START);
    messages = PumpAll();
    ASSERT_EQ(Kinds(messages), std::vector<UINT>{WM_LBUTTONUP});
    EXPECT_EQ(messages[0].wParam, 0u);
    EXPECT_EQ(messages[0].lParam, MAKELPARAM(dragged.x, dragged.y));
}

TEST_F(Gamepad, TheButtonIsDownWhileAnyControllerHoldsStart) {
    VirtualPad first, second;
    PumpAll();
    first.Press(SDL_CONTROLLER_BUTTON_START);
    EXPECT_EQ(Only(PumpAll(), WM_LBUTTONDOWN).size(), 1u);
    second.Press(SDL_CONTROLLER_BUTTON_START);
    EXPECT_TRUE(PumpAll().empty());
    first.Release(SDL_CONTROLLER_BUTTON_START);
    EXPECT_TRUE(PumpAll().empty());

    const std::vector<MSG> moves = Only(Steer(second, 32767, 0, 100), WM_MOUSEMOVE);
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(moves.back().wParam, static_cast<WPARAM>(MK_LBUTTON));
    second.Release(SDL_CONTROLLER_BUTTON_START);
    EXPECT_EQ(Kinds(PumpAll()), std::vector<UINT>{WM_LBUTTONUP});
}

}  // namespace
