#include "sprites.hpp"

#include <cmath>

#include "draw.hpp"
#include "palette.hpp"

namespace art {

namespace {

constexpr float kPi = 3.14159265f;

void drawFletching(Image& img, int x, int y) {
    const Rgba red = rgb(0xd83a3a), dark = rgb(0x8e1f2a);
    drawLine(img, x, y - 2, x + 3, y - 1, red);
    drawLine(img, x + 1, y - 2, x + 4, y - 1, dark);
    drawLine(img, x, y + 2, x + 3, y + 1, red);
    drawLine(img, x + 1, y + 2, x + 4, y + 1, dark);
}

}  // namespace

Image makeArrow() {
    Image img(22, 9);
    fillRect(img, {2, 4, 15, 1}, rgb(0xc89058));
    fillRect(img, {2, 5, 14, 1}, rgb(0x7a4a26));
    drawFletching(img, 1, 4);
    fillPolygon(img, {{15, 0.5f}, {22, 4.5f}, {15, 8.5f}, {16.5f, 4.5f}}, rgb(0xc8ccd8));
    fillPolygon(img, {{16.5f, 4.5f}, {22, 4.5f}, {15, 8.5f}}, rgb(0x7c8294));
    return img;
}

Image makeFlame() {
    Image img(16, 16);
    fillPolygon(img, {{2, 3}, {8, 0}, {14, 3}, {8, 16}}, pal::kFlameRed);
    fillEllipse(img, 8, 4, 6, 4, pal::kFlameRed);
    fillPolygon(img, {{3.5f, 4}, {8, 1.5f}, {12.5f, 4}, {8, 14}}, pal::kFlameOrange);
    fillPolygon(img, {{5, 4}, {8, 2.5f}, {11, 4}, {8, 11}}, pal::kFlameYellow);
    fillEllipse(img, 8, 4.5f, 2, 2.5f, pal::kFlameCore);
    return img;
}

// ---- archer -------------------------------------------------------------

namespace {

struct Stride {
    float nearFoot, farFoot;  // foot x positions
    int lift;                 // whole body raised on the passing frame
};

constexpr Stride kStrides[kFrames] = {{20.5f, 12.5f, 0}, {16.5f, 15.0f, 1}, {13.0f, 19.5f, 0}};

void drawLeg(Image& img, int ox, float hipX, float footX, int top, Rgba cloth, Rgba boot) {
    const float bottom = 30.0f;
    fillPolygon(img,
                {{ox + hipX - 1.5f, static_cast<float>(top)},
                 {ox + hipX + 1.5f, static_cast<float>(top)},
                 {ox + footX + 1.5f, bottom - 2},
                 {ox + footX - 1.5f, bottom - 2}},
                cloth);
    fillRect(img, {ox + static_cast<int>(footX) - 2, 27, 5, 3}, boot);
    fillRect(img, {ox + static_cast<int>(footX) + 3, 29, 1, 1}, boot);
}

void drawJetpack(Image& img, int ox, int dy) {
    fillRect(img, {ox + 7, 12 + dy, 6, 10}, rgb(0x9aa0b4));
    fillRect(img, {ox + 7, 12 + dy, 2, 10}, rgb(0x6c7288));
    fillRect(img, {ox + 7, 15 + dy, 6, 2}, rgb(0xc83c32));
    fillRect(img, {ox + 8, 22 + dy, 4, 2}, rgb(0x3c3f4c));
    // arrows in a quiver poking over the pack
    drawLine(img, ox + 9, 12 + dy, ox + 8, 7 + dy, rgb(0xc89058));
    drawLine(img, ox + 11, 12 + dy, ox + 11, 7 + dy, rgb(0xc89058));
    fillRect(img, {ox + 7, 6 + dy, 2, 2}, rgb(0xe04848));
    fillRect(img, {ox + 10, 6 + dy, 2, 2}, rgb(0xe04848));
}

void drawTorso(Image& img, int ox, int dy) {
    const float y0 = 12.0f + dy, y1 = 22.0f + dy;
    fillPolygon(img, {{ox + 12.5f, y0}, {ox + 20.5f, y0}, {ox + 20.0f, y1}, {ox + 12.5f, y1}}, rgb(0x3f9a3c));
    fillRect(img, {ox + 13, 12 + dy, 2, 10}, rgb(0x2c7430));
    fillRect(img, {ox + 13, 19 + dy, 7, 2}, rgb(0x6a3e1e));
    fillRect(img, {ox + 17, 19 + dy, 2, 2}, rgb(0xf2c84a));
    drawLine(img, ox + 13, 12 + dy, ox + 19, 18 + dy, rgb(0x6a3e1e));  // quiver strap
}

void drawHead(Image& img, int ox, int dy) {
    const Rgba hood = rgb(0x2c7430), hoodLight = rgb(0x46a844), skin = rgb(0xf0b88a);
    fillPolygon(img, {{ox + 13.0f, 3.0f + dy}, {ox + 8.5f, 10.0f + dy}, {ox + 14.0f, 11.0f + dy}}, hood);
    fillEllipse(img, ox + 16.5f, 7.5f + dy, 5.0f, 5.0f, hood);
    fillEllipse(img, ox + 16.0f, 5.5f + dy, 3.5f, 2.5f, hoodLight);
    fillPolygon(img,
                {{ox + 16.5f, 6.0f + dy},
                 {ox + 21.5f, 6.0f + dy},
                 {ox + 22.0f, 10.5f + dy},
                 {ox + 18.0f, 12.0f + dy},
                 {ox + 16.5f, 10.0f + dy}},
                skin);
    fillRect(img, {ox + 16, 5 + dy, 6, 1}, hood);
    img.set(ox + 19, 7 + dy, rgb(0x1a1a2a));
    img.set(ox + 19, 8 + dy, rgb(0x1a1a2a));
    img.set(ox + 22, 9 + dy, skin);
}

void drawBowArm(Image& img, int ox, int dy) {
    const float cx = ox + 19.0f, cy = 15.5f + dy;
    drawArc(img, cx, cy, 6.0f, -70.0f, 70.0f, 2, rgb(0x8b5226));
    drawArc(img, cx, cy, 6.0f, -40.0f, 40.0f, 1, rgb(0xd0904a));
    const int tipTop = static_cast<int>(cy - 6.5f), tipBottom = static_cast<int>(cy + 6.5f);
    drawLine(img, ox + 21, tipTop, ox + 21, tipBottom, rgb(0xeee6d0));
    fillPolygon(
        img, {{ox + 17.0f, 12.5f + dy}, {ox + 25.0f, 14.0f + dy}, {ox + 25.0f, 16.0f + dy}, {ox + 17.0f, 15.5f + dy}},
        rgb(0x3f9a3c));
    fillRect(img, {ox + 24, 14 + dy, 2, 2}, rgb(0xf0b88a));
}

}  // namespace

Image makePlayer() {
    Image img(96, 96);
    for (int f = 0; f < kFrames; ++f) {
        const int ox = f * kFrame;
        const Stride& s = kStrides[f];
        const int dy = -s.lift;
        drawLeg(img, ox, 14.5f, s.farFoot, 21 + dy, rgb(0x4a3426), rgb(0x2a1a12));
        drawJetpack(img, ox, dy);
        drawTorso(img, ox, dy);
        drawLeg(img, ox, 17.0f, s.nearFoot, 21 + dy, rgb(0x6e4c32), rgb(0x3e2616));
        drawHead(img, ox, dy);
        drawBowArm(img, ox, dy);
        outline(img, {ox, 0, kFrame, kFrame}, pal::kInk);
    }
    return img;
}

// ---- exit portal ----------------------------------------------------------

namespace {

bool insideArch(float x, float y, float cx, float top, float halfW, float bottom) {
    if (y > bottom) return false;
    if (y >= top + halfW) return std::fabs(x - cx) <= halfW;
    const float dx = x - cx, dy = y - (top + halfW);
    return dx * dx + dy * dy <= halfW * halfW;
}

Rgba swirlColour(float x, float y, int frame) {
    static const Rgba bands[] = {rgb(0x58e8ff), rgb(0x8a5cff), rgb(0xd45cff), rgb(0x3a2a9a)};
    const float dx = x - 16.0f, dy = y - 19.0f;
    const float r = std::sqrt(dx * dx + dy * dy);
    if (r < 2.5f) return rgb(0xffffff);
    const float turn = std::atan2(dy, dx) / (2 * kPi);
    const int band = static_cast<int>(std::floor(turn * 2 + r * 0.35f - frame * 0.67f));
    return bands[((band % 4) + 4) % 4];
}

}  // namespace

Image makeExitPortal() {
    Image img(96, 32);
    const Rgba stone = rgb(0xa86a3c), stoneDark = rgb(0x6e3f22), gold = rgb(0xf2c84a);
    for (int f = 0; f < kFrames; ++f) {
        const int ox = f * kFrame;
        for (int y = 0; y < kFrame; ++y) {
            for (int x = 0; x < kFrame; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                if (insideArch(px, py, 16, 8, 8, 31)) {
                    img.set(ox + x, y, swirlColour(px, py, f));
                } else if (insideArch(px, py, 16, 2, 13, 31)) {
                    const bool joint = (y % 6 == 0) || ((x + (y / 6) * 3) % 7 == 0);
                    img.set(ox + x, y, joint ? stoneDark : stone);
                }
            }
        }
        fillRect(img, {ox + 14, 2, 4, 4}, gold);
        fillRect(img, {ox + 15, 3, 2, 2}, rgb(0xfff0a0));
        const int sparkle = 9 + f * 5;
        img.set(ox + sparkle, 14 + f * 3, rgb(0xffffff));
        img.set(ox + 30 - sparkle, 24 - f * 2, rgb(0xffffff));
        outline(img, {ox, 0, kFrame, kFrame}, pal::kInk);
    }
    return img;
}

// ---- icon and bars ----------------------------------------------------------

// The frame is drawn at each size; the archer is enlarged by whole pixels only, the most that fits.
Image makeIcon(const Image& player, int size) {
    const int border = size * 3 / 64;
    const Rect archer{4, 2, 28, 29};
    const int scale = size / kFrame;
    Image img(size, size);
    fillRoundRect(img, {0, 0, size, size}, size * 10 / 64, rgb(0xc98444));
    fillRoundRect(img, {border, border, size - 2 * border, size - 2 * border}, size / 8, rgb(0x2a1d36));
    blit(img, player, archer, (size - archer.w * scale) / 2, (size - archer.h * scale) / 2, scale);
    return img;
}

namespace {

struct BarColours {
    Rgba light, mid, dark, edge;
};

BarColours barColours(BarTone tone) {
    if (tone == BarTone::Green) return {rgb(0x9ef08e), rgb(0x3ecf4a), rgb(0x2aa23a), rgb(0x0e3a16)};
    return {rgb(0xffa08a), rgb(0xe23b3b), rgb(0xb02828), rgb(0x3e0c10)};
}

bool stripe(int x, int y) { return ((x + y) & 7) < 4; }

}  // namespace

Image makeHealthTile(BarTone tone) {
    const BarColours c = barColours(tone);
    Image img(32, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 32; ++x) img.set(x, y, stripe(x, y) ? c.mid : c.dark);
    return img;
}

Image makeFuelBar(BarTone tone) {
    const BarColours c = barColours(tone);
    Image img(96, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 96; ++x) {
            Rgba px = stripe(x, y) ? c.mid : c.dark;
            if (y <= 2) px = mix(c.light, px, y / 3.0f);
            if (y >= 12) px = mix(px, c.edge, 0.45f);
            img.set(x, y, px);
        }
    }
    frameRect(img, {0, 0, 96, 16}, 1, c.edge);
    return img;
}

}  // namespace art
