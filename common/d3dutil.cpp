#include "d3dutil.h"

#include <xnamath.h>

#include <cstdlib>

#include "traceresult.h"

namespace {

constexpr UINT kRandomTexels = 1024;

void ReleaseAll(std::vector<ID3D11Texture2D*>& textures) {
    for (ID3D11Texture2D*& texture : textures) {
        if (texture) texture->Release();
        texture = nullptr;
    }
}

bool SameLayout(const D3D11_TEXTURE2D_DESC& a, const D3D11_TEXTURE2D_DESC& b) {
    return a.Width == b.Width && a.Height == b.Height && a.Format == b.Format && a.MipLevels == b.MipLevels;
}

// Copying a slice of another size, format or mip count would read past the mapped rows, so the whole array is refused.
bool AllLoadedAlike(const std::vector<ID3D11Texture2D*>& srcTex, const D3D11_TEXTURE2D_DESC& first) {
    for (ID3D11Texture2D* texture : srcTex) {
        if (!texture) return false;
        D3D11_TEXTURE2D_DESC desc = {};
        texture->GetDesc(&desc);
        if (!SameLayout(desc, first)) return false;
    }
    return true;
}

std::vector<ID3D11Texture2D*> LoadStagingTextures(ID3D11Device* device, const std::vector<std::wstring>& filenames,
                                                  DXGI_FORMAT format, UINT filter, UINT mipFilter) {
    std::vector<ID3D11Texture2D*> srcTex(filenames.size(), nullptr);
    // Each file as it is (size, mips), in memory the CPU can map for CopySlices.
    D3DX11_IMAGE_LOAD_INFO loadInfo = {D3DX11_FROM_FILE,
                                       D3DX11_FROM_FILE,
                                       D3DX11_FROM_FILE,
                                       0,
                                       D3DX11_FROM_FILE,
                                       D3D11_USAGE_STAGING,
                                       0,
                                       D3D11_CPU_ACCESS_WRITE | D3D11_CPU_ACCESS_READ,
                                       0,
                                       format,
                                       filter,
                                       mipFilter,
                                       nullptr};
    for (size_t i = 0; i < filenames.size(); ++i) {
        VERIFY_HR(
            D3DX11CreateTextureFromFile(device, filenames[i].c_str(), &loadInfo, 0, (ID3D11Resource**)&srcTex[i], 0));
    }
    return srcTex;
}

void CopySlices(ID3D11DeviceContext* context, const std::vector<ID3D11Texture2D*>& srcTex, ID3D11Texture2D* texArray,
                UINT mipLevels) {
    for (UINT texElement = 0; texElement < srcTex.size(); ++texElement) {
        for (UINT mipLevel = 0; mipLevel < mipLevels; ++mipLevel) {
            D3D11_MAPPED_SUBRESOURCE mappedTex2D = {};
            VERIFY_HR(context->Map(srcTex[texElement], mipLevel, D3D11_MAP_READ, 0, &mappedTex2D));
            if (!mappedTex2D.pData) continue;
            context->UpdateSubresource(texArray, D3D11CalcSubresource(mipLevel, texElement, mipLevels), 0,
                                       mappedTex2D.pData, mappedTex2D.RowPitch, mappedTex2D.DepthPitch);
            context->Unmap(srcTex[texElement], mipLevel);
        }
    }
}

ID3D11ShaderResourceView* CreateArrayView(ID3D11Device* device, ID3D11Texture2D* texArray,
                                          const D3D11_TEXTURE2D_DESC& texArrayDesc) {
    D3D11_SHADER_RESOURCE_VIEW_DESC viewDesc = {};
    viewDesc.Format = texArrayDesc.Format;
    viewDesc.ViewDimension = D3D11_SRV_DIMENSION_TEXTURE2DARRAY;
    viewDesc.Texture2DArray.MostDetailedMip = 0;
    viewDesc.Texture2DArray.MipLevels = texArrayDesc.MipLevels;
    viewDesc.Texture2DArray.FirstArraySlice = 0;
    viewDesc.Texture2DArray.ArraySize = texArrayDesc.ArraySize;

    ID3D11ShaderResourceView* texArraySRV = nullptr;
    VERIFY_HR(device->CreateShaderResourceView(texArray, &viewDesc, &texArraySRV));
    return texArraySRV;
}

}  // namespace

// glibc's RAND_MAX is 2147483647, so the divisor must be RAND_MAX rather than 32767 to stay within [0, 1].
float RandF() { return static_cast<float>(std::rand() / static_cast<double>(RAND_MAX)); }

float RandF(float a, float b) { return a + RandF() * (b - a); }

