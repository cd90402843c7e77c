#include "creditsscreen.h"

#include "screenswitcher.h"

CreditsScreen::CreditsScreen() : PictureScreen(L"Textures/CreditScreen.png") {}

void CreditsScreen::PlaceButtons() { mBackButton = ButtonRect(416.0f, 630.0f, 192.0f, 68.0f); }

void CreditsScreen::OnClick(int x, int y, ScreenSwitcher* app) {
    if (mBackButton.Contains(x, y)) app->SetState(Menu);
}
