#include "screensprite.h"

#include <d3dx11.h>

#include <vector>

namespace {

constexpr USHORT kPictureWidth = 1024;
constexpr USHORT kPictureHeight = 768;
constexpr float kPictureDepth = 1.0f;
constexpr float kFrameSeconds = 0.25f;

}  // namespace

Sprite* CreateScreenSprite(ID3D11Device* device, ID3D11ShaderResourceView* picture, USHORT clientWidth,
                           USHORT clientHeight, Sprite::Frame** frame) {
    *frame = new Sprite::Frame();
    (*frame)->image = picture;
    (*frame)->x = 0;
    (*frame)->y = 0;
    (*frame)->imageWidth = kPictureWidth;
    (*frame)->imageHeight = kPictureHeight;

    const std::vector<Sprite::Frame*> frames(1, *frame);
    const XMVECTOR centre = XMVectorSet(clientWidth / 2.0f, clientHeight / 2.0f, 0.0f, 0.0f);
    return new Sprite(centre, XMVectorSet(1.0f, 1.0f, 0.0f, 0.0f), kPictureWidth, kPictureHeight, kPictureDepth,
                      frames, kFrameSeconds, device, 0.0f);
}

ID3D11ShaderResourceView* LoadScreenPicture(ID3D11Device* device, const wchar_t* fileName) {
    ID3D11ShaderResourceView* picture = nullptr;
    D3DX11CreateShaderResourceViewFromFile(device, fileName, 0, 0, &picture, 0);
    return picture;
}

void DestroyScreenSprite(Sprite*& sprite, Sprite::Frame*& frame) {
    delete sprite;
    sprite = nullptr;
    if (!frame) return;
    if (frame->image) frame->image->Release();
    delete frame;
    frame = nullptr;
}
