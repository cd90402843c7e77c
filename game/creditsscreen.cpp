#include "creditsscreen.h"

#include "screensprite.h"
#include "screenswitcher.h"

CreditsScreen::CreditsScreen() : mSprite(nullptr), mFrame(nullptr) {}

CreditsScreen::~CreditsScreen() { DestroyScreenSprite(mSprite, mFrame); }

void CreditsScreen::Init(ID3D11Device* device, USHORT clientWidth, USHORT clientHeight) {
    ID3D11ShaderResourceView* picture = LoadScreenPicture(device, L"Textures/CreditScreen.png");
    mSprite = CreateScreenSprite(device, picture, clientWidth, clientHeight, &mFrame);
    mBackButton = ButtonRect(416.0f, 630.0f, 192.0f, 68.0f);
}

void CreditsScreen::Update(float dt) { mSprite->Update(dt); }

void CreditsScreen::Draw(const XMMATRIX* frameMatrix, ID3D11DeviceContext* context, LitTexEffect* effect) {
    mSprite->Draw(*frameMatrix, context, effect);
}

void CreditsScreen::OnClick(int x, int y, ScreenSwitcher* app) {
    if (mBackButton.Contains(x, y)) app->SetState(Menu);
}
