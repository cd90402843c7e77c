// D3DX11: texture loading from image files. Effect-file compilation is the effects framework's (d3dx11async.h).
#pragma once
#include "d3d11.h"

#define D3DX11_DEFAULT ((UINT)-1)
#define D3DX11_FROM_FILE ((UINT)-3)
#define DXGI_FORMAT_FROM_FILE ((DXGI_FORMAT)-3)

enum D3DX11_FILTER_FLAG {
    D3DX11_FILTER_NONE = (1 << 0),
    D3DX11_FILTER_POINT = (2 << 0),
    D3DX11_FILTER_LINEAR = (3 << 0),
    D3DX11_FILTER_TRIANGLE = (4 << 0),
    D3DX11_FILTER_BOX = (5 << 0),
    D3DX11_FILTER_MIRROR_U = (1 << 16),
    D3DX11_FILTER_MIRROR_V = (2 << 16),
    D3DX11_FILTER_MIRROR_W = (4 << 16),
    D3DX11_FILTER_MIRROR = (7 << 16),
    D3DX11_FILTER_DITHER = (1 << 19),
    D3DX11_FILTER_DITHER_DIFFUSION = (2 << 19),
    D3DX11_FILTER_SRGB_IN = (1 << 21),
    D3DX11_FILTER_SRGB_OUT = (2 << 21),
    D3DX11_FILTER_SRGB = (3 << 21),
};

enum D3DX11_IMAGE_FILE_FORMAT {
    D3DX11_IFF_BMP = 0,
    D3DX11_IFF_JPG = 1,
    D3DX11_IFF_PNG = 3,
    D3DX11_IFF_DDS = 4,
    D3DX11_IFF_TIFF = 10,
    D3DX11_IFF_GIF = 11,
    D3DX11_IFF_WMP = 12,
};

struct D3DX11_IMAGE_INFO {
    UINT Width;
    UINT Height;
    UINT Depth;
    UINT ArraySize;
    UINT MipLevels;
    UINT MiscFlags;
    DXGI_FORMAT Format;
    D3D11_RESOURCE_DIMENSION ResourceDimension;
    D3DX11_IMAGE_FILE_FORMAT ImageFileFormat;
};

// Every field defaults to "decide from the file": the image's size, RGBA 8-bit, a full mip chain.
struct D3DX11_IMAGE_LOAD_INFO {
    UINT Width = D3DX11_DEFAULT;
    UINT Height = D3DX11_DEFAULT;
    UINT Depth = D3DX11_DEFAULT;
    UINT FirstMipLevel = D3DX11_DEFAULT;
    UINT MipLevels = D3DX11_DEFAULT;
    D3D11_USAGE Usage = (D3D11_USAGE)D3DX11_DEFAULT;
    UINT BindFlags = D3DX11_DEFAULT;
    UINT CpuAccessFlags = D3DX11_DEFAULT;
    UINT MiscFlags = D3DX11_DEFAULT;
    DXGI_FORMAT Format = DXGI_FORMAT_FROM_FILE;
    UINT Filter = D3DX11_DEFAULT;
    UINT MipFilter = D3DX11_DEFAULT;
    D3DX11_IMAGE_INFO* pSrcInfo = nullptr;
};

struct ID3DX11ThreadPump;

HRESULT D3DX11CreateShaderResourceViewFromFileW(ID3D11Device* device, LPCWSTR srcFile, D3DX11_IMAGE_LOAD_INFO* loadInfo,
                                                ID3DX11ThreadPump* pump, ID3D11ShaderResourceView** shaderResourceView,
                                                HRESULT* hResult);
#define D3DX11CreateShaderResourceViewFromFile D3DX11CreateShaderResourceViewFromFileW

HRESULT D3DX11CreateTextureFromFileW(ID3D11Device* device, LPCWSTR srcFile, D3DX11_IMAGE_LOAD_INFO* loadInfo,
                                     ID3DX11ThreadPump* pump, ID3D11Resource** texture, HRESULT* hResult);
#define D3DX11CreateTextureFromFile D3DX11CreateTextureFromFileW
