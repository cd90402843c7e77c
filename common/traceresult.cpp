#include "traceresult.h"

#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cwchar>

namespace {

struct NamedResult {
    HRESULT code;
    const wchar_t* name;
};

// Every code the platform headers define, by the name they define it under.
const NamedResult kResultNames[] = {
    {S_OK, L"S_OK"},
    {S_FALSE, L"S_FALSE"},
    {E_NOTIMPL, L"E_NOTIMPL"},
    {E_NOINTERFACE, L"E_NOINTERFACE"},
    {E_POINTER, L"E_POINTER"},
    {E_ABORT, L"E_ABORT"},
    {E_FAIL, L"E_FAIL"},
    {E_UNEXPECTED, L"E_UNEXPECTED"},
    {E_ACCESSDENIED, L"E_ACCESSDENIED"},
    {E_HANDLE, L"E_HANDLE"},
    {E_OUTOFMEMORY, L"E_OUTOFMEMORY"},
    {E_INVALIDARG, L"E_INVALIDARG"},
    {E_PENDING, L"E_PENDING"},
    {DXGI_STATUS_OCCLUDED, L"DXGI_STATUS_OCCLUDED"},
    {DXGI_STATUS_CLIPPED, L"DXGI_STATUS_CLIPPED"},
    {DXGI_STATUS_NO_REDIRECTION, L"DXGI_STATUS_NO_REDIRECTION"},
    {DXGI_STATUS_NO_DESKTOP_ACCESS, L"DXGI_STATUS_NO_DESKTOP_ACCESS"},
    {DXGI_STATUS_GRAPHICS_VIDPN_SOURCE_IN_USE, L"DXGI_STATUS_GRAPHICS_VIDPN_SOURCE_IN_USE"},
    {DXGI_STATUS_MODE_CHANGED, L"DXGI_STATUS_MODE_CHANGED"},
    {DXGI_STATUS_MODE_CHANGE_IN_PROGRESS, L"DXGI_STATUS_MODE_CHANGE_IN_PROGRESS"},
    {DXGI_ERROR_INVALID_CALL, L"DXGI_ERROR_INVALID_CALL"},
    {DXGI_ERROR_NOT_FOUND, L"DXGI_ERROR_NOT_FOUND"},
    {DXGI_ERROR_MORE_DATA, L"DXGI_ERROR_MORE_DATA"},
    {DXGI_ERROR_UNSUPPORTED, L"DXGI_ERROR_UNSUPPORTED"},
    {DXGI_ERROR_DEVICE_REMOVED, L"DXGI_ERROR_DEVICE_REMOVED"},
    {DXGI_ERROR_DEVICE_HUNG, L"DXGI_ERROR_DEVICE_HUNG"},
    {DXGI_ERROR_DEVICE_RESET, L"DXGI_ERROR_DEVICE_RESET"},
    {DXGI_ERROR_WAS_STILL_DRAWING, L"DXGI_ERROR_WAS_STILL_DRAWING"},
    {DXGI_ERROR_FRAME_STATISTICS_DISJOINT, L"DXGI_ERROR_FRAME_STATISTICS_DISJOINT"},
    {DXGI_ERROR_GRAPHICS_VIDPN_SOURCE_IN_USE, L"DXGI_ERROR_GRAPHICS_VIDPN_SOURCE_IN_USE"},
    {DXGI_ERROR_DRIVER_INTERNAL_ERROR, L"DXGI_ERROR_DRIVER_INTERNAL_ERROR"},
    {DXGI_ERROR_NONEXCLUSIVE, L"DXGI_ERROR_NONEXCLUSIVE"},
    {DXGI_ERROR_NOT_CURRENTLY_AVAILABLE, L"DXGI_ERROR_NOT_CURRENTLY_AVAILABLE"},
    {DXGI_ERROR_REMOTE_CLIENT_DISCONNECTED, L"DXGI_ERROR_REMOTE_CLIENT_DISCONNECTED"},
    {DXGI_ERROR_REMOTE_OUTOFMEMORY, L"DXGI_ERROR_REMOTE_OUTOFMEMORY"},
    {D3D11_ERROR_TOO_MANY_UNIQUE_STATE_OBJECTS, L"D3D11_ERROR_TOO_MANY_UNIQUE_STATE_OBJECTS"},
    {D3D11_ERROR_FILE_NOT_FOUND, L"D3D11_ERROR_FILE_NOT_FOUND"},
    {D3D11_ERROR_TOO_MANY_UNIQUE_VIEW_OBJECTS, L"D3D11_ERROR_TOO_MANY_UNIQUE_VIEW_OBJECTS"},
    {D3D11_ERROR_DEFERRED_CONTEXT_MAP_WITHOUT_INITIAL_DISCARD,
     L"D3D11_ERROR_DEFERRED_CONTEXT_MAP_WITHOUT_INITIAL_DISCARD"},
    {D3DERR_INVALIDCALL, L"D3DERR_INVALIDCALL"},
    {D3DERR_WASSTILLDRAWING, L"D3DERR_WASSTILLDRAWING"},
    {D3DXERR_CANNOTMODIFYINDEXBUFFER, L"D3DXERR_CANNOTMODIFYINDEXBUFFER"},
    {D3DXERR_INVALIDMESH, L"D3DXERR_INVALIDMESH"},
    {D3DXERR_CANNOTATTRSORT, L"D3DXERR_CANNOTATTRSORT"},
    {D3DXERR_SKINNINGNOTSUPPORTED, L"D3DXERR_SKINNINGNOTSUPPORTED"},
    {D3DXERR_TOOMANYINFLUENCES, L"D3DXERR_TOOMANYINFLUENCES"},
    {D3DXERR_INVALIDDATA, L"D3DXERR_INVALIDDATA"},
    {D3DXERR_LOADEDMESHASNODATA, L"D3DXERR_LOADEDMESHASNODATA"},
    {D3DXERR_DUPLICATENAMEDFRAGMENT, L"D3DXERR_DUPLICATENAMEDFRAGMENT"},
    {D3DXERR_CANNOTREMOVELASTITEM, L"D3DXERR_CANNOTREMOVELASTITEM"},
    {HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), L"HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)"},
    {HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), L"HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)"},
    {HRESULT_FROM_WIN32(ERROR_INVALID_DATA), L"HRESULT_FROM_WIN32(ERROR_INVALID_DATA)"},
    {HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED), L"HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED)"},
    {HRESULT_FROM_WIN32(ERROR_CLASS_ALREADY_EXISTS), L"HRESULT_FROM_WIN32(ERROR_CLASS_ALREADY_EXISTS)"},
    {HRESULT_FROM_WIN32(ERROR_INVALID_WINDOW_HANDLE), L"HRESULT_FROM_WIN32(ERROR_INVALID_WINDOW_HANDLE)"},
};

