#include "sprites.h"

#include <cmath>

#include "draw.h"
#include "palette.h"

namespace art {

namespace {

constexpr float kPi = 3.14159265f;

void DrawFletching(Image& img, int x, int y) {
    const Rgba red = Rgb(0xd83a3a), dark = Rgb(0x8e1f2a);
    DrawLine(img, x, y - 2, x + 3, y - 1, red);
    DrawLine(img, x + 1, y - 2, x + 4, y - 1, dark);
    DrawLine(img, x, y + 2, x + 3, y + 1, red);
    DrawLine(img, x + 1, y + 2, x + 4, y + 1, dark);
}

}  // namespace

Image MakeArrow() {
    Image img(22, 9);
    FillRect(img, {2, 4, 15, 1}, Rgb(0xc89058));
    FillRect(img, {2, 5, 14, 1}, Rgb(0x7a4a26));
    DrawFletching(img, 1, 4);
    FillPolygon(img, {{15, 0.5f}, {22, 4.5f}, {15, 8.5f}, {16.5f, 4.5f}}, Rgb(0xc8ccd8));
    FillPolygon(img, {{16.5f, 4.5f}, {22, 4.5f}, {15, 8.5f}}, Rgb(0x7c8294));
    return img;
}

Image MakeFlame() {
    Image img(16, 16);
    FillPolygon(img, {{2, 3}, {8, 0}, {14, 3}, {8, 16}}, pal::kFlameRed);
    FillEllipse(img, 8, 4, 6, 4, pal::kFlameRed);
    FillPolygon(img, {{3.5f, 4}, {8, 1.5f}, {12.5f, 4}, {8, 14}}, pal::kFlameOrange);
    FillPolygon(img, {{5, 4}, {8, 2.5f}, {11, 4}, {8, 11}}, pal::kFlameYellow);
    FillEllipse(img, 8, 4.5f, 2, 2.5f, pal::kFlameCore);
    return img;
}

// ---- archer -------------------------------------------------------------

namespace {

struct Stride {
    float nearFoot, farFoot;  // foot x positions
    int lift;                 // whole body raised on the passing frame
};

constexpr Stride kStrides[kFrames] = {{20.5f, 12.5f, 0}, {16.5f, 15.0f, 1}, {13.0f, 19.5f, 0}};

void DrawLeg(Image& img, int ox, float hipX, float footX, int top, Rgba cloth, Rgba boot) {
    const float bottom = 30.0f;
    FillPolygon(img,
                {{ox + hipX - 1.5f, static_cast<float>(top)},
                 {ox + hipX + 1.5f, static_cast<float>(top)},
                 {ox + footX + 1.5f, bottom - 2},
                 {ox + footX - 1.5f, bottom - 2}},
                cloth);
    FillRect(img, {ox + static_cast<int>(footX) - 2, 27, 5, 3}, boot);
    FillRect(img, {ox + static_cast<int>(footX) + 3, 29, 1, 1}, boot);
}

void DrawJetpack(Image& img, int ox, int dy) {
    FillRect(img, {ox + 7, 12 + dy, 6, 10}, Rgb(0x9aa0b4));
    FillRect(img, {ox + 7, 12 + dy, 2, 10}, Rgb(0x6c7288));
    FillRect(img, {ox + 7, 15 + dy, 6, 2}, Rgb(0xc83c32));
    FillRect(img, {ox + 8, 22 + dy, 4, 2}, Rgb(0x3c3f4c));
    // arrows in a quiver poking over the pack
    DrawLine(img, ox + 9, 12 + dy, ox + 8, 7 + dy, Rgb(0xc89058));
    DrawLine(img, ox + 11, 12 + dy, ox + 11, 7 + dy, Rgb(0xc89058));
    FillRect(img, {ox + 7, 6 + dy, 2, 2}, Rgb(0xe04848));
    FillRect(img, {ox + 10, 6 + dy, 2, 2}, Rgb(0xe04848));
}

void DrawTorso(Image& img, int ox, int dy) {
    const float y0 = 12.0f + dy, y1 = 22.0f + dy;
    FillPolygon(img, {{ox + 12.5f, y0}, {ox + 20.5f, y0}, {ox + 20.0f, y1}, {ox + 12.5f, y1}}, Rgb(0x3f9a3c));
    FillRect(img, {ox + 13, 12 + dy, 2, 10}, Rgb(0x2c7430));
    FillRect(img, {ox + 13, 19 + dy, 7, 2}, Rgb(0x6a3e1e));
    FillRect(img, {ox + 17, 19 + dy, 2, 2}, Rgb(0xf2c84a));
    DrawLine(img, ox + 13, 12 + dy, ox + 19, 18 + dy, Rgb(0x6a3e1e));  // quiver strap
}

void DrawHead(Image& img, int ox, int dy) {
    const Rgba hood = Rgb(0x2c7430), hoodLight = Rgb(0x46a844), skin = Rgb(0xf0b88a);
    FillPolygon(img, {{ox + 13.0f, 3.0f + dy}, {ox + 8.5f, 10.0f + dy}, {ox + 14.0f, 11.0f + dy}}, hood);
    FillEllipse(img, ox + 16.5f, 7.5f + dy, 5.0f, 5.0f, hood);
    FillEllipse(img, ox + 16.0f, 5.5f + dy, 3.5f, 2.5f, hoodLight);
    FillPolygon(img,
                {{ox + 16.5f, 6.0f + dy},
                 {ox + 21.5f, 6.0f + dy},
                 {ox + 22.0f, 10.5f + dy},
                 {ox + 18.0f, 12.0f + dy},
                 {ox + 16.5f, 10.0f + dy}},
                skin);
    FillRect(img, {ox + 16, 5 + dy, 6, 1}, hood);
    img.Set(ox + 19, 7 + dy, Rgb(0x1a1a2a));
    img.Set(ox + 19, 8 + dy, Rgb(0x1a1a2a));
    img.Set(ox + 22, 9 + dy, skin);
}

void DrawBowArm(Image& img, int ox, int dy) {
    const float cx = ox + 19.0f, cy = 15.5f + dy;
    DrawArc(img, cx, cy, 6.0f, -70.0f, 70.0f, 2, Rgb(0x8b5226));
    DrawArc(img, cx, cy, 6.0f, -40.0f, 40.0f, 1, Rgb(0xd0904a));
    const int tipTop = static_cast<int>(cy - 6.5f), tipBottom = static_cast<int>(cy + 6.5f);
    DrawLine(img, ox + 21, tipTop, ox + 21, tipBottom, Rgb(0xeee6d0));
    FillPolygon(
        img, {{ox + 17.0f, 12.5f + dy}, {ox + 25.0f, 14.0f + dy}, {ox + 25.0f, 16.0f + dy}, {ox + 17.0f, 15.5f + dy}},
        Rgb(0x3f9a3c));
    FillRect(img, {ox + 24, 14 + dy, 2, 2}, Rgb(0xf0b88a));
}

}  // namespace

Image MakePlayer() {
    Image img(96, 96);
    for (int f = 0; f < kFrames; ++f) {
        const int ox = f * kFrame;
        const Stride& s = kStrides[f];
        const int dy = -s.lift;
        DrawLeg(img, ox, 14.5f, s.farFoot, 21 + dy, Rgb(0x4a3426), Rgb(0x2a1a12));
        DrawJetpack(img, ox, dy);
        DrawTorso(img, ox, dy);
        DrawLeg(img, ox, 17.0f, s.nearFoot, 21 + dy, Rgb(0x6e4c32), Rgb(0x3e2616));
        DrawHead(img, ox, dy);
        DrawBowArm(img, ox, dy);
        Outline(img, {ox, 0, kFrame, kFrame}, pal::kInk);
    }
    return img;
}

// ---- exit portal ----------------------------------------------------------

namespace {

bool InsideArch(float x, float y, float cx, float top, float halfW, float bottom) {
    if (y > bottom) return false;
    if (y >= top + halfW) return std::fabs(x - cx) <= halfW;
    const float dx = x - cx, dy = y - (top + halfW);
    return dx * dx + dy * dy <= halfW * halfW;
}

Rgba SwirlColour(float x, float y, int frame) {
    static const Rgba kBands[] = {Rgb(0x58e8ff), Rgb(0x8a5cff), Rgb(0xd45cff), Rgb(0x3a2a9a)};
    const float dx = x - 16.0f, dy = y - 19.0f;
    const float r = std::sqrt(dx * dx + dy * dy);
    if (r < 2.5f) return Rgb(0xffffff);
    const float turn = std::atan2(dy, dx) / (2 * kPi);
    const int band = static_cast<int>(std::floor(turn * 2 + r * 0.35f - frame * 0.67f));
    return kBands[((band % 4) + 4) % 4];
}

}  // namespace

Image MakeExitPortal() {
    Image img(96, 32);
    const Rgba stone = Rgb(0xa86a3c), stoneDark = Rgb(0x6e3f22), gold = Rgb(0xf2c84a);
    for (int f = 0; f < kFrames; ++f) {
        const int ox = f * kFrame;
        for (int y = 0; y < kFrame; ++y) {
            for (int x = 0; x < kFrame; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                if (InsideArch(px, py, 16, 8, 8, 31)) {
                    img.Set(ox + x, y, SwirlColour(px, py, f));
                } else if (InsideArch(px, py, 16, 2, 13, 31)) {
                    const bool joint = (y % 6 == 0) || ((x + (y / 6) * 3) % 7 == 0);
                    img.Set(ox + x, y, joint ? stoneDark : stone);
                }
            }
        }
        FillRect(img, {ox + 14, 2, 4, 4}, gold);
        FillRect(img, {ox + 15, 3, 2, 2}, Rgb(0xfff0a0));
        const int sparkle = 9 + f * 5;
        img.Set(ox + sparkle, 14 + f * 3, Rgb(0xffffff));
        img.Set(ox + 30 - sparkle, 24 - f * 2, Rgb(0xffffff));
        Outline(img, {ox, 0, kFrame, kFrame}, pal::kInk);
    }
    return img;
}

// ---- icon and bars ----------------------------------------------------------

// The frame is drawn at each size; the archer is enlarged by whole pixels only, the most that fits.
Image MakeIcon(const Image& player, int size) {
    const int border = size * 3 / 64;
    const Rect archer{4, 2, 28, 29};
    const int scale = size / kFrame;
    Image img(size, size);
    FillRoundRect(img, {0, 0, size, size}, size * 10 / 64, Rgb(0xc98444));
    FillRoundRect(img, {border, border, size - 2 * border, size - 2 * border}, size / 8, Rgb(0x2a1d36));
    Blit(img, player, archer, (size - archer.w * scale) / 2, (size - archer.h * scale) / 2, scale);
    return img;
}

namespace {

struct BarColours {
    Rgba light, mid, dark, edge;
};

BarColours ColoursOf(BarTone tone) {
    if (tone == BarTone::Green) return {Rgb(0x9ef08e), Rgb(0x3ecf4a), Rgb(0x2aa23a), Rgb(0x0e3a16)};
    return {Rgb(0xffa08a), Rgb(0xe23b3b), Rgb(0xb02828), Rgb(0x3e0c10)};
}

bool Stripe(int x, int y) { return ((x + y) & 7) < 4; }

}  // namespace

Image MakeHealthTile(BarTone tone) {
    const BarColours c = ColoursOf(tone);
    Image img(32, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 32; ++x) img.Set(x, y, Stripe(x, y) ? c.mid : c.dark);
    return img;
}

Image MakeFuelBar(BarTone tone) {
    const BarColours c = ColoursOf(tone);
    Image img(96, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 96; ++x) {
            Rgba px = Stripe(x, y) ? c.mid : c.dark;
            if (y <= 2) px = Mix(c.light, px, y / 3.0f);
            if (y >= 12) px = Mix(px, c.edge, 0.45f);
            img.Set(x, y, px);
        }
    }
    FrameRect(img, {0, 0, 96, 16}, 1, c.edge);
    return img;
}

}  // namespace art
