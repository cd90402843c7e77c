#pragma once

namespace platform::detail {

// SDL_InitSubSystem(SDL_INIT_VIDEO) for the layer: the signals handled by the layer, not SDL, and the headless
// drivers (offscreen, dummy) only when SDL_VIDEODRIVER names them. Without a display SDL would otherwise fall back
// to the offscreen driver, and a game started from a text console would run where no one sees it. Under x11, X
// errors about windows that are already gone no longer end the process (x_errors.h).
bool StartVideo();

}  // namespace platform::detail
