// Game controllers through SDL's game-controller API, read once per message pump so that GetAsyncKeyState only
// looks at a cached bit mask.
#include "gamepad.h"
#include <sys/stat.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>
#include "window_internal.h"

using platform::detail::Post;

namespace {

constexpr int kAxisMax = 32767;
// Past this deflection the left stick walks (XInput suggests 7849 for a left thumbstick).
constexpr int kStickDeadZone = 8000;
// XInput's trigger threshold, 30 of 255, on SDL's 0..32767 trigger range.
constexpr int kTriggerThreshold = 3855;
constexpr int kPointerDeadZone = 8000;
// Client pixels per second with the right stick fully over.
constexpr float kPointerSpeed = 900.0f;
// A stalled frame or a paused game moves the pointer no further than this much time would.
constexpr double kLongestStep = 0.1;

enum Key : unsigned { kLeft, kRight, kUp, kCtrl, kSpace };

constexpr unsigned Bit(Key key) { return 1u << key; }

struct KeyBinding {
    int virtualKey;
    Key key;
};
// The controller's Ctrl is the keyboard's left Ctrl.
constexpr KeyBinding kVirtualKeys[] = {
    {VK_LEFT, kLeft}, {VK_RIGHT, kRight}, {VK_UP, kUp}, {VK_CONTROL, kCtrl}, {VK_LCONTROL, kCtrl}, {VK_SPACE, kSpace},
};

struct ButtonBinding {
    SDL_GameControllerButton button;
    Key key;
};
constexpr ButtonBinding kButtons[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, kLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, kRight},
    {SDL_CONTROLLER_BUTTON_A, kUp},
    {SDL_CONTROLLER_BUTTON_B, kCtrl},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, kCtrl},
    {SDL_CONTROLLER_BUTTON_X, kSpace},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, kSpace},
};

// A negative threshold holds the key below it, a positive one above it.
struct AxisBinding {
    SDL_GameControllerAxis axis;
    int threshold;
    Key key;
};
constexpr AxisBinding kAxes[] = {
    {SDL_CONTROLLER_AXIS_LEFTX, -kStickDeadZone, kLeft},
    {SDL_CONTROLLER_AXIS_LEFTX, kStickDeadZone, kRight},
    {SDL_CONTROLLER_AXIS_TRIGGERLEFT, kTriggerThreshold, kCtrl},
    {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, kTriggerThreshold, kSpace},
};

struct Pad {
    SDL_GameController* controller;
    SDL_JoystickID id;
    bool startDown;
};

// Shares of full pointer speed, -1..1 on each axis.
struct Velocity {
    float x = 0.0f;
    float y = 0.0f;
};

struct PadState {
    unsigned keys = 0;
    Velocity pointer;
};

// Client coordinates; fractions carry slow movement over from pump to pump.
struct Pointer {
    HWND window = nullptr;
    float x = 0.0f;
    float y = 0.0f;
    POINT shown = {-1, -1};
};

enum class Subsystem { kNotTried, kReady, kFailed };

Subsystem subsystem = Subsystem::kNotTried;
std::vector<Pad> pads;
unsigned heldKeys = 0;
Pointer pointer;
int64_t lastPumpTicks = 0;

int64_t CounterNow() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double SecondsSinceLastPump() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const int64_t now = CounterNow();
    const double seconds = static_cast<double>(now - lastPumpTicks) / static_cast<double>(frequency.QuadPart);
    lastPumpTicks = now;
    return std::clamp(seconds, 0.0, kLongestStep);
}

bool IsCharacterDevice(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISCHR(status.st_mode);
}

// SDL opens every path SDL_JOYSTICK_DEVICE lists and waits as long as the open does: a FIFO with no writer would hold
// the game before its first frame, where no closing signal is answered yet.
void KeepOnlyJoystickDevices() {
    const char* list = std::getenv("SDL_JOYSTICK_DEVICE");
    if (!list) return;
    std::string kept;
    std::string ignored;
    std::stringstream entries(list);
    for (std::string entry; std::getline(entries, entry, ':');) {
        if (entry.empty()) continue;
        std::string& into = IsCharacterDevice(entry) ? kept : ignored;
        into += (into.empty() ? "" : ":") + entry;
    }
    if (ignored.empty()) return;
    OutputDebugStringA(("SDL_JOYSTICK_DEVICE: ignoring what is not a character device: " + ignored + "\n").c_str());
    if (kept.empty()) {
        unsetenv("SDL_JOYSTICK_DEVICE");
    } else {
        setenv("SDL_JOYSTICK_DEVICE", kept.c_str(), 1);
    }
}

