#pragma once

#include <vector>

#include "image.hpp"

namespace art {

struct SpriteSet {
    Image player;
    std::vector<Image> enemies;
    Image portal;
};

Image makeLevelBackground();
Image makeControlsPanel();
Image makeSplash(const SpriteSet& sprites);
Image makeMenuScreen(const SpriteSet& sprites);
Image makeCreditScreen();
Image makeGameOverScreen(const SpriteSet& sprites);
Image makeWinScreen(const SpriteSet& sprites);

}  // namespace art
