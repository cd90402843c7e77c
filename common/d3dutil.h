#pragma once
#include <d3d11.h>
#include <d3dx11.h>

#include <string>
#include <vector>

// Releases a COM object and clears the pointer that held it; a null pointer is left alone.
template <class T>
void ReleaseAndClear(T*& object) {
    if (!object) return;
    object->Release();
    object = nullptr;
}

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

// A D24S8 depth-stencil texture of the given size and sampling, default usage.
D3D11_TEXTURE2D_DESC DepthStencilDesc(UINT width, UINT height, DXGI_SAMPLE_DESC sampling);

// A viewport over the whole of a width x height target, depths 0 to 1.
D3D11_VIEWPORT FullViewport(UINT width, UINT height);

// An RGBA 8-bit colour target no window shows, with a depth-stencil target of the same size when asked: what the
// game draws to when it runs headless, and what drawing tests read back.
class OffscreenTarget {
public:
    OffscreenTarget() = default;
    ~OffscreenTarget();
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;

    // False, after releasing what it made, when the device refuses a texture or view.
    bool Create(ID3D11Device* device, UINT width, UINT height, bool withDepth);
    // Makes the targets the context's render targets, with a viewport over the whole.
    void Bind(ID3D11DeviceContext* context);
    // Lets the targets go, before their device is (the destructor does it too).
    void Release();

    ID3D11Texture2D* Texture() const { return mTexture; }
    ID3D11RenderTargetView* View() const { return mView; }
    ID3D11DepthStencilView* DepthView() const { return mDepthView; }

private:
    UINT mWidth = 0;
    UINT mHeight = 0;
    ID3D11Texture2D* mTexture = nullptr;
    ID3D11RenderTargetView* mView = nullptr;
    ID3D11Texture2D* mDepthBuffer = nullptr;
    ID3D11DepthStencilView* mDepthView = nullptr;
};
