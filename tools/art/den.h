#pragma once

#include <functional>

#include "draw.h"
#include "image.h"

// The shared look of the thieves' den: wall, warm stone, torches.
namespace art {

using SolidTest = std::function<bool(int x, int y)>;

void PaintWall(Image& img, Rect area);
// Solid pixels in area get brick texture with lit tops and shaded undersides.
void PaintStone(Image& img, Rect area, const SolidTest& solid);
// Torch whose bracket sits at (x, y); the glow only tints pixels where lit(x, y) holds.
void PaintTorch(Image& img, int x, int y, const SolidTest& lit);
void PaintChain(Image& img, int x, int top, int length);
// Centred on the floor line; the stone painted afterwards hides the lower half.
void PaintCoinPile(Image& img, int cx, int baseY, int halfWidth);

// Closed treasure chest standing on baseY.
void PaintChest(Image& img, int x, int baseY);

}  // namespace art
