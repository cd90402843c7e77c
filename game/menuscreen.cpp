#include "menuscreen.h"

#include <cstdlib>

#include "screensprite.h"
#include "screenswitcher.h"

MenuScreen::MenuScreen() : mSprite(nullptr), mFrame(nullptr) {}

MenuScreen::~MenuScreen() { DestroyScreenSprite(mSprite, mFrame); }

void MenuScreen::Init(ID3D11Device* device, USHORT clientWidth, USHORT clientHeight) {
    ID3D11ShaderResourceView* picture = LoadScreenPicture(device, L"Textures/MenuScreen.png");
    mSprite = CreateScreenSprite(device, picture, clientWidth, clientHeight, &mFrame);
    mPlayButton = ButtonRect(335.0f, 420.0f, 320.0f, 90.0f);
    mCreditsButton = ButtonRect(320.0f, 516.0f, 384.0f, 90.0f);
    mQuitButton = ButtonRect(430.0f, 668.0f, 168.0f, 70.0f);
}

void MenuScreen::Update(float dt) { mSprite->Update(dt); }

void MenuScreen::Draw(const XMMATRIX* frameMatrix, ID3D11DeviceContext* context, LitTexEffect* effect) {
    mSprite->Draw(*frameMatrix, context, effect);
}

void MenuScreen::OnClick(int x, int y, ScreenSwitcher* app) {
    if (mPlayButton.Contains(x, y)) {
        app->SetState(Playing);
        return;
    }
    if (mCreditsButton.Contains(x, y)) {
        app->SetState(Credits);
        return;
    }
    if (mQuitButton.Contains(x, y)) exit(0);
}