ID3D11ShaderResourceView* CreateTexture2DArraySRV(ID3D11Device* device, ID3D11DeviceContext* context,
                                                  const std::vector<std::wstring>& filenames, DXGI_FORMAT format,
                                                  UINT filter, UINT mipFilter) {
    if (filenames.empty()) {
        OutputDebugStringW(L"d3dutil: CreateTexture2DArraySRV needs at least one file.\n");
        return nullptr;
    }
    std::vector<ID3D11Texture2D*> srcTex = LoadStagingTextures(device, filenames, format, filter, mipFilter);

    D3D11_TEXTURE2D_DESC texElementDesc = {};
    if (srcTex[0]) srcTex[0]->GetDesc(&texElementDesc);
    if (!AllLoadedAlike(srcTex, texElementDesc)) {
        OutputDebugStringW(L"d3dutil: texture array files are missing or differ in size, format or mip count.\n");
        ReleaseAll(srcTex);
        return nullptr;
    }

    D3D11_TEXTURE2D_DESC texArrayDesc = {};
    texArrayDesc.Width = texElementDesc.Width;
    texArrayDesc.Height = texElementDesc.Height;
    texArrayDesc.MipLevels = texElementDesc.MipLevels;
    texArrayDesc.ArraySize = static_cast<UINT>(srcTex.size());
    texArrayDesc.Format = texElementDesc.Format;
    texArrayDesc.SampleDesc.Count = 1;
    texArrayDesc.SampleDesc.Quality = 0;
    texArrayDesc.Usage = D3D11_USAGE_DEFAULT;
    texArrayDesc.BindFlags = D3D11_BIND_SHADER_RESOURCE;
    texArrayDesc.CPUAccessFlags = 0;
    texArrayDesc.MiscFlags = 0;

    ID3D11Texture2D* texArray = nullptr;
    // The report quotes the call as written, space included.
    // clang-format off
    VERIFY_HR(device->CreateTexture2D( &texArrayDesc, 0, &texArray));
    // clang-format on
    ID3D11ShaderResourceView* texArraySRV = nullptr;
    if (texArray) {
        CopySlices(context, srcTex, texArray, texElementDesc.MipLevels);
        texArraySRV = CreateArrayView(device, texArray, texArrayDesc);
        texArray->Release();
    }
    ReleaseAll(srcTex);
    return texArraySRV;
}

ID3D11ShaderResourceView* CreateRandomTexture1DSRV(ID3D11Device* device) {
    std::vector<XMFLOAT4> randomValues(kRandomTexels);
    for (XMFLOAT4& value : randomValues) {
        value.x = RandF(-1.0f, 1.0f);
        value.y = RandF(-1.0f, 1.0f);
        value.z = RandF(-1.0f, 1.0f);
        value.w = RandF(-1.0f, 1.0f);
    }

    const D3D11_SUBRESOURCE_DATA initData = {randomValues.data(), kRandomTexels * sizeof(XMFLOAT4), 0};
    const D3D11_TEXTURE1D_DESC texDesc = {
        kRandomTexels, 1, 1, DXGI_FORMAT_R32G32B32A32_FLOAT, D3D11_USAGE_IMMUTABLE, D3D11_BIND_SHADER_RESOURCE, 0, 0};

    ID3D11Texture1D* randomTex = nullptr;
    VERIFY_HR(device->CreateTexture1D(&texDesc, &initData, &randomTex));
    if (!randomTex) return nullptr;

    D3D11_SHADER_RESOURCE_VIEW_DESC viewDesc = {};
    viewDesc.Format = texDesc.Format;
    viewDesc.ViewDimension = D3D11_SRV_DIMENSION_TEXTURE1D;
    viewDesc.Texture1D.MipLevels = texDesc.MipLevels;
    viewDesc.Texture1D.MostDetailedMip = 0;

    ID3D11ShaderResourceView* randomTexSRV = nullptr;
    VERIFY_HR(device->CreateShaderResourceView(randomTex, &viewDesc, &randomTexSRV));
    randomTex->Release();
    return randomTexSRV;
}

D3D11_TEXTURE2D_DESC DepthStencilDesc(UINT width, UINT height, DXGI_SAMPLE_DESC sampling) {
    return {width, height, 1, 1, DXGI_FORMAT_D24_UNORM_S8_UINT, sampling, D3D11_USAGE_DEFAULT, D3D11_BIND_DEPTH_STENCIL,
            0,     0};
}

namespace {

// A D24S8 depth-stencil buffer of the given size and sampling, and its view. On failure both stay null.
HRESULT CreateDepthStencil(ID3D11Device* device, UINT width, UINT height, DXGI_SAMPLE_DESC sampling,
                           ID3D11Texture2D** buffer, ID3D11DepthStencilView** view) {
    const D3D11_TEXTURE2D_DESC desc = DepthStencilDesc(width, height, sampling);
    HRESULT hr = device->CreateTexture2D(&desc, nullptr, buffer);
    if (SUCCEEDED(hr)) hr = device->CreateDepthStencilView(*buffer, nullptr, view);
    if (FAILED(hr)) ReleaseAndClear(*buffer);
    return hr;
}

}  // namespace

D3D11_VIEWPORT FullViewport(UINT width, UINT height) {
    return {0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height), 0.0f, 1.0f};
}

OffscreenTarget::~OffscreenTarget() { Release(); }

bool OffscreenTarget::Create(ID3D11Device* device, UINT width, UINT height, bool withDepth) {
    Release();
    mWidth = width;
    mHeight = height;
    const D3D11_TEXTURE2D_DESC desc = {
        width, height, 1, 1, DXGI_FORMAT_R8G8B8A8_UNORM, {1, 0}, D3D11_USAGE_DEFAULT, D3D11_BIND_RENDER_TARGET, 0, 0};
    bool made = SUCCEEDED(device->CreateTexture2D(&desc, nullptr, &mTexture)) &&
                SUCCEEDED(device->CreateRenderTargetView(mTexture, nullptr, &mView));
    if (made && withDepth) {
        made = SUCCEEDED(CreateDepthStencil(device, width, height, {1, 0}, &mDepthBuffer, &mDepthView));
    }
    if (!made) Release();
    return made;
}

void OffscreenTarget::Bind(ID3D11DeviceContext* context) {
    context->OMSetRenderTargets(1, &mView, mDepthView);
    const D3D11_VIEWPORT viewport = FullViewport(mWidth, mHeight);
    context->RSSetViewports(1, &viewport);
}

void OffscreenTarget::Release() {
    ReleaseAndClear(mDepthView);
    ReleaseAndClear(mDepthBuffer);
    ReleaseAndClear(mView);
    ReleaseAndClear(mTexture);
}
