#pragma once
#include "endscreen.h"

// The picture shown when the player reaches the end of the level: play again or quit.
class WinScreen : public EndScreen {
public:
    WinScreen();

private:
    void PlaceButtons() override;
};
