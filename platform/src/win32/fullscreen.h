// Fullscreen for windows a swap chain presents into, shared by the DXGI and the window parts of the layer.
#pragma once
#include "windows.h"

namespace platform {

// DXGI's window association: while a swap chain presents into the window, Alt+Enter and F11 switch it.
void AllowFullscreenToggle(HWND window, bool allowed);

// Fills the window's screen, keeping the client size the program sees. False for an unknown window.
bool SetWindowFullscreen(HWND window, bool fullscreen);
bool IsWindowFullscreen(HWND window);

}  // namespace platform
