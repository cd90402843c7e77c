// The few platform calls the OBJ and material readers make, without a display: the fuzzer passes no device, so no
// texture may ever be created.
#include <d3dx11.h>
#include <traceresult.h>
#include <windows.h>

void OutputDebugStringW(LPCWSTR) {}

HRESULT D3DX11CreateShaderResourceViewFromFileW(ID3D11Device*, LPCWSTR, D3DX11_IMAGE_LOAD_INFO*, ID3DX11ThreadPump*,
                                                ID3D11ShaderResourceView**, HRESULT*) {
    __builtin_trap();
}

HRESULT TraceResult(const char*, DWORD, HRESULT hr, const wchar_t*, bool) { return hr; }