Subsystem TryStart() {
    KeepOnlyJoystickDevices();
    // The message pump updates controllers once per frame; the event pumps of GetAsyncKeyState then skip them.
    SDL_SetHint(SDL_HINT_AUTO_UPDATE_JOYSTICKS, "0");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "Game controllers unavailable, playing without: %s\n", SDL_GetError());
        return Subsystem::kFailed;
    }
    lastPumpTicks = CounterNow();
    return Subsystem::kReady;
}

bool StartSubsystem() {
    if (subsystem == Subsystem::kNotTried) subsystem = TryStart();
    return subsystem == Subsystem::kReady;
}

bool PastThreshold(int value, int threshold) { return threshold < 0 ? value < threshold : value > threshold; }

unsigned KeysHeldBy(SDL_GameController* controller) {
    unsigned keys = 0;
    for (const ButtonBinding& binding : kButtons) {
        if (SDL_GameControllerGetButton(controller, binding.button)) keys |= Bit(binding.key);
    }
    for (const AxisBinding& binding : kAxes) {
        if (PastThreshold(SDL_GameControllerGetAxis(controller, binding.axis), binding.threshold)) {
            keys |= Bit(binding.key);
        }
    }
    return keys;
}

// Deflection past the dead zone as a share of the travel left beyond it, with the axis's sign.
float Deflection(SDL_GameController* controller, SDL_GameControllerAxis axis) {
    const int value = SDL_GameControllerGetAxis(controller, axis);
    const int magnitude = std::min(std::abs(value), kAxisMax);
    if (magnitude <= kPointerDeadZone) return 0.0f;
    const float share = static_cast<float>(magnitude - kPointerDeadZone) / (kAxisMax - kPointerDeadZone);
    return value < 0 ? -share : share;
}

PadState ReadPads() {
    PadState state;
    for (const Pad& pad : pads) {
        state.keys |= KeysHeldBy(pad.controller);
        state.pointer.x += Deflection(pad.controller, SDL_CONTROLLER_AXIS_RIGHTX);
        state.pointer.y += Deflection(pad.controller, SDL_CONTROLLER_AXIS_RIGHTY);
    }
    state.pointer.x = std::clamp(state.pointer.x, -1.0f, 1.0f);
    state.pointer.y = std::clamp(state.pointer.y, -1.0f, 1.0f);
    return state;
}

bool AnyStartDown() {
    return std::any_of(pads.begin(), pads.end(), [](const Pad& pad) { return pad.startDown; });
}

// As the mouse translation reports them, with the controllers' Start and Ctrl added.
WPARAM MouseFlags() {
    const Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
    WPARAM flags = 0;
    if ((buttons & SDL_BUTTON_LMASK) || AnyStartDown()) flags |= MK_LBUTTON;
    if (buttons & SDL_BUTTON_MMASK) flags |= MK_MBUTTON;
    if (buttons & SDL_BUTTON_RMASK) flags |= MK_RBUTTON;
    const SDL_Keymod modifiers = SDL_GetModState();
    if (modifiers & KMOD_SHIFT) flags |= MK_SHIFT;
    if ((modifiers & KMOD_CTRL) || (heldKeys & Bit(kCtrl))) flags |= MK_CONTROL;
    return flags;
}

HWND PointerWindow() {
    if (HWND focus = GetForegroundWindow()) return focus;
    const std::vector<HWND> windows = platform::detail::AllWindows();
    return windows.empty() ? nullptr : windows.front();
}

void ClampPointer(HWND window) {
    int width = 0, height = 0;
    platform::detail::ClientSize(window, &width, &height);
    pointer.x = std::clamp(pointer.x, 0.0f, static_cast<float>(std::max(0, width - 1)));
    pointer.y = std::clamp(pointer.y, 0.0f, static_cast<float>(std::max(0, height - 1)));
}

// The window the pointer works in, with the pointer inside its client area; it starts in the middle.
HWND AimPointer() {
    HWND window = PointerWindow();
    if (!window) return nullptr;
    if (window != pointer.window) {
        int width = 0, height = 0;
        platform::detail::ClientSize(window, &width, &height);
        pointer = {window, width / 2.0f, height / 2.0f, {-1, -1}};
    }
    ClampPointer(window);
    return window;
}

