// Mouse capture and the keyboard state behind GetAsyncKeyState, to which game controllers add.
#include <iterator>
#include "gamepad.h"
#include "platform_hooks.h"
#include "window_internal.h"

namespace {

platform::KeySource keySource;
HWND captureWindow = nullptr;

// Generic modifiers come first so that a scancode maps back to the code Windows puts in WM_KEYDOWN.
struct KeyMapping {
    int virtualKey;
    SDL_Scancode scancode;
    SDL_Scancode otherScancode;
};
constexpr KeyMapping kKeyMappings[] = {
    {VK_SHIFT, SDL_SCANCODE_LSHIFT, SDL_SCANCODE_RSHIFT},    {VK_CONTROL, SDL_SCANCODE_LCTRL, SDL_SCANCODE_RCTRL},
    {VK_MENU, SDL_SCANCODE_LALT, SDL_SCANCODE_RALT},         {VK_LSHIFT, SDL_SCANCODE_LSHIFT, SDL_SCANCODE_UNKNOWN},
    {VK_RSHIFT, SDL_SCANCODE_RSHIFT, SDL_SCANCODE_UNKNOWN},  {VK_LCONTROL, SDL_SCANCODE_LCTRL, SDL_SCANCODE_UNKNOWN},
    {VK_RCONTROL, SDL_SCANCODE_RCTRL, SDL_SCANCODE_UNKNOWN}, {VK_LMENU, SDL_SCANCODE_LALT, SDL_SCANCODE_UNKNOWN},
    {VK_RMENU, SDL_SCANCODE_RALT, SDL_SCANCODE_UNKNOWN},     {VK_BACK, SDL_SCANCODE_BACKSPACE, SDL_SCANCODE_UNKNOWN},
    {VK_TAB, SDL_SCANCODE_TAB, SDL_SCANCODE_UNKNOWN},        {VK_RETURN, SDL_SCANCODE_RETURN, SDL_SCANCODE_UNKNOWN},
    {VK_ESCAPE, SDL_SCANCODE_ESCAPE, SDL_SCANCODE_UNKNOWN},  {VK_SPACE, SDL_SCANCODE_SPACE, SDL_SCANCODE_UNKNOWN},
    {VK_LEFT, SDL_SCANCODE_LEFT, SDL_SCANCODE_UNKNOWN},      {VK_UP, SDL_SCANCODE_UP, SDL_SCANCODE_UNKNOWN},
    {VK_RIGHT, SDL_SCANCODE_RIGHT, SDL_SCANCODE_UNKNOWN},    {VK_DOWN, SDL_SCANCODE_DOWN, SDL_SCANCODE_UNKNOWN},
    {VK_PRIOR, SDL_SCANCODE_PAGEUP, SDL_SCANCODE_UNKNOWN},   {VK_NEXT, SDL_SCANCODE_PAGEDOWN, SDL_SCANCODE_UNKNOWN},
};

SDL_Scancode Offset(SDL_Scancode base, int offset) { return static_cast<SDL_Scancode>(base + offset); }

KeyMapping MappingFor(int virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z') {
        return {virtualKey, Offset(SDL_SCANCODE_A, virtualKey - 'A'), SDL_SCANCODE_UNKNOWN};
    }
    // SDL orders the digit row 1..9, 0 as the keyboard does.
    if (virtualKey >= '1' && virtualKey <= '9') {
        return {virtualKey, Offset(SDL_SCANCODE_1, virtualKey - '1'), SDL_SCANCODE_UNKNOWN};
    }
    if (virtualKey == '0') return {virtualKey, SDL_SCANCODE_0, SDL_SCANCODE_UNKNOWN};
    for (const KeyMapping& mapping : kKeyMappings) {
        if (mapping.virtualKey == virtualKey) return mapping;
    }
    return {virtualKey, SDL_SCANCODE_UNKNOWN, SDL_SCANCODE_UNKNOWN};
}

bool IsDown(const Uint8* state, int keyCount, SDL_Scancode scancode) {
    return scancode != SDL_SCANCODE_UNKNOWN && scancode < keyCount && state[scancode];
}

}  // namespace

namespace platform {

void SetKeySource(KeySource source) { keySource = std::move(source); }

}  // namespace platform

namespace platform::detail {

int VirtualKeyFromScancode(SDL_Scancode scancode) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return 'A' + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0) return '0';
    for (const KeyMapping& mapping : kKeyMappings) {
        if (mapping.scancode == scancode || mapping.otherScancode == scancode) return mapping.virtualKey;
    }
    return 0;
}

void ForgetCapture(HWND window) {
    if (captureWindow == window) ReleaseCapture();
}

}  // namespace platform::detail

SHORT GetAsyncKeyState(int virtualKey) {
    const auto down = static_cast<SHORT>(0x8000);
    if (platform::detail::GamepadHolds(virtualKey)) return down;
    if (keySource) return keySource(virtualKey) ? down : 0;
    const KeyMapping mapping = MappingFor(virtualKey);
    if (mapping.scancode == SDL_SCANCODE_UNKNOWN) return 0;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_PumpEvents();
    int keyCount = 0;
    const Uint8* state = SDL_GetKeyboardState(&keyCount);
    const bool isDown = IsDown(state, keyCount, mapping.scancode) || IsDown(state, keyCount, mapping.otherScancode);
    return isDown ? down : 0;
}

HWND SetCapture(HWND window) {
    if (!platform::detail::Lookup(window)) {
        platform::detail::SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    HWND previous = captureWindow;
    captureWindow = window;
    // Drivers without global capture (offscreen, dummy) refuse; the window still counts as capturing.
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_CaptureMouse(SDL_TRUE);
    return previous;
}

BOOL ReleaseCapture() {
    captureWindow = nullptr;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_CaptureMouse(SDL_FALSE);
    return TRUE;
}

HWND GetCapture() { return captureWindow; }
