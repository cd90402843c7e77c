#include "app_fixture.h"

#include <cstring>

std::vector<uint8_t> AppTest::Picture() const {
    std::vector<uint8_t> pixels;
    ID3D11Texture2D* backBuffer = nullptr;
    if (FAILED(app->GetSwapChain()->GetBuffer(0, __uuidof(ID3D11Texture2D), reinterpret_cast<void**>(&backBuffer)))) {
        return pixels;
    }
    D3D11_TEXTURE2D_DESC desc = {};
    backBuffer->GetDesc(&desc);
    desc.Usage = D3D11_USAGE_STAGING;
    desc.BindFlags = 0;
    desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    desc.MiscFlags = 0;
    ID3D11Texture2D* staging = nullptr;
    if (SUCCEEDED(app->GetDevice()->CreateTexture2D(&desc, nullptr, &staging))) {
        ID3D11DeviceContext* context = app->GetContext();
        context->CopyResource(staging, backBuffer);
        D3D11_MAPPED_SUBRESOURCE mapped = {};
        if (SUCCEEDED(context->Map(staging, 0, D3D11_MAP_READ, 0, &mapped))) {
            const size_t rowBytes = desc.Width * 4u;
            pixels.resize(rowBytes * desc.Height);
            for (UINT row = 0; row < desc.Height; ++row) {
                std::memcpy(&pixels[row * rowBytes], static_cast<const uint8_t*>(mapped.pData) + row * mapped.RowPitch,
                            rowBytes);
            }
            context->Unmap(staging, 0);
        }
        staging->Release();
    }
    backBuffer->Release();
    return pixels;
}

bool ChannelPlaying(FMOD::Channel* channel) {
    bool playing = false;
    if (channel) channel->isPlaying(&playing);
    return playing;
}
