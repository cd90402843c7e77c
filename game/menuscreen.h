#pragma once
#include "buttonrect.h"
#include "picturescreen.h"

// The title menu: one picture with play, credits and quit regions.
class MenuScreen : public PictureScreen {
public:
    MenuScreen();

    void OnClick(int x, int y, ScreenSwitcher* app) override;

private:
    void PlaceButtons() override;

    ButtonRect mPlayButton;
    ButtonRect mCreditsButton;
    ButtonRect mQuitButton;
};
