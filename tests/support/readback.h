// Reads a 2-D texture back through a staging copy, the way Direct3D code reads pixels.
#pragma once
#include <d3d11.h>
#include <array>
#include <cstring>
#include <vector>

namespace d3d11_test {

struct Pixels {
    UINT width = 0, height = 0;
    std::vector<uint8_t> rgba;  // 4 bytes a texel, rows top-first
    std::array<uint8_t, 4> At(UINT x, UINT y) const {
        const uint8_t* p = &rgba[(size_t(y) * width + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
};

// Mip 0, slice 0 of a 4-byte-per-texel texture (multisampling is resolved first). Empty on failure.
inline Pixels ReadBack(ID3D11DeviceContext* context, ID3D11Texture2D* texture) {
    Pixels pixels;
    ID3D11Device* device = nullptr;
    texture->GetDevice(&device);
    D3D11_TEXTURE2D_DESC desc;
    texture->GetDesc(&desc);
    ID3D11Texture2D* source = texture;
    source->AddRef();
    D3D11_TEXTURE2D_DESC single = {desc.Width, desc.Height, 1, 1, desc.Format, {1, 0}, D3D11_USAGE_DEFAULT, 0, 0, 0};
    ID3D11Texture2D* resolved = nullptr;
    if (desc.SampleDesc.Count > 1 && SUCCEEDED(device->CreateTexture2D(&single, nullptr, &resolved))) {
        context->ResolveSubresource(resolved, 0, texture, 0, desc.Format);
        source->Release();
        source = resolved;
    }
    D3D11_TEXTURE2D_DESC stagingDesc = single;
    stagingDesc.MipLevels = desc.SampleDesc.Count > 1 ? 1 : desc.MipLevels;
    stagingDesc.ArraySize = desc.SampleDesc.Count > 1 ? 1 : desc.ArraySize;
    stagingDesc.Usage = D3D11_USAGE_STAGING;
    stagingDesc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    ID3D11Texture2D* staging = nullptr;
    D3D11_MAPPED_SUBRESOURCE mapped = {};
    if (SUCCEEDED(device->CreateTexture2D(&stagingDesc, nullptr, &staging))) {
        context->CopyResource(staging, source);
        if (SUCCEEDED(context->Map(staging, 0, D3D11_MAP_READ, 0, &mapped))) {
            pixels.width = desc.Width;
            pixels.height = desc.Height;
            pixels.rgba.resize(size_t(desc.Width) * desc.Height * 4);
            for (UINT row = 0; row < desc.Height; ++row) {
                std::memcpy(&pixels.rgba[size_t(row) * desc.Width * 4],
                            static_cast<const uint8_t*>(mapped.pData) + size_t(row) * mapped.RowPitch, desc.Width * 4);
            }
            context->Unmap(staging, 0);
        }
        staging->Release();
    }
    source->Release();
    device->Release();
    return pixels;
}

}  // namespace d3d11_test
