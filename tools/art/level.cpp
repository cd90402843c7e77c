#include <algorithm>
#include <vector>

#include "den.h"
#include "levelboxes.h"
#include "scenes.h"

namespace art {

namespace {

constexpr int kW = 1024;
constexpr int kH = 768;

class SolidMap {
public:
    SolidMap() : cells_(static_cast<std::size_t>(kW) * kH, false) {
        for (const BoundingBoxes::BoundingBox& box : kLevelBoxes) {
            const int left = static_cast<int>(box.x), width = static_cast<int>(box.width);
            const int height = static_cast<int>(box.height), top = kH - static_cast<int>(box.y) - height;
            for (int y = std::max(0, top); y < std::min(kH, top + height); ++y)
                for (int x = std::max(0, left); x < std::min(kW, left + width); ++x)
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
void PaintDecor(Image& img, const SolidMap& solid) {
    const SolidTest air = [&](int x, int y) { return !solid(x, y); };
    const struct { int x, y; } torches[] = {{176, 300}, {848, 300}, {400, 520}, {624, 520}, {360, 100}, {664, 100}};
    for (const auto& t : torches) PaintTorch(img, t.x, t.y, air);
    PaintChain(img, 172, 32, 64);
    PaintChain(img, 852, 32, 64);
    PaintChain(img, 236, 160, 40);
    PaintChain(img, 788, 160, 40);
    PaintCoinPile(img, 360, 720, 16);
    PaintCoinPile(img, 384, 720, 9);
    PaintCoinPile(img, 680, 720, 12);
    PaintChest(img, 600, 720);
    PaintCoinPile(img, 220, 592, 12);
    PaintCoinPile(img, 820, 592, 10);
}

// The HUD bars sit at x 12-108, rows 24-40 and 62-78. Plain dark stone behind them keeps
// them legible; open air there stays air so the picture still matches the collision boxes.
void PaintHudRecess(Image& img, const SolidMap& solid) {
    const Rgba recess = Rgb(0x24140e);
    for (int y = 18; y < 84; ++y)
        for (int x = 8; x < 114; ++x)
            if (solid(x, y) && solid(x, y + 3) && solid(x - 1, y) && solid(x + 1, y) && solid(x, y - 1))
                img.Set(x, y, recess);
}

}  // namespace

Image MakeLevelBackground() {
    Image img(kW, kH);
    const SolidMap solid;
    PaintWall(img, {0, 0, kW, kH});
    PaintDecor(img, solid);
    PaintStone(img, {0, 0, kW, kH}, [&](int x, int y) { return solid(x, y); });
    PaintHudRecess(img, solid);
    return img;
}

}  // namespace art
