#include "winscreen.h"

#include <cstdlib>

#include "screensprite.h"
#include "screenswitcher.h"

WinScreen::WinScreen() : mSprite(nullptr), mFrame(nullptr) {}

WinScreen::~WinScreen() { DestroyScreenSprite(mSprite, mFrame); }

void WinScreen::Init(ID3D11Device* device, USHORT clientWidth, USHORT clientHeight) {
    ID3D11ShaderResourceView* picture = LoadScreenPicture(device, L"Textures/WinBackground.png");
    mSprite = CreateScreenSprite(device, picture, clientWidth, clientHeight, &mFrame);
    mPlayAgainButton = ButtonRect(314.0f, 394.0f, 390.0f, 66.0f);
    mQuitButton = ButtonRect(426.0f, 458.0f, 166.0f, 66.0f);
}

void WinScreen::Update(float dt) { mSprite->Update(dt); }

void WinScreen::Draw(const XMMATRIX* frameMatrix, ID3D11DeviceContext* context, LitTexEffect* effect) {
    mSprite->Draw(*frameMatrix, context, effect);
}

void WinScreen::OnClick(int x, int y, ScreenSwitcher* app) {
    // The play-again region is tested first, so where the two overlap a press plays again.
    if (mPlayAgainButton.Contains(x, y)) {
        app->SetState(Playing);
        return;
    }
    if (mQuitButton.Contains(x, y)) exit(0);
}
