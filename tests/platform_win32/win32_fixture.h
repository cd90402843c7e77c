// A window whose procedure records every message it receives, and helpers to feed it SDL events.
#pragma once
#include <gtest/gtest.h>
#include <vector>
#include "platform_hooks.h"
#include "platform_sdl.h"
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
    static const bool registered = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.lpszClassName = L"Win32TestRecording";
        return RegisterClassW(&windowClass) != 0;
    }();
    EXPECT_TRUE(registered);
    return L"Win32TestRecording";
}

// A window with a 1024 x 768 client area, made the way the game makes its window.
inline HWND MakeWindow() {
    RECT rect = {0, 0, 1024, 768};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    return CreateWindowExW(0, RecordingClass(), L"Test", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                           rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, nullptr, nullptr);
}

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

inline void PushWindowEvent(HWND window, SDL_WindowEventID kind, int data1 = 0, int data2 = 0) {
    SDL_Event event = {};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SdlId(window);
    event.window.event = kind;
    event.window.data1 = data1;
    event.window.data2 = data2;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
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
