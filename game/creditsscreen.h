#pragma once
#include "buttonrect.h"
#include "picturescreen.h"

// The credits picture with one region back to the menu.
class CreditsScreen : public PictureScreen {
public:
    CreditsScreen();

    void OnClick(int x, int y, ScreenSwitcher* app) override;

private:
    void PlaceButtons() override;

    ButtonRect mBackButton;
};
