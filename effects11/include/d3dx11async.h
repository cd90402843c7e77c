// D3DX11's effect-file compilation, as far as this project implements it (effects11/src/d3dx11_compile.cpp).
#pragma once
#include "d3dcommon.h"
#include "d3dx11.h"

struct D3D10_SHADER_MACRO {
    LPCSTR Name;
    LPCSTR Definition;
};
typedef D3D10_SHADER_MACRO* LPD3D10_SHADER_MACRO;

enum D3D10_INCLUDE_TYPE {
    D3D10_INCLUDE_LOCAL = 0,
    D3D10_INCLUDE_SYSTEM = 1,
};

struct ID3D10Include {
    virtual HRESULT Open(D3D10_INCLUDE_TYPE includeType, LPCSTR fileName, LPCVOID parentData, LPCVOID* data,
                         UINT* bytes) = 0;
    virtual HRESULT Close(LPCVOID data) = 0;

protected:
    ~ID3D10Include() = default;
};
typedef ID3D10Include* LPD3D10INCLUDE;

#define D3D10_SHADER_DEBUG (1 << 0)
#define D3D10_SHADER_SKIP_VALIDATION (1 << 1)
#define D3D10_SHADER_SKIP_OPTIMIZATION (1 << 2)
#define D3D10_SHADER_PACK_MATRIX_ROW_MAJOR (1 << 3)
#define D3D10_SHADER_PACK_MATRIX_COLUMN_MAJOR (1 << 4)
#define D3D10_SHADER_PARTIAL_PRECISION (1 << 5)
#define D3D10_SHADER_FORCE_VS_SOFTWARE_NO_OPT (1 << 6)
#define D3D10_SHADER_FORCE_PS_SOFTWARE_NO_OPT (1 << 7)
#define D3D10_SHADER_NO_PRESHADER (1 << 8)
#define D3D10_SHADER_AVOID_FLOW_CONTROL (1 << 9)
#define D3D10_SHADER_PREFER_FLOW_CONTROL (1 << 10)
#define D3D10_SHADER_ENABLE_STRICTNESS (1 << 11)
#define D3D10_SHADER_ENABLE_BACKWARDS_COMPATIBILITY (1 << 12)
#define D3D10_SHADER_IEEE_STRICTNESS (1 << 13)
#define D3D10_SHADER_OPTIMIZATION_LEVEL0 (1 << 14)
#define D3D10_SHADER_OPTIMIZATION_LEVEL1 0
#define D3D10_SHADER_OPTIMIZATION_LEVEL2 ((1 << 14) | (1 << 15))
#define D3D10_SHADER_OPTIMIZATION_LEVEL3 (1 << 15)
#define D3D10_SHADER_WARNINGS_ARE_ERRORS (1 << 18)

HRESULT D3DX11CompileFromFileW(LPCWSTR srcFile, const D3D10_SHADER_MACRO* defines, LPD3D10INCLUDE include,
                               LPCSTR functionName, LPCSTR profile, UINT flags1, UINT flags2, ID3DX11ThreadPump* pump,
                               ID3D10Blob** shader, ID3D10Blob** errorMsgs, HRESULT* hResult);
#define D3DX11CompileFromFile D3DX11CompileFromFileW
