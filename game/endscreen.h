#pragma once
#include "buttonrect.h"
#include "picturescreen.h"

// A picture shown when a game has ended, won or lost: one region starts a new game, the other quits.
class EndScreen : public PictureScreen {
public:
    // The play-again region is tested first, so where the two overlap a press plays again.
    void OnClick(int x, int y, ScreenSwitcher* app) override;

protected:
    using PictureScreen::PictureScreen;

    ButtonRect mPlayAgainButton;
    ButtonRect mQuitButton;
};
