#include "winscreen.h"

WinScreen::WinScreen() : EndScreen(L"Textures/WinBackground.png") {}

void WinScreen::PlaceButtons() {
    mPlayAgainButton = ButtonRect(314.0f, 394.0f, 390.0f, 66.0f);
    mQuitButton = ButtonRect(426.0f, 458.0f, 166.0f, 66.0f);
}
