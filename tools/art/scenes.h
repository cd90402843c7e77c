#pragma once

#include <vector>

#include "image.h"

namespace art {

struct SpriteSet {
    Image player;
    std::vector<Image> enemies;
    Image portal;
};

Image MakeLevelBackground();
Image MakeControlsPanel();
Image MakeSplash(const SpriteSet& sprites);
Image MakeMenuScreen(const SpriteSet& sprites);
Image MakeCreditScreen();
Image MakeGameOverScreen(const SpriteSet& sprites);
Image MakeWinScreen(const SpriteSet& sprites);

}  // namespace art
