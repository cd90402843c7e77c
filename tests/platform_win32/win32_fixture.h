// A window whose procedure records every message it receives, and helpers to feed it SDL events.
#pragma once
#include <gtest/gtest.h>
#include <vector>
#include "platform_hooks.h"
#include "platform_sdl.h"
#include "test_window.h"
#include "windows.h"

namespace win32_test {

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

inline std::vector<Received> received;
inline POINT minTrackSize = {0, 0};  // {0, 0}: leave the default

inline LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back({message, wParam, lParam});
    if (message == WM_GETMINMAXINFO && minTrackSize.x) {
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = minTrackSize;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

inline const wchar_t* RecordingClass() {
    static const bool registered = RegisterTestClass(L"Win32TestRecording", RecordingProc);
    EXPECT_TRUE(registered);
    return L"Win32TestRecording";
}

// A window with a 1024 x 768 client area, made the way the game makes its window.
inline HWND MakeWindow() { return MakeTestWindow(RecordingClass(), 1024, 768); }

// Removes and dispatches everything queued; returns what was retrieved.
inline std::vector<MSG> PumpAll() {
    std::vector<MSG> messages;
    MSG msg = {};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        messages.push_back(msg);
        DispatchMessageW(&msg);
    }
    return messages;
}

inline std::vector<UINT> Kinds(const std::vector<MSG>& messages) {
    std::vector<UINT> kinds;
    for (const MSG& msg : messages) kinds.push_back(msg.message);
    return kinds;
}

inline std::vector<UINT> ReceivedKinds() {
    std::vector<UINT> kinds;
    for (const Received& r : received) kinds.push_back(r.message);
    return kinds;
}

inline Uint32 SdlId(HWND window) { return SDL_GetWindowID(platform::SdlWindowOf(window)); }

// Queues the event for the window, as SDL's video driver would. Every window event of SDL keeps its window's id in
// the same place, so one member names it for all of them.
inline void Push(HWND window, SDL_Event event) {
    event.window.windowID = SdlId(window);
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

inline void PushWindowEvent(HWND window, SDL_WindowEventID kind, int data1 = 0, int data2 = 0) {
    SDL_Event event = {SDL_WINDOWEVENT};
    event.window.event = kind;
    event.window.data1 = data1;
    event.window.data2 = data2;
    Push(window, event);
}

inline void PushButton(HWND window, Uint32 type, Uint8 button, int x, int y) {
    SDL_Event event = {type};
    event.button.button = button;
    event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.button.x = x;
    event.button.y = y;
    Push(window, event);
}

inline void PushMotion(HWND window, Uint32 buttons, int x, int y) {
    SDL_Event event = {SDL_MOUSEMOTION};
    event.motion.state = buttons;
    event.motion.x = x;
    event.motion.y = y;
    Push(window, event);
}

inline void PushWheel(HWND window, int notches, bool flipped) {
    SDL_Event event = {SDL_MOUSEWHEEL};
    event.wheel.y = notches;
    event.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
    Push(window, event);
}

inline void PushKey(HWND window, Uint32 type, SDL_Scancode scancode, Uint16 modifiers = KMOD_NONE) {
    SDL_Event event = {type};
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    event.key.keysym.mod = modifiers;
    Push(window, event);
}

class Win32Window : public ::testing::Test {
protected:
    void SetUp() override {
        received.clear();
        window = MakeWindow();
        ASSERT_NE(window, nullptr);
        creation = received;
        PumpAll();
        received.clear();
    }

    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
        PumpAll();
        minTrackSize = {0, 0};
        platform::SetCounterSource(nullptr, 0);
        platform::SetKeySource(nullptr);
        platform::SetMessageBoxHook(nullptr);
    }

    HWND window = nullptr;
    std::vector<Received> creation;
};

}  // namespace win32_test
