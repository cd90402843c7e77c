// The SDL objects behind Windows handles, for the parts of the layer (and its tests) that talk to SDL directly.
#pragma once
#include <SDL2/SDL.h>
#include "windows.h"

namespace platform {

// The SDL window behind a window handle (null for an unknown handle).
SDL_Window* SdlWindowOf(HWND window);

}  // namespace platform
