#pragma once
#include "endscreen.h"

// The picture shown when the player's health runs out: play again or quit.
class GameOverScreen : public EndScreen {
public:
    GameOverScreen();

private:
    void PlaceButtons() override;
};
