#include <array>
#include <vector>

#include "den.hpp"
#include "scenes.hpp"

namespace art {

namespace {

constexpr int kW = 1024;
constexpr int kH = 768;

struct WorldBox {
  int x, y, w, h;  // lower-left corner, y up from the bottom of the view
};

// Must match the game's collision boxes pixel for pixel.
constexpr std::array<WorldBox, 31> kBoxes{{
    {0, 736, 1024, 32}, {0, 32, 40, 704},     {0, 0, 1024, 48},     {995, 32, 32, 704},
    {32, 672, 40, 64},  {64, 704, 72, 32},    {899, 704, 64, 32},   {963, 672, 32, 64},
    {227, 608, 70, 48}, {419, 576, 198, 48},  {451, 544, 134, 48},  {739, 608, 70, 48},
    {32, 479, 105, 81}, {128, 512, 73, 48},   {835, 512, 73, 48},   {899, 479, 105, 81},
    {259, 351, 102, 113}, {675, 351, 102, 113}, {32, 224, 72, 112}, {487, 256, 64, 78},
    {932, 224, 72, 112}, {32, 160, 104, 79},  {453, 192, 130, 78},  {900, 160, 104, 80},
    {32, 32, 264, 144}, {288, 128, 41, 48},   {484, 159, 70, 48},   {707, 128, 41, 48},
    {740, 32, 264, 144}, {227, 350, 40, 45},  {771, 350, 40, 45},
}};

class SolidMap {
 public:
  SolidMap() : cells_(static_cast<std::size_t>(kW) * kH, false) {
    for (const WorldBox& b : kBoxes) {
      const int top = kH - b.y - b.h;
      for (int y = std::max(0, top); y < std::min(kH, top + b.h); ++y)
        for (int x = std::max(0, b.x); x < std::min(kW, b.x + b.w); ++x)
          cells_[static_cast<std::size_t>(y) * kW + x] = true;
    }
  }
  // Beyond the picture counts as rock, so the outer walls get no lit rim.
  bool operator()(int x, int y) const {
    if (x < 0 || y < 0 || x >= kW || y >= kH) return true;
    return cells_[static_cast<std::size_t>(y) * kW + x];
  }

 private:
  std::vector<bool> cells_;
};

// Decoration stays in open air and clear of the exit spot under the ceiling at (512, 48).
void paintDecor(Image& img, const SolidMap& solid) {
  const SolidTest air = [&](int x, int y) { return !solid(x, y); };
  const struct { int x, y; } torches[] = {{176, 300}, {848, 300}, {400, 520}, {624, 520},
                                          {360, 100}, {664, 100}};
  for (const auto& t : torches) paintTorch(img, t.x, t.y, air);
  paintChain(img, 172, 32, 64);
  paintChain(img, 852, 32, 64);
  paintChain(img, 236, 160, 40);
  paintChain(img, 788, 160, 40);
  paintCoinPile(img, 360, 720, 16);
  paintCoinPile(img, 384, 720, 9);
  paintCoinPile(img, 680, 720, 12);
  paintChest(img, 600, 720);
  paintCoinPile(img, 220, 592, 12);
  paintCoinPile(img, 820, 592, 10);
}

// The HUD bars sit at x 12-108, rows 24-40 and 62-78. Plain dark stone behind them keeps
// them legible; open air there stays air so the picture still matches the collision boxes.
void paintHudRecess(Image& img, const SolidMap& solid) {
  const Rgba recess = rgb(0x24140e);
  for (int y = 18; y < 84; ++y)
    for (int x = 8; x < 114; ++x)
      if (solid(x, y) && solid(x, y + 3) && solid(x - 1, y) && solid(x + 1, y) && solid(x, y - 1))
        img.set(x, y, recess);
}

}  // namespace

Image makeLevelBackground() {
  Image img(kW, kH);
  const SolidMap solid;
  paintWall(img, {0, 0, kW, kH});
  paintDecor(img, solid);
  paintStone(img, {0, 0, kW, kH}, [&](int x, int y) { return solid(x, y); });
  paintHudRecess(img, solid);
  return img;
}

}  // namespace art
