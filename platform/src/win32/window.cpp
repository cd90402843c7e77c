// Window classes and windows over SDL windows.
#include <algorithm>
#include <cstdio>
#include <map>
#include <mutex>
#include "platform_sdl.h"
#include "platform_text.h"
#include "d3d11/driver_pins.h"
#include "d3d11/gl_surface.h"
#include "signals.h"
#include "video.h"
#include "window_internal.h"

using platform::detail::Frame;
using platform::detail::Fullscreen;
using platform::detail::Lookup;
using platform::detail::SetLastErrorCode;
using platform::detail::WindowRecord;

namespace {

constexpr DWORD kErrorCannotFindClass = 1407;
constexpr int kDefaultClientWidth = 800;
constexpr int kDefaultClientHeight = 600;
// Windows 10 at 96 DPI: a sizing border of 8 pixels and a 23-pixel caption.
constexpr int kSizingBorder = 8;
constexpr int kCaptionHeight = 23;
// Windows 10's smallest track size for a captioned window.
constexpr POINT kMinTrackSize = {136, 39};

struct WindowClass {
    WNDPROC proc = nullptr;
    ATOM atom = 0;
};

std::mutex registryMutex;
std::map<std::wstring, WindowClass> classes;
ATOM nextAtom = 0xC000;
// Windows still open when the process ends are reclaimed with it, as the system does.
struct WindowList : std::vector<HWND> {
    ~WindowList() {
        for (HWND window : *this) delete reinterpret_cast<WindowRecord*>(window);
    }
};
WindowList windows;  // creation order

bool IsAtom(LPCWSTR name) { return reinterpret_cast<uintptr_t>(name) < 0x10000; }

WNDPROC FindClassProcedure(LPCWSTR name) {
    std::lock_guard<std::mutex> lock(registryMutex);
    if (!IsAtom(name)) {
        auto found = classes.find(name);
        return found == classes.end() ? nullptr : found->second.proc;
    }
    const auto atom = static_cast<ATOM>(reinterpret_cast<uintptr_t>(name));
    for (const auto& entry : classes) {
        if (entry.second.atom == atom) return entry.second.proc;
    }
    return nullptr;
}

void AddWindow(HWND window) {
    std::lock_guard<std::mutex> lock(registryMutex);
    windows.push_back(window);
}

void RemoveWindow(HWND window) {
    std::lock_guard<std::mutex> lock(registryMutex);
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

HWND ToHandle(WindowRecord* record) { return reinterpret_cast<HWND>(record); }

bool EnsureVideo() {
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // The close of the last window already becomes WM_CLOSE; a second one from SDL_QUIT would repeat it.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    if (platform::detail::StartVideo()) return true;
    std::fprintf(stderr, "CreateWindowExW: SDL video unavailable: %s\n", SDL_GetError());
    return false;
}

void SetGlAttributesOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    platform::RequestWindowSurface();
}

int ClientExtent(int outer, int frameSum, int fallback) {
    if (outer == CW_USEDEFAULT) return fallback;
    return std::max(1, outer - frameSum);
}

int SdlPosition(int outer, int frameOffset) {
    return outer == CW_USEDEFAULT ? SDL_WINDOWPOS_UNDEFINED : outer + frameOffset;
}

// Without a usable area SDL centres the window on the whole display, whatever its size.
SDL_Point PositionOnScreen(int x, int y, int width, int height, const Frame& frame) {
    if (x != CW_USEDEFAULT) return {SdlPosition(x, frame.left), SdlPosition(y, frame.top)};
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return {SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED};
    return platform::detail::DefaultPosition(usable, width, height, frame);
}

MINMAXINFO DefaultMinMaxInfo(const Frame& frame) {
    SDL_Rect screen = {0, 0, 1920, 1080};
    SDL_GetDisplayBounds(0, &screen);
    MINMAXINFO info = {};
    info.ptMaxSize = {screen.w + frame.left + frame.right, screen.h + frame.top + frame.bottom};
    info.ptMaxPosition = {-frame.left, -frame.left};
    info.ptMinTrackSize = kMinTrackSize;
    info.ptMaxTrackSize = info.ptMaxSize;
    return info;
}

void ApplyMinMaxInfo(HWND window, const Frame& frame) {
    MINMAXINFO info = DefaultMinMaxInfo(frame);
    platform::detail::CallProcedure(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    const int minWidth = std::max(1, static_cast<int>(info.ptMinTrackSize.x) - frame.left - frame.right);
    const int minHeight = std::max(1, static_cast<int>(info.ptMinTrackSize.y) - frame.top - frame.bottom);
    SDL_SetWindowMinimumSize(platform::SdlWindowOf(window), minWidth, minHeight);
}

// Applies a show command to the SDL window and returns the WM_SIZE kind it leads to.
UINT ApplyShowCommand(SDL_Window* sdl, int command) {
    switch (command) {
    case SW_MAXIMIZE:
        SDL_MaximizeWindow(sdl);
        return SIZE_MAXIMIZED;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
        SDL_MinimizeWindow(sdl);
        return SIZE_MINIMIZED;
    case SW_RESTORE:
        SDL_RestoreWindow(sdl);
        return SIZE_RESTORED;
    default:
        return SIZE_RESTORED;
    }
}

void SendFirstShowMessages(HWND window, UINT sizeKind, int command) {
    int width = 0, height = 0;
    if (sizeKind != SIZE_MINIMIZED) platform::detail::ClientSize(window, &width, &height);
    platform::detail::CallProcedure(window, WM_SIZE, sizeKind, MAKELPARAM(width, height));
    if (command != SW_MINIMIZE) platform::detail::CallProcedure(window, WM_ACTIVATE, WA_ACTIVE, 0);
}

WindowRecord* LookupOrFail(HWND window) {
    WindowRecord* record = Lookup(window);
    if (!record) SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
    return record;
}

// Non-null stand-ins for resources the game only passes back to the system.
char dummyModule;
char dummyIcon;
char dummyCursor;
char stockObjects[20];

}  // namespace

namespace platform::detail {

WindowRecord* Lookup(HWND window) {
    if (!window) return nullptr;
    std::lock_guard<std::mutex> lock(registryMutex);
    const bool live = std::find(windows.begin(), windows.end(), window) != windows.end();
    return live ? reinterpret_cast<WindowRecord*>(window) : nullptr;
}

HWND FindBySdlId(Uint32 sdlId) {
    std::lock_guard<std::mutex> lock(registryMutex);
    for (HWND window : windows) {
        if (reinterpret_cast<WindowRecord*>(window)->sdlId == sdlId) return window;
    }
    return nullptr;
}

std::vector<HWND> AllWindows() {
    std::lock_guard<std::mutex> lock(registryMutex);
    return windows;
}

LRESULT CallProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowRecord* record = Lookup(window);
    if (!record) return 0;
    const WNDPROC proc = record->proc;
    return proc(window, message, wParam, lParam);
}

void ClientSize(HWND window, int* width, int* height) {
    *width = 0;
    *height = 0;
    WindowRecord* record = Lookup(window);
    if (!record) return;
    const Fullscreen& fullscreen = record->fullscreen;
    if (fullscreen.active || fullscreen.leaving) {
        *width = fullscreen.clientWidth;
        *height = fullscreen.clientHeight;
        return;
    }
    SDL_GetWindowSize(record->sdl, width, height);
}

Frame FrameFor(DWORD style) {
    const DWORD sizable = WS_CAPTION | WS_THICKFRAME;
    if ((style & sizable) != sizable) return {};
    return {kSizingBorder, kSizingBorder + kCaptionHeight, kSizingBorder, kSizingBorder};
}

SDL_Point DefaultPosition(const SDL_Rect& usable, int width, int height, const Frame& frame) {
    return {std::max(usable.x + (usable.w - width) / 2, usable.x + frame.left),
            std::max(usable.y + (usable.h - height) / 2, usable.y + frame.top)};
}

}  // namespace platform::detail

