// Debugger output, DebugBreak and the thread's last error.
#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>
#include "platform_hooks.h"
#include "platform_text.h"
#include "window_internal.h"

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;
platform::DebugOutputHook debugOutputHook;

void Emit(const std::wstring& wide, const std::string& utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
    std::fflush(stderr);
    if (debugOutputHook) debugOutputHook(wide);
}

// A tracer (gdb, lldb, strace) shows as a non-zero TracerPid.
bool HasTracer() {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = "TracerPid:";
    while (std::getline(status, line)) {
        if (line.compare(0, key.size(), key) == 0) return std::stol(line.substr(key.size())) != 0;
    }
    return false;
}

}  // namespace

namespace platform {

void SetDebugOutputHook(DebugOutputHook hook) { debugOutputHook = std::move(hook); }

}  // namespace platform

namespace platform::detail {

void SetLastErrorCode(DWORD code) { lastError = code; }

}  // namespace platform::detail

DWORD GetLastError() { return lastError; }

void OutputDebugStringW(LPCWSTR text) {
    if (!text) return;
    const std::wstring wide = text;
    Emit(wide, platform::ToUtf8(wide));
}

void OutputDebugStringA(LPCSTR text) {
    if (!text) return;
    const std::string utf8 = text;
    Emit(platform::FromUtf8(utf8), utf8);
}

BOOL IsDebuggerPresent() { return HasTracer() ? TRUE : FALSE; }

void DebugBreak() {
    if (HasTracer()) {
        std::raise(SIGTRAP);
        return;
    }
    std::fputs("DebugBreak: no debugger attached, continuing\n", stderr);
}
