#pragma once

#include <vector>

#include "image.hpp"

namespace art {

constexpr int kFrame = 32;  // every animation frame is 32 x 32
constexpr int kFrames = 3;

Image makeArrow();
Image makeFlame();
Image makePlayer();
Image makeExitPortal();
// A square application icon of size pixels, at least kFrame.
Image makeIcon(const Image& player, int size);

enum class BarTone { Green, Red };
// Diagonal stripes whose period divides the size, so the tile repeats seamlessly.
Image makeHealthTile(BarTone tone);
Image makeFuelBar(BarTone tone);

// Bat, wasp, ghost, winged eye, fire sprite, dragonfly: 96 x 32 strips.
std::vector<Image> makeEnemies();

}  // namespace art
