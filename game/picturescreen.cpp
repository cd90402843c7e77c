#include "picturescreen.h"

#include <d3dx11.h>

#include <vector>

namespace {

constexpr USHORT kPictureWidth = 1024;
constexpr USHORT kPictureHeight = 768;
constexpr float kPictureDepth = 1.0f;
constexpr float kFrameSeconds = 0.25f;

}  // namespace

PictureScreen::PictureScreen(const wchar_t* pictureFile)
    : mSprite(nullptr), mPictureFile(pictureFile), mFrame(nullptr) {}

PictureScreen::~PictureScreen() {
    delete mSprite;
    if (!mFrame) return;
    if (mFrame->image) mFrame->image->Release();
    delete mFrame;
}

void PictureScreen::Init(ID3D11Device* device, USHORT clientWidth, USHORT clientHeight) {
    mFrame = new Sprite::Frame();
    mFrame->image = LoadPicture(device);
    mFrame->x = 0;
    mFrame->y = 0;
    mFrame->imageWidth = kPictureWidth;
    mFrame->imageHeight = kPictureHeight;

    const std::vector<Sprite::Frame*> frames(1, mFrame);
    const XMVECTOR centre = XMVectorSet(clientWidth / 2.0f, clientHeight / 2.0f, 0.0f, 0.0f);
    mSprite = new Sprite(centre, XMVectorSet(1.0f, 1.0f, 0.0f, 0.0f), kPictureWidth, kPictureHeight, kPictureDepth,
                         frames, kFrameSeconds, device, 0.0f);
    PlaceButtons();
}

void PictureScreen::Update(float dt) { mSprite->Update(dt); }

void PictureScreen::Draw(const XMMATRIX* frameMatrix, ID3D11DeviceContext* context, LitTexEffect* effect) {
    mSprite->Draw(*frameMatrix, context, effect);
}

void PictureScreen::OnClick(int, int, ScreenSwitcher*) {}

ID3D11ShaderResourceView* PictureScreen::LoadPicture(ID3D11Device* device) {
    ID3D11ShaderResourceView* picture = nullptr;
    D3DX11CreateShaderResourceViewFromFile(device, mPictureFile, 0, 0, &picture, 0);
    return picture;
}

void PictureScreen::PlaceButtons() {}
