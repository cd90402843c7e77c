#include "video.h"

#include <SDL2/SDL.h>
#include "signals.h"

namespace platform::detail {

bool StartVideo() {
    InstallSignalHandlers();
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

}  // namespace platform::detail
