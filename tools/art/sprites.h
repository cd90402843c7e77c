#pragma once

#include <vector>

#include "image.h"

namespace art {

constexpr int kFrame = 32;  // every animation frame is 32 x 32
constexpr int kFrames = 3;

Image MakeArrow();
Image MakeFlame();
Image MakePlayer();
Image MakeExitPortal();
// A square application icon of size pixels, at least kFrame.
Image MakeIcon(const Image& player, int size);

enum class BarTone { Green, Red };
// Diagonal stripes whose period divides the size, so the tile repeats seamlessly.
Image MakeHealthTile(BarTone tone);
Image MakeFuelBar(BarTone tone);

// Bat, wasp, ghost, winged eye, fire sprite, dragonfly: 96 x 32 strips.
std::vector<Image> MakeEnemies();

}  // namespace art