// swprintf leaves a buffer it overflows unterminated: the text is cut to fit and always terminated.
template <size_t N>
void Format(wchar_t (&buffer)[N], const wchar_t* format, ...) {
    std::fill(buffer, buffer + N, L'\0');
    va_list args;
    va_start(args, format);
    vswprintf(buffer, N, format, args);
    va_end(args);
    buffer[N - 1] = L'\0';
}

}  // namespace

const wchar_t* ResultName(HRESULT hr) {
    for (const NamedResult& entry : kResultNames) {
        if (entry.code == hr) return entry.name;
    }
    return L"Unknown";
}

HRESULT TraceResult(const char* file, DWORD line, HRESULT hr, const wchar_t* expression, bool showBox) {
    wchar_t lineText[128];
    Format(lineText, L"%ld", static_cast<long>(line));

    // Windows' wide formats read %S as a narrow and %s as a wide string; glibc's read %s and %ls.
    if (file) {
        wchar_t location[3000];
        Format(location, L"%s(%ls): ", file, lineText);
        OutputDebugStringW(location);
    }

    const bool hasExpression = expression && wcsnlen(expression, 1024) > 0;
    if (hasExpression) {
        OutputDebugStringW(expression);
        OutputDebugStringW(L" ");
    }

    wchar_t codeText[256];
    Format(codeText, L"%ls (0x%0.8x)", ResultName(hr), static_cast<unsigned>(hr));
    wchar_t codeLine[300];
    Format(codeLine, L"hr=%ls\n", codeText);
    OutputDebugStringW(codeLine);

    if (!showBox) return hr;

    wchar_t calling[1100] = L"";
    if (hasExpression) Format(calling, L"Calling: %ls\n", expression);

    wchar_t fileName[261] = L"";
    if (file) Format(fileName, L"%s", file);

    wchar_t message[4096];
    Format(message, L"File: %ls\nLine: %ls\nError Code: %ls\n%lsDo you want to debug the application?", fileName,
           lineText, codeText, calling);
    if (MessageBoxW(GetForegroundWindow(), message, L"Unexpected error encountered", MB_ICONERROR | MB_YESNO) ==
        IDYES) {
        DebugBreak();
    }
    return hr;
}
