#pragma once

#include <functional>

#include "draw.hpp"
#include "image.hpp"

// The shared look of the thieves' den: wall, warm stone, torches.
namespace art {

using SolidTest = std::function<bool(int x, int y)>;

void paintWall(Image& img, Rect area);
// Solid pixels in area get brick texture with lit tops and shaded undersides.
void paintStone(Image& img, Rect area, const SolidTest& solid);
// Torch whose bracket sits at (x, y); the glow only tints pixels where lit(x, y) holds.
void paintTorch(Image& img, int x, int y, const SolidTest& lit);
void paintChain(Image& img, int x, int top, int length);
// Centred on the floor line; the stone painted afterwards hides the lower half.
void paintCoinPile(Image& img, int cx, int baseY, int halfWidth);

// Closed treasure chest standing on baseY.
void paintChest(Image& img, int x, int baseY);

}  // namespace art
