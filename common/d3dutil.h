#pragma once
#include <d3d11.h>
#include <d3dx11.h>

#include <string>
#include <vector>

// A uniformly distributed number in [0, 1].
float RandF();
// A uniformly distributed number in [a, b].
float RandF(float a, float b);

// A 2-D texture array with one slice per image file; every file must give the same size, format and mip count.
// Returns null, after a report, when the list is empty or a file does not load or does not match the first.
ID3D11ShaderResourceView* CreateTexture2DArraySRV(ID3D11Device* device, ID3D11DeviceContext* context,
                                                  const std::vector<std::wstring>& filenames,
                                                  DXGI_FORMAT format = DXGI_FORMAT_FROM_FILE,
                                                  UINT filter = D3DX11_FILTER_NONE,
                                                  UINT mipFilter = D3DX11_FILTER_LINEAR);

// A 1024-texel 1-D texture of four-float vectors with components drawn from RandF(-1, 1).
ID3D11ShaderResourceView* CreateRandomTexture1DSRV(ID3D11Device* device);
