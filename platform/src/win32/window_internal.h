// State shared by the Win32 part of the layer (windows, messages, input). Windows belong to the thread that
// creates them; only the message queue is safe to post to from other threads.
#pragma once
#include <SDL2/SDL.h>
#include <cstdint>
#include <string>
#include <vector>
#include "windows.h"

namespace platform::detail {

// Fullscreen as DXGI's switch to a display mode of the client's own size: the game keeps its client size and
// back buffer while the layer scales the picture onto the screen.
struct Fullscreen {
    bool active = false;
    bool toggleAllowed = false;  // a swap chain presents into the window, so Alt+Enter and F11 switch it
    int clientWidth = 0, clientHeight = 0;
    int windowedX = 0, windowedY = 0;
    bool wasMaximized = false;
    // Leaving, the window manager's size changes back to the windowed size still arrive for a moment.
    bool leaving = false;
    Uint64 leaveDeadline = 0;  // SDL ticks
};

struct WindowRecord {
    SDL_Window* sdl = nullptr;
    Uint32 sdlId = 0;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    std::wstring title;
    bool shownOnce = false;
    bool destroying = false;

    // A frame drag is a burst of plain size changes; it ends after a quiet period.
    bool dragging = false;
    int64_t lastDragChange = 0;  // performance-counter ticks

    // Size changes that follow a minimise/maximise/restore closely belong to it, not to a drag.
    UINT lastStateKind = SIZE_RESTORED;
    Uint64 lastStateTicks = 0;
    bool hadStateChange = false;

    // A size the layer set itself; the size-change event it causes is not the user's.
    bool expectingSize = false;
    int expectedWidth = 0;
    int expectedHeight = 0;

    Fullscreen fullscreen;
};

// Live windows only: null for null, unknown or destroyed handles.
WindowRecord* Lookup(HWND window);
HWND FindBySdlId(Uint32 sdlId);
std::vector<HWND> AllWindows();
LRESULT CallProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void ClientSize(HWND window, int* width, int* height);
// The outer frame around the client area that a style gets (Windows 10, 96 DPI).
struct Frame {
    int left = 0, top = 0, right = 0, bottom = 0;
};
Frame FrameFor(DWORD style);
// Where a window created at the default position goes, as SDL places it (its client area's top left): centred on the
// display's usable area, but never with its frame's top left outside it, so that on a screen smaller than the window
// the title bar stays on screen.
SDL_Point DefaultPosition(const SDL_Rect& usable, int width, int height, const Frame& frame);

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void DiscardMessagesFor(HWND window);
void ForgetCapture(HWND window);

// 0 for scancodes without a virtual-key code.
int VirtualKeyFromScancode(SDL_Scancode scancode);

void SetLastErrorCode(DWORD code);

// Fullscreen switching (fullscreen.cpp).
bool IsFullscreenKey(const SDL_KeyboardEvent& event);
// False where no swap chain presents into the window: the key is then an ordinary key.
bool ToggleFullscreen(HWND window);
// Size, move, maximise and restore events a fullscreen switch causes are the layer's, not the user's.
bool SwallowsWindowEvent(WindowRecord* record, const SDL_WindowEvent& event);
void FinishLeavingFullscreen();
// Window pixels to client coordinates: through the scaled picture while fullscreen. False on the bars.
bool WindowToClient(WindowRecord* record, int x, int y, POINT* client);
// The inverse, for placing the system pointer over a client point.
POINT ClientToWindowPixels(HWND window, POINT client);

}  // namespace platform::detail
