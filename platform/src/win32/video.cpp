#include "video.h"

#include <SDL2/SDL.h>
#include <algorithm>
#include <cstring>
#include <string>
#include "signals.h"
#include "x_errors.h"

namespace {

bool IsHeadless(const char* driver) {
    return SDL_strcasecmp(driver, "offscreen") == 0 || SDL_strcasecmp(driver, "dummy") == 0;
}

// SDL_VIDEODRIVER may list several drivers, separated by commas.
bool Requested(const char* driver) {
    const char* list = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (!list) return false;
    const std::string names = list;
    const size_t length = std::strlen(driver);
    for (size_t start = 0; start <= names.size();) {
        const size_t end = std::min(names.find(',', start), names.size());
        if (end - start == length && SDL_strncasecmp(names.c_str() + start, driver, length) == 0) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

namespace platform::detail {

bool StartVideo() {
    InstallSignalHandlers();
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && SDL_strcmp(driver, "x11") == 0) IgnoreErrorsOnGoneWindows();
    if (!driver || !IsHeadless(driver) || Requested(driver)) return true;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_SetError("no display; the %s video driver runs only when SDL_VIDEODRIVER names it", driver);
    return false;
}

}  // namespace platform::detail
