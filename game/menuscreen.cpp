#include "menuscreen.h"

#include <cstdlib>

#include "screenswitcher.h"

MenuScreen::MenuScreen() : PictureScreen(L"Textures/MenuScreen.png") {}

void MenuScreen::PlaceButtons() {
    mPlayButton = ButtonRect(335.0f, 420.0f, 320.0f, 90.0f);
    mCreditsButton = ButtonRect(320.0f, 516.0f, 384.0f, 90.0f);
    mQuitButton = ButtonRect(430.0f, 668.0f, 168.0f, 70.0f);
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
