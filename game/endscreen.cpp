#include "endscreen.h"

#include <cstdlib>

#include "screenswitcher.h"

void EndScreen::OnClick(int x, int y, ScreenSwitcher* app) {
    if (mPlayAgainButton.Contains(x, y)) {
        app->SetState(Playing);
        return;
    }
    if (mQuitButton.Contains(x, y)) exit(0);
}
