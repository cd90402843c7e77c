// Fullscreen switching: the window covers its display while the program keeps its client size and back buffer,
// as after DXGI's switch to a display mode of that size.
#include "fullscreen.h"
#include "picture_fit.h"
#include "window_internal.h"

using platform::detail::Lookup;
using platform::detail::WindowRecord;

namespace {

// Long enough for a window manager to put the window back; the program hears of a size it did not get after it.
constexpr Uint64 kLeaveSettleMs = 500;

bool Enter(WindowRecord* record) {
    platform::detail::Fullscreen& state = record->fullscreen;
    SDL_GetWindowSize(record->sdl, &state.clientWidth, &state.clientHeight);
    SDL_GetWindowPosition(record->sdl, &state.windowedX, &state.windowedY);
    state.wasMaximized = (SDL_GetWindowFlags(record->sdl) & SDL_WINDOW_MAXIMIZED) != 0;
    state.active = true;
    state.leaving = false;
    if (SDL_SetWindowFullscreen(record->sdl, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0) return true;
    state.active = false;
    return false;
}

bool Leave(WindowRecord* record) {
    platform::detail::Fullscreen& state = record->fullscreen;
    state.active = false;
    state.leaving = true;
    state.leaveDeadline = SDL_GetTicks64() + kLeaveSettleMs;
    const bool left = SDL_SetWindowFullscreen(record->sdl, 0) == 0;
    if (state.wasMaximized) {
        SDL_MaximizeWindow(record->sdl);
        return left;
    }
    // Not every video driver puts the window back by itself.
    SDL_SetWindowSize(record->sdl, state.clientWidth, state.clientHeight);
    SDL_SetWindowPosition(record->sdl, state.windowedX, state.windowedY);
    return left;
}

// Where the client area's picture is shown on the fullscreen window.
platform::PictureRect ShownPicture(WindowRecord* record) {
    int width = 0, height = 0;
    SDL_GetWindowSize(record->sdl, &width, &height);
    return platform::FitPicture(width, height, record->fullscreen.clientWidth, record->fullscreen.clientHeight);
}

bool IsSwitchEvent(SDL_WindowEventID kind) {
    return kind == SDL_WINDOWEVENT_SIZE_CHANGED || kind == SDL_WINDOWEVENT_RESIZED || kind == SDL_WINDOWEVENT_MOVED ||
           kind == SDL_WINDOWEVENT_MAXIMIZED || kind == SDL_WINDOWEVENT_RESTORED;
}

bool IsClientSize(const platform::detail::Fullscreen& state, int width, int height) {
    return width == state.clientWidth && height == state.clientHeight;
}

}  // namespace

namespace platform::detail {

bool IsFullscreenKey(const SDL_KeyboardEvent& event) {
    if (event.type != SDL_KEYDOWN || event.repeat) return false;
    // The plain chords only: with another modifier they are the desktop's or the program's shortcuts. Lock keys do not
    // count.
    const int held = event.keysym.mod & (KMOD_CTRL | KMOD_SHIFT | KMOD_ALT | KMOD_GUI);
    const SDL_Scancode key = event.keysym.scancode;
    if (key == SDL_SCANCODE_F11) return held == 0;
    const bool enter = key == SDL_SCANCODE_RETURN || key == SDL_SCANCODE_KP_ENTER;
    return enter && held != 0 && (held & ~KMOD_ALT) == 0;
}

bool ToggleFullscreen(HWND window) {
    WindowRecord* record = Lookup(window);
    if (!record || !record->fullscreen.toggleAllowed) return false;
    platform::SetWindowFullscreen(window, !record->fullscreen.active);
    return true;
}

bool SwallowsWindowEvent(WindowRecord* record, const SDL_WindowEvent& event) {
    Fullscreen& state = record->fullscreen;
    const auto kind = static_cast<SDL_WindowEventID>(event.event);
    if (!(state.active || state.leaving) || !IsSwitchEvent(kind)) return false;
    // Back at the size the program knows, the window is its own again.
    if (state.leaving && kind == SDL_WINDOWEVENT_SIZE_CHANGED && IsClientSize(state, event.data1, event.data2)) {
        state.leaving = false;
    }
    return true;
}

void FinishLeavingFullscreen() {
    for (HWND window : AllWindows()) {
        WindowRecord* record = Lookup(window);
        if (!record || !record->fullscreen.leaving || SDL_GetTicks64() < record->fullscreen.leaveDeadline) continue;
        record->fullscreen.leaving = false;
        int width = 0, height = 0;
        SDL_GetWindowSize(record->sdl, &width, &height);
        if (IsClientSize(record->fullscreen, width, height)) continue;
        const bool maximized = (SDL_GetWindowFlags(record->sdl) & SDL_WINDOW_MAXIMIZED) != 0;
        Post(window, WM_SIZE, maximized ? SIZE_MAXIMIZED : SIZE_RESTORED, MAKELPARAM(width, height));
    }
}

bool WindowToClient(WindowRecord* record, int x, int y, POINT* client) {
    const Fullscreen& state = record->fullscreen;
    if (!state.active) {
        *client = {x, y};
        return true;
    }
    const PicturePoint point = AreaToPicture(ShownPicture(record), state.clientWidth, state.clientHeight, {x, y});
    *client = {point.x, point.y};
    return point.x >= 0 && point.y >= 0 && point.x < state.clientWidth && point.y < state.clientHeight;
}

POINT ClientToWindowPixels(HWND window, POINT client) {
    WindowRecord* record = Lookup(window);
    if (!record || !record->fullscreen.active) return client;
    const Fullscreen& state = record->fullscreen;
    const PicturePoint point = PictureToArea(ShownPicture(record), state.clientWidth, state.clientHeight,
                                             {static_cast<int>(client.x), static_cast<int>(client.y)});
    return {point.x, point.y};
}

}  // namespace platform::detail

namespace platform {

void AllowFullscreenToggle(HWND window, bool allowed) {
    if (WindowRecord* record = Lookup(window)) record->fullscreen.toggleAllowed = allowed;
}

bool SetWindowFullscreen(HWND window, bool fullscreen) {
    WindowRecord* record = Lookup(window);
    if (!record) return false;
    if (record->fullscreen.active == fullscreen) return true;
    return fullscreen ? Enter(record) : Leave(record);
}

bool IsWindowFullscreen(HWND window) {
    WindowRecord* record = Lookup(window);
    return record && record->fullscreen.active;
}

}  // namespace platform
