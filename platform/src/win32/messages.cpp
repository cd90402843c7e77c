// The message queue, and SDL events turned into the messages Windows would post.
#include <algorithm>
#include <deque>
#include <mutex>
#include "gamepad.h"
#include "signals.h"
#include "window_internal.h"

using platform::detail::Lookup;
using platform::detail::Post;
using platform::detail::WindowRecord;

namespace {

constexpr double kDragQuietMs = 200.0;
// How long after a minimise/maximise/restore a size change still belongs to it.
constexpr Uint64 kStateSettleMs = 200;
const HWND kThreadMessagesOnly = reinterpret_cast<HWND>(-1);

std::mutex queueMutex;
std::deque<MSG> queue;
POINT lastCursor = {0, 0};
Uint32 heldButtons = 0;  // SDL button mask

bool Matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
    if (window == kThreadMessagesOnly && msg.hwnd) return false;
    if (window && window != kThreadMessagesOnly && msg.hwnd != window) return false;
    if (msg.message == WM_QUIT || (filterMin == 0 && filterMax == 0)) return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

bool Take(MSG* out, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    std::lock_guard<std::mutex> lock(queueMutex);
    auto found = std::find_if(queue.begin(), queue.end(),
                              [&](const MSG& msg) { return Matches(msg, window, filterMin, filterMax); });
    if (found == queue.end()) return false;
    *out = *found;
    if (remove) queue.erase(found);
    return true;
}

int64_t CounterNow() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double MillisecondsSince(int64_t ticks) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(CounterNow() - ticks) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void EndDrag(HWND window, WindowRecord* record) {
    if (!record->dragging) return;
    record->dragging = false;
    Post(window, WM_EXITSIZEMOVE, 0, 0);
}

bool PostDragEnds() {
    bool posted = false;
    for (HWND window : platform::detail::AllWindows()) {
        WindowRecord* record = Lookup(window);
        if (!record || !record->dragging || MillisecondsSince(record->lastDragChange) < kDragQuietMs) continue;
        EndDrag(window, record);
        posted = true;
    }
    return posted;
}

using Batch = std::vector<SDL_Event>;

bool IsWindowEvent(const SDL_Event& event, Uint32 windowId, SDL_WindowEventID kind) {
    return event.type == SDL_WINDOWEVENT && event.window.windowID == windowId && event.window.event == kind;
}

bool HasStateEvent(const Batch& batch, Uint32 windowId) {
    return std::any_of(batch.begin(), batch.end(), [&](const SDL_Event& event) {
        return IsWindowEvent(event, windowId, SDL_WINDOWEVENT_MINIMIZED) ||
               IsWindowEvent(event, windowId, SDL_WINDOWEVENT_MAXIMIZED) ||
               IsWindowEvent(event, windowId, SDL_WINDOWEVENT_RESTORED);
    });
}

// The newest size the batch reports for the window, else its current size.
LPARAM LatestSize(const Batch& batch, HWND window, Uint32 windowId) {
    for (auto event = batch.rbegin(); event != batch.rend(); ++event) {
        if (IsWindowEvent(*event, windowId, SDL_WINDOWEVENT_SIZE_CHANGED)) {
            return MAKELPARAM(event->window.data1, event->window.data2);
        }
    }
    int width = 0, height = 0;
    platform::detail::ClientSize(window, &width, &height);
    return MAKELPARAM(width, height);
}

void OnStateChange(HWND window, WindowRecord* record, UINT kind, const Batch& batch) {
    EndDrag(window, record);
    record->hadStateChange = true;
    record->lastStateKind = kind;
    record->lastStateTicks = SDL_GetTicks64();
    const LPARAM size = kind == SIZE_MINIMIZED ? 0 : LatestSize(batch, window, record->sdlId);
    Post(window, WM_SIZE, kind, size);
}

bool IsExpectedSize(WindowRecord* record, const SDL_WindowEvent& event) {
    return record->expectingSize && event.data1 == record->expectedWidth && event.data2 == record->expectedHeight;
}

bool FollowsStateChange(const WindowRecord* record) {
    return record->hadStateChange && SDL_GetTicks64() - record->lastStateTicks < kStateSettleMs;
}

void OnSizeChanged(HWND window, WindowRecord* record, const SDL_WindowEvent& event, const Batch& batch) {
    if (IsExpectedSize(record, event)) {
        record->expectingSize = false;
        return;
    }
    // A size change alongside a state change is already in that state's WM_SIZE.
    if (HasStateEvent(batch, record->sdlId)) return;
    const LPARAM size = MAKELPARAM(event.data1, event.data2);
    const Uint32 flags = SDL_GetWindowFlags(record->sdl);
    if (flags & SDL_WINDOW_MINIMIZED) return;
    if (flags & SDL_WINDOW_MAXIMIZED) {
        Post(window, WM_SIZE, SIZE_MAXIMIZED, size);
        return;
    }
    if (FollowsStateChange(record)) {
        if (record->lastStateKind != SIZE_MINIMIZED) Post(window, WM_SIZE, record->lastStateKind, size);
        return;
    }
    if (!record->dragging) {
        record->dragging = true;
        Post(window, WM_ENTERSIZEMOVE, 0, 0);
    }
    record->lastDragChange = CounterNow();
    Post(window, WM_SIZE, SIZE_RESTORED, size);
}

UINT SizeKindOf(Uint8 stateEvent) {
    if (stateEvent == SDL_WINDOWEVENT_MINIMIZED) return SIZE_MINIMIZED;
    return stateEvent == SDL_WINDOWEVENT_MAXIMIZED ? SIZE_MAXIMIZED : SIZE_RESTORED;
}

void TranslateWindowEvent(const SDL_WindowEvent& event, const Batch& batch) {
    HWND window = platform::detail::FindBySdlId(event.windowID);
    WindowRecord* record = Lookup(window);
    if (!record || platform::detail::SwallowsWindowEvent(record, event)) return;
    switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST:
        Post(window, WM_ACTIVATE, event.event == SDL_WINDOWEVENT_FOCUS_GAINED ? WA_ACTIVE : WA_INACTIVE, 0);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED:
        OnStateChange(window, record, SizeKindOf(event.event), batch);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        OnSizeChanged(window, record, event, batch);
        break;
    case SDL_WINDOWEVENT_CLOSE:
        Post(window, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

WPARAM MouseFlags(Uint32 buttons) {
    WPARAM flags = 0;
    if (buttons & SDL_BUTTON_LMASK) flags |= MK_LBUTTON;
    if (buttons & SDL_BUTTON_MMASK) flags |= MK_MBUTTON;
    if (buttons & SDL_BUTTON_RMASK) flags |= MK_RBUTTON;
    const SDL_Keymod modifiers = SDL_GetModState();
    if (modifiers & KMOD_SHIFT) flags |= MK_SHIFT;
    if (modifiers & KMOD_CTRL) flags |= MK_CONTROL;
    return flags;
}

UINT ButtonMessage(Uint8 button, bool down) {
    switch (button) {
    case SDL_BUTTON_LEFT:
        return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case SDL_BUTTON_MIDDLE:
        return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    case SDL_BUTTON_RIGHT:
        return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    default:
        return 0;
    }
}

// Over the bars of a fullscreen picture the pointer is outside the client area, which hears of it only while it
// has the capture, as on Windows.
void PostMouse(Uint32 windowId, UINT message, Sint32 x, Sint32 y) {
    HWND window = platform::detail::FindBySdlId(windowId);
    WindowRecord* record = Lookup(window);
    if (!record) return;
    int left = 0, top = 0;
    SDL_GetWindowPosition(record->sdl, &left, &top);
    lastCursor = {left + x, top + y};
    POINT client = {};
    const bool inside = platform::detail::WindowToClient(record, x, y, &client);
    if (!inside && GetCapture() != window) return;
    if (inside) platform::detail::FollowMouse(window, client);
    Post(window, message, MouseFlags(heldButtons), MAKELPARAM(client.x, client.y));
}

void TranslateButton(const SDL_MouseButtonEvent& event) {
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    const UINT message = ButtonMessage(event.button, down);
    if (!message) return;
    if (down) {
        heldButtons |= SDL_BUTTON(event.button);
    } else {
        heldButtons &= ~SDL_BUTTON(event.button);
    }
    PostMouse(event.windowID, message, event.x, event.y);
}

void TranslateMotion(const SDL_MouseMotionEvent& event) {
    heldButtons = event.state;
    PostMouse(event.windowID, WM_MOUSEMOVE, event.x, event.y);
}

// Windows gives the wheel's turn in the high word of wParam, in 120ths of a notch, and the pointer in screen
// coordinates.
void TranslateWheel(const SDL_MouseWheelEvent& event) {
    HWND window = platform::detail::FindBySdlId(event.windowID);
    if (!window || event.y == 0) return;
    const int notches = event.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.y : event.y;
    Post(window, WM_MOUSEWHEEL, MAKEWPARAM(MouseFlags(heldButtons), notches * WHEEL_DELTA),
         MAKELPARAM(lastCursor.x, lastCursor.y));
}

void TranslateKey(const SDL_KeyboardEvent& event) {
    HWND window = platform::detail::FindBySdlId(event.windowID);
    if (window && platform::detail::IsFullscreenKey(event) && platform::detail::ToggleFullscreen(window)) return;
    const int virtualKey = platform::detail::VirtualKeyFromScancode(event.keysym.scancode);
    if (!window || !virtualKey) return;
    // lParam: repeat count 1, bit 30 = key was down before, bit 31 = released.
    const bool down = event.type == SDL_KEYDOWN;
    DWORD flags = 1;
    if (event.repeat || !down) flags |= 1u << 30;
    if (!down) flags |= 1u << 31;
    Post(window, down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(virtualKey), static_cast<LPARAM>(flags));
}

void Translate(const SDL_Event& event, const Batch& batch) {
    switch (event.type) {
    case SDL_WINDOWEVENT:
        TranslateWindowEvent(event.window, batch);
        break;
    case SDL_QUIT:
        for (HWND window : platform::detail::AllWindows()) Post(window, WM_CLOSE, 0, 0);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        TranslateButton(event.button);
        break;
    case SDL_MOUSEMOTION:
        TranslateMotion(event.motion);
        break;
    case SDL_MOUSEWHEEL:
        TranslateWheel(event.wheel);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        TranslateKey(event.key);
        break;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        platform::detail::TranslateGamepadEvent(event);
        break;
    default:
        break;
    }
}

Batch DrainSdlEvents() {
    Batch batch;
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return batch;
    SDL_PumpEvents();
    SDL_Event buffer[64];
    int count = 0;
    while ((count = SDL_PeepEvents(buffer, 64, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT)) > 0) {
        batch.insert(batch.end(), buffer, buffer + count);
    }
    return batch;
}

void CloseOnSignal() {
    if (!platform::detail::TakeCloseSignal()) return;
    for (HWND window : platform::detail::AllWindows()) Post(window, WM_CLOSE, 0, 0);
}

void PumpSdl() {
    CloseOnSignal();
    // Before the drain, so that the events of this update are in this batch.
    platform::detail::UpdateGamepads();
    const Batch batch = DrainSdlEvents();
    for (const SDL_Event& event : batch) Translate(event, batch);
    platform::detail::FinishLeavingFullscreen();
    // The event a programmatic resize causes is queued before it returns, so it is in this batch or never.
    for (HWND window : platform::detail::AllWindows()) {
        if (WindowRecord* record = Lookup(window)) record->expectingSize = false;
    }
}

void WaitForEvents() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_WaitEventTimeout(nullptr, 50);
        return;
    }
    Sleep(10);
}

bool IsUsableFilter(HWND window) { return !window || window == kThreadMessagesOnly || Lookup(window); }

}  // namespace