POINT PointerPosition() { return {static_cast<LONG>(pointer.x), static_cast<LONG>(pointer.y)}; }

// Posts the move a real mouse would and puts the system cursor there, once per pixel reached.
void ShowPointer(HWND window) {
    const POINT at = PointerPosition();
    if (at.x == pointer.shown.x && at.y == pointer.shown.y) return;
    pointer.shown = at;
    Post(window, WM_MOUSEMOVE, MouseFlags(), MAKELPARAM(at.x, at.y));
    const POINT pixels = platform::detail::ClientToWindowPixels(window, at);
    SDL_WarpMouseInWindow(platform::detail::Lookup(window)->sdl, pixels.x, pixels.y);
}

void MovePointer(Velocity velocity, double seconds) {
    if (velocity.x == 0.0f && velocity.y == 0.0f) return;
    HWND window = AimPointer();
    if (!window) return;
    const float step = kPointerSpeed * static_cast<float>(seconds);
    pointer.x += velocity.x * step;
    pointer.y += velocity.y * step;
    ClampPointer(window);
    ShowPointer(window);
}

void FollowPointer(HWND window, POINT client) {
    // The cursor's own echo of a pointer step keeps the step's fraction of a pixel.
    if (window == pointer.window && client.x == pointer.shown.x && client.y == pointer.shown.y) return;
    pointer = {window, static_cast<float>(client.x), static_cast<float>(client.y), client};
}

void PostButton(UINT message) {
    HWND window = AimPointer();
    if (!window) return;
    const POINT at = PointerPosition();
    Post(window, message, MouseFlags(), MAKELPARAM(at.x, at.y));
}

std::vector<Pad>::iterator FindPad(SDL_JoystickID id) {
    return std::find_if(pads.begin(), pads.end(), [id](const Pad& pad) { return pad.id == id; });
}

void OpenPad(int deviceIndex) {
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    if (id < 0 || FindPad(id) != pads.end()) return;
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller) {
        std::fprintf(stderr, "Cannot open game controller %d: %s\n", deviceIndex, SDL_GetError());
        return;
    }
    pads.push_back({controller, id, false});
}

void ClosePad(SDL_JoystickID id) {
    const auto found = FindPad(id);
    if (found == pads.end()) return;
    // SDL lets go of everything a controller held before it reports it gone, so no key or button stays down.
    SDL_GameControllerClose(found->controller);
    pads.erase(found);
}

void OnButton(const SDL_ControllerButtonEvent& event) {
    if (event.button != SDL_CONTROLLER_BUTTON_START) return;
    const auto pad = FindPad(event.which);
    if (pad == pads.end()) return;
    const bool down = event.type == SDL_CONTROLLERBUTTONDOWN;
    // A press lands where the player can see the cursor.
    if (down) {
        if (HWND window = AimPointer()) ShowPointer(window);
    }
    // The left button is down while any controller holds Start: the first press and the last release post.
    const bool wasDown = AnyStartDown();
    pad->startDown = down;
    if (AnyStartDown() != wasDown) PostButton(down ? WM_LBUTTONDOWN : WM_LBUTTONUP);
}

}  // namespace

namespace platform::detail {

void UpdateGamepads() {
    if (!SDL_WasInit(SDL_INIT_VIDEO) || !StartSubsystem()) return;
    SDL_GameControllerUpdate();
    const double seconds = SecondsSinceLastPump();
    const PadState state = ReadPads();
    heldKeys = state.keys;
    MovePointer(state.pointer, seconds);
}

void TranslateGamepadEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        OpenPad(event.cdevice.which);
        return;
    case SDL_CONTROLLERDEVICEREMOVED:
        ClosePad(event.cdevice.which);
        return;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        OnButton(event.cbutton);
        return;
    default:
        return;
    }
}

void FollowMouse(HWND window, POINT client) { FollowPointer(window, client); }

bool GamepadHolds(int virtualKey) {
    if (!heldKeys) return false;
    for (const KeyBinding& binding : kVirtualKeys) {
        if (binding.virtualKey == virtualKey) return (heldKeys & Bit(binding.key)) != 0;
    }
    return false;
}

}  // namespace platform::detail
