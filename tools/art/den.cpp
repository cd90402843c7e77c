#include "den.h"

#include "palette.h"
#include "rng.h"

namespace art {

namespace {

Rgba PickTone(std::uint32_t h, Rgba a, Rgba b, Rgba c) {
    const std::uint32_t k = h % 3;
    return k == 0 ? a : (k == 1 ? b : c);
}

Rgba WallColour(int x, int y) {
    constexpr int kW = 48, kH = 24;
    const int row = y / kH;
    const int shifted = x + (row % 2) * (kW / 2);
    const int lx = shifted % kW, ly = y % kH;
    if (lx < 2 || ly < 2) return pal::kWallMortar;
    return PickTone(HashCell(shifted / kW, row, 7), pal::kWallA, pal::kWallB, pal::kWallC);
}

Rgba StoneColour(int x, int y) {
    constexpr int kW = 32, kH = 16;
    const int row = y / kH;
    const int shifted = x + (row % 2) * (kW / 2);
    const int lx = shifted % kW, ly = y % kH;
    if (lx == 0 || ly == 0) return pal::kStoneMortar;
    if (ly == 1 || lx == 1) return pal::kStoneLight;
    if (ly == kH - 1 || lx == kW - 1) return pal::kStoneDark;
    return PickTone(HashCell(shifted / kW, row, 11), pal::kStoneA, pal::kStoneB, pal::kStoneC);
}

// Edges facing open air decide how a stone pixel is lit.
Rgba ShadedStone(int x, int y, const SolidTest& solid) {
    if (!solid(x, y - 1)) return pal::kLedgeTop;
    if (!solid(x, y - 2) || !solid(x, y - 3)) return pal::kLedgeUnder;
    if (!solid(x, y + 1) || !solid(x, y + 2)) return pal::kStoneShadow;
    if (!solid(x - 1, y) || !solid(x + 1, y)) return pal::kStoneSide;
    return StoneColour(x, y);
}

}  // namespace

void PaintWall(Image& img, Rect area) {
    for (int y = area.y; y < area.y + area.h; ++y)
        for (int x = area.x; x < area.x + area.w; ++x) img.Set(x, y, WallColour(x, y));
}

void PaintStone(Image& img, Rect area, const SolidTest& solid) {
    for (int y = area.y; y < area.y + area.h; ++y)
        for (int x = area.x; x < area.x + area.w; ++x)
            if (solid(x, y)) img.Set(x, y, ShadedStone(x, y, solid));
}

void PaintTorch(Image& img, int x, int y, const SolidTest& lit) {
    static const float kRadii[] = {84, 60, 40, 24};
    for (float r : kRadii) {
        for (int py = y - 8 - static_cast<int>(r); py <= y - 8 + r; ++py)
            for (int px = x - static_cast<int>(r); px <= x + r; ++px) {
                const float dx = px + 0.5f - x, dy = py + 0.5f - (y - 8);
                if (dx * dx + dy * dy <= r * r && lit(px, py)) img.Blend(px, py, Rgb(0xff7a20, 20));
            }
    }
    FillRect(img, {x - 3, y + 2, 7, 2}, Rgb(0x2e2a30));
    FillRect(img, {x - 1, y - 4, 3, 12}, Rgb(0x6a4226));
    FillRect(img, {x - 2, y - 5, 5, 2}, Rgb(0x3a3438));
    FillEllipse(img, x + 0.5f, y - 9, 3.5f, 5.5f, pal::kFlameRed);
    FillEllipse(img, x + 0.5f, y - 8, 2.5f, 4, pal::kFlameOrange);
    FillEllipse(img, x + 0.5f, y - 7, 1.5f, 2.5f, pal::kFlameYellow);
}

void PaintChain(Image& img, int x, int top, int length) {
    const Rgba iron = Rgb(0x4a4550), ironLight = Rgb(0x6e6878);
    for (int y = top, i = 0; y < top + length; y += 4, ++i) {
        if (i % 2 == 0) {
            FrameRect(img, {x - 1, y, 3, 5}, 1, iron);
            img.Set(x - 1, y + 1, ironLight);
        } else {
            FillRect(img, {x, y, 1, 5}, ironLight);
        }
    }
}

void PaintCoinPile(Image& img, int cx, int baseY, int halfWidth) {
    const Rgba gold = Rgb(0xf2c84a), goldDark = Rgb(0xb8862a), shine = Rgb(0xfff6c0);
    const float h = halfWidth * 0.55f;
    FillEllipse(img, cx + 0.5f, static_cast<float>(baseY), halfWidth, h, goldDark);
    FillEllipse(img, cx + 0.5f, baseY + 1.0f, halfWidth - 2.0f, h - 1.0f, gold);
    Rng rng(static_cast<std::uint32_t>(cx * 31 + baseY));
    for (int i = 0; i < halfWidth / 2; ++i) {
        const int px = cx - halfWidth + 3 + rng.Below(2 * halfWidth - 5);
        const int py = baseY - static_cast<int>(h) / 2 + rng.Below(static_cast<int>(h) / 2 + 1);
        img.Set(px, py, shine);
    }
}

void PaintChest(Image& img, int x, int baseY) {
    const Rgba wood = Rgb(0x7a4422), woodDark = Rgb(0x4e2a14), gold = Rgb(0xf2c84a);
    FillRect(img, {x, baseY - 16, 26, 16}, wood);
    FillRoundRect(img, {x, baseY - 22, 26, 8}, 3, Rgb(0x8e5028));
    FillRect(img, {x, baseY - 15, 26, 1}, woodDark);
    for (int bx : {3, 20}) FillRect(img, {x + bx, baseY - 22, 3, 22}, gold);
    FillRect(img, {x + 11, baseY - 16, 4, 5}, gold);
    img.Set(x + 12, baseY - 14, woodDark);
    FrameRect(img, {x - 1, baseY - 17, 28, 18}, 1, pal::kInk);
}

}  // namespace art
