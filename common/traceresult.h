#pragma once
#include <windows.h>

// The symbolic name of a result code, or "Unknown".
const wchar_t* ResultName(HRESULT hr);

// Writes where and why a call failed to the debugger output and, with showBox, offers to break into the debugger.
// Returns hr unchanged.
HRESULT TraceResult(const char* file, DWORD line, HRESULT hr, const wchar_t* expression, bool showBox);

// The file name part of a source path, so traces read "game.cpp(42): " wherever the tree was built.
constexpr const char* SourceFileName(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '/' || *p == '\\') name = p + 1;
    }
    return name;
}

#define TRACE_WIDEN2(text) L##text
#define TRACE_WIDEN(text) TRACE_WIDEN2(text)

// Checks an HRESULT expression; a failure is traced and shown, and execution carries on.
#define VERIFY_HR(x)                                                                                                  \
    do {                                                                                                              \
        const HRESULT verifyResult = (x);                                                                             \
        if (FAILED(verifyResult)) {                                                                                   \
            TraceResult(SourceFileName(__FILE__), static_cast<DWORD>(__LINE__), verifyResult, TRACE_WIDEN(#x), true); \
        }                                                                                                             \
    } while (0)
