// Game controllers as the game's keys and mouse: buttons, sticks and triggers hold virtual keys, the right stick
// moves the pointer and Start presses the left mouse button.
#pragma once
#include <SDL2/SDL.h>
#include "windows.h"

namespace platform::detail {

// Once per message pump, before its SDL events are drained: starts the controller subsystem on first use, reads
// every open controller once and moves the pointer.
void UpdateGamepads();

// Controllers plugged in or out, and the buttons that post mouse messages.
void TranslateGamepadEvent(const SDL_Event& event);

// The real mouse moved to a client point: the pointer goes on from there.
void FollowMouse(HWND window, POINT client);

// From the state read by the last pump; no SDL call.
bool GamepadHolds(int virtualKey);

}  // namespace platform::detail