namespace platform::detail {

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const MSG msg = {window, message, wParam, lParam, GetTickCount(), lastCursor};
    std::lock_guard<std::mutex> lock(queueMutex);
    queue.push_back(msg);
}

void DiscardMessagesFor(HWND window) {
    std::lock_guard<std::mutex> lock(queueMutex);
    queue.erase(std::remove_if(queue.begin(), queue.end(), [&](const MSG& msg) { return msg.hwnd == window; }),
                queue.end());
}

}  // namespace platform::detail

BOOL PeekMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (!msg) return FALSE;
    PumpSdl();
    const bool remove = (removeFlags & PM_REMOVE) != 0;
    if (Take(msg, window, filterMin, filterMax, remove)) return TRUE;
    if (!PostDragEnds()) return FALSE;
    return Take(msg, window, filterMin, filterMax, remove) ? TRUE : FALSE;
}

BOOL GetMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    if (!msg) {
        platform::detail::SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return -1;
    }
    for (;;) {
        // A window filter that goes away while waiting would otherwise block forever.
        if (!IsUsableFilter(window)) {
            platform::detail::SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
            return -1;
        }
        if (PeekMessageW(msg, window, filterMin, filterMax, PM_REMOVE)) return msg->message == WM_QUIT ? FALSE : TRUE;
        WaitForEvents();
    }
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageW(const MSG* msg) {
    if (!msg || !msg->hwnd) return 0;
    return platform::detail::CallProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) DestroyWindow(window);
    return 0;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return platform::detail::CallProcedure(window, message, wParam, lParam);
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window && !Lookup(window)) {
        platform::detail::SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    Post(window, message, wParam, lParam);
    return TRUE;
}

void PostQuitMessage(int exitCode) { Post(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0); }
