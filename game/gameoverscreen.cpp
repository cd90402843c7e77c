#include "gameoverscreen.h"

#include <cstdlib>

#include "screensprite.h"
#include "screenswitcher.h"

GameOverScreen::GameOverScreen() : mSprite(nullptr), mFrame(nullptr) {}

GameOverScreen::~GameOverScreen() { DestroyScreenSprite(mSprite, mFrame); }

void GameOverScreen::Init(ID3D11Device* device, USHORT clientWidth, USHORT clientHeight) {
    ID3D11ShaderResourceView* picture = LoadScreenPicture(device, L"Textures/GameOverBackground.png");
    mSprite = CreateScreenSprite(device, picture, clientWidth, clientHeight, &mFrame);
    mPlayAgainButton = ButtonRect(384.0f, 300.0f, 288.0f, 58.0f);
    mQuitButton = ButtonRect(460.0f, 376.0f, 144.0f, 58.0f);
}

void GameOverScreen::Update(float dt) { mSprite->Update(dt); }

void GameOverScreen::Draw(const XMMATRIX* frameMatrix, ID3D11DeviceContext* context, LitTexEffect* effect) {
    mSprite->Draw(*frameMatrix, context, effect);
}

void GameOverScreen::OnClick(int x, int y, ScreenSwitcher* app) {
    // The play-again region is tested first, so where the two overlap a press plays again.
    if (mPlayAgainButton.Contains(x, y)) {
        app->SetState(Playing);
        return;
    }
    if (mQuitButton.Contains(x, y)) exit(0);
}