SDL_Window* platform::SdlWindowOf(HWND window) {
    WindowRecord* record = Lookup(window);
    return record ? record->sdl : nullptr;
}

ATOM RegisterClassW(const WNDCLASSW* windowClass) {
    if (!windowClass || !windowClass->lpszClassName || IsAtom(windowClass->lpszClassName) ||
        !windowClass->lpfnWndProc) {
        SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard<std::mutex> lock(registryMutex);
    if (classes.count(windowClass->lpszClassName)) {
        SetLastErrorCode(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    const ATOM atom = nextAtom++;
    classes[windowClass->lpszClassName] = {windowClass->lpfnWndProc, atom};
    return atom;
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
    if (!className || IsAtom(className)) {
        SetLastErrorCode(kErrorCannotFindClass);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(registryMutex);
    if (classes.erase(className) == 0) {
        SetLastErrorCode(kErrorCannotFindClass);
        return FALSE;
    }
    return TRUE;
}

BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL) {
    if (!rect) {
        SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const Frame frame = platform::detail::FrameFor(style);
    rect->left -= frame.left;
    rect->top -= frame.top;
    rect->right += frame.right;
    rect->bottom += frame.bottom;
    return TRUE;
}

HWND CreateWindowExW(DWORD, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width, int height,
                     HWND, HMENU, HINSTANCE, LPVOID) {
    const WNDPROC proc = className ? FindClassProcedure(className) : nullptr;
    if (!proc) {
        SetLastErrorCode(kErrorCannotFindClass);
        return nullptr;
    }
    if (!EnsureVideo()) {
        SetLastErrorCode(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    SetGlAttributesOnce();

    const Frame frame = platform::detail::FrameFor(style);
    const std::wstring title = windowName ? windowName : L"";
    const int clientWidth = ClientExtent(width, frame.left + frame.right, kDefaultClientWidth);
    const int clientHeight = ClientExtent(height, frame.top + frame.bottom, kDefaultClientHeight);
    const SDL_Point at = PositionOnScreen(x, y, clientWidth, clientHeight, frame);
    SDL_Window* sdl = SDL_CreateWindow(platform::ToUtf8(title).c_str(), at.x, at.y, clientWidth, clientHeight,
                                       SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
    if (!sdl) {
        std::fprintf(stderr, "CreateWindowExW: cannot create the window: %s\n", SDL_GetError());
        SetLastErrorCode(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }

    platform::PinGraphicsDrivers();
    auto* record = new WindowRecord;
    record->sdl = sdl;
    record->sdlId = SDL_GetWindowID(sdl);
    record->proc = proc;
    record->style = style;
    record->title = title;
    HWND window = ToHandle(record);
    AddWindow(window);
    platform::detail::NoteMessageLoop();

    ApplyMinMaxInfo(window, frame);
    if (platform::detail::CallProcedure(window, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(window);
        SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (style & WS_VISIBLE) ShowWindow(window, SW_SHOW);
    return window;
}

BOOL DestroyWindow(HWND window) {
    WindowRecord* record = LookupOrFail(window);
    if (!record) return FALSE;
    if (record->destroying) return TRUE;
    record->destroying = true;
    platform::detail::CallProcedure(window, WM_DESTROY, 0, 0);
    RemoveWindow(window);
    platform::detail::DiscardMessagesFor(window);
    platform::detail::ForgetCapture(window);
    SDL_DestroyWindow(record->sdl);
    delete record;
    return TRUE;
}

BOOL ShowWindow(HWND window, int command) {
    WindowRecord* record = LookupOrFail(window);
    if (!record) return FALSE;
    const BOOL wasVisible = (SDL_GetWindowFlags(record->sdl) & SDL_WINDOW_HIDDEN) == 0;
    if (command == SW_HIDE) {
        SDL_HideWindow(record->sdl);
        return wasVisible;
    }
    SDL_ShowWindow(record->sdl);
    const UINT sizeKind = ApplyShowCommand(record->sdl, command);
    if (!record->shownOnce) {
        record->shownOnce = true;
        SendFirstShowMessages(window, sizeKind, command);
    }
    return wasVisible;
}

BOOL UpdateWindow(HWND window) { return LookupOrFail(window) ? TRUE : FALSE; }

BOOL SetWindowTextW(HWND window, LPCWSTR text) {
    WindowRecord* record = LookupOrFail(window);
    if (!record) return FALSE;
    record->title = text ? text : L"";
    SDL_SetWindowTitle(record->sdl, platform::ToUtf8(record->title).c_str());
    return TRUE;
}

int GetWindowTextW(HWND window, LPWSTR text, int maxCount) {
    WindowRecord* record = LookupOrFail(window);
    if (!record || !text || maxCount <= 0) return 0;
    const size_t count = std::min(record->title.size(), static_cast<size_t>(maxCount - 1));
    std::copy_n(record->title.begin(), count, text);
    text[count] = L'\0';
    return static_cast<int>(count);
}

BOOL GetClientRect(HWND window, RECT* rect) {
    if (!rect || !LookupOrFail(window)) return FALSE;
    int width = 0, height = 0;
    platform::detail::ClientSize(window, &width, &height);
    *rect = {0, 0, width, height};
    return TRUE;
}

BOOL SetWindowPos(HWND window, HWND, int x, int y, int cx, int cy, UINT flags) {
    WindowRecord* record = LookupOrFail(window);
    if (!record) return FALSE;
    const Frame frame = platform::detail::FrameFor(record->style);
    if (!(flags & SWP_NOMOVE)) SDL_SetWindowPosition(record->sdl, x + frame.left, y + frame.top);
    if (flags & SWP_NOSIZE) return TRUE;

    int oldWidth = 0, oldHeight = 0;
    SDL_GetWindowSize(record->sdl, &oldWidth, &oldHeight);
    SDL_SetWindowSize(record->sdl, std::max(1, cx - frame.left - frame.right),
                      std::max(1, cy - frame.top - frame.bottom));
    int width = 0, height = 0;
    SDL_GetWindowSize(record->sdl, &width, &height);
    if (width == oldWidth && height == oldHeight) return TRUE;
    // Windows reports a programmatic resize synchronously; the SDL event it also causes is not a drag.
    record->expectingSize = true;
    record->expectedWidth = width;
    record->expectedHeight = height;
    platform::detail::CallProcedure(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
    return TRUE;
}

HWND GetForegroundWindow() {
    SDL_Window* focus = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetKeyboardFocus() : nullptr;
    return focus ? platform::detail::FindBySdlId(SDL_GetWindowID(focus)) : nullptr;
}

BOOL IsWindow(HWND window) { return Lookup(window) ? TRUE : FALSE; }

HICON LoadIconW(HINSTANCE, LPCWSTR) { return reinterpret_cast<HICON>(&dummyIcon); }

HCURSOR LoadCursorW(HINSTANCE, LPCWSTR) { return reinterpret_cast<HCURSOR>(&dummyCursor); }

HGDIOBJ GetStockObject(int object) {
    if (object < 0 || object >= static_cast<int>(sizeof stockObjects)) return nullptr;
    return &stockObjects[object];
}

HMODULE GetModuleHandleW(LPCWSTR) { return reinterpret_cast<HMODULE>(&dummyModule); }
