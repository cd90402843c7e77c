#include "splashscreen.h"

#include <d3dx11.h>
#include <traceresult.h>

#include "screensprite.h"

SplashScreen::SplashScreen() : mSprite(nullptr), mFrame(nullptr) {}

SplashScreen::~SplashScreen() { DestroyScreenSprite(mSprite, mFrame); }

void SplashScreen::Init(ID3D11Device* device, USHORT clientWidth, USHORT clientHeight) {
    ID3D11ShaderResourceView* BGimage = nullptr;
    VERIFY_HR(D3DX11CreateShaderResourceViewFromFile(device, L"Textures/menuBackground.png", 0, 0, &BGimage, 0));
    mSprite = CreateScreenSprite(device, BGimage, clientWidth, clientHeight, &mFrame);
}

void SplashScreen::Update(float dt) { mSprite->Update(dt); }

void SplashScreen::Draw(const XMMATRIX* frameMatrix, ID3D11DeviceContext* context, LitTexEffect* effect) {
    mSprite->Draw(*frameMatrix, context, effect);
}
