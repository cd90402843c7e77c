// State shared by the Win32 part of the layer (windows, messages, input). Windows belong to the thread that
// creates them; only the message queue is safe to post to from other threads.
#pragma once
#include <SDL2/SDL.h>
#include <cstdint>
#include <string>
#include <vector>
#include "windows.h"

namespace platform::detail {

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
};

// Live windows only: null for null, unknown or destroyed handles.
WindowRecord* Lookup(HWND window);
HWND FindBySdlId(Uint32 sdlId);
std::vector<HWND> AllWindows();
LRESULT CallProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void ClientSize(HWND window, int* width, int* height);
// Where a client-area point is in the SDL window's own pixels, for placing the system cursor; the client area
// fills the window one to one.
inline POINT ClientToWindowPixels(HWND, POINT client) { return client; }

// The outer frame around the client area that a style gets (Windows 10, 96 DPI).
struct Frame {
    int left = 0, top = 0, right = 0, bottom = 0;
};
Frame FrameFor(DWORD style);

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void DiscardMessagesFor(HWND window);
void ForgetCapture(HWND window);

// 0 for scancodes without a virtual-key code.
int VirtualKeyFromScancode(SDL_Scancode scancode);

void SetLastErrorCode(DWORD code);

}  // namespace platform::detail
