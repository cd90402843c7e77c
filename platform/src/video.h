#pragma once

namespace platform::detail {

// SDL_InitSubSystem(SDL_INIT_VIDEO) for the layer, with the signals handled by the layer, not SDL.
bool StartVideo();

}  // namespace platform::detail
