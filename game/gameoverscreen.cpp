#include "gameoverscreen.h"

GameOverScreen::GameOverScreen() : EndScreen(L"Textures/GameOverBackground.png") {}

void GameOverScreen::PlaceButtons() {
    mPlayAgainButton = ButtonRect(384.0f, 300.0f, 288.0f, 58.0f);
    mQuitButton = ButtonRect(460.0f, 376.0f, 144.0f, 58.0f);
}
