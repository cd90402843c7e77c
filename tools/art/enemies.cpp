#include <cmath>
#include <functional>

#include "draw.h"
#include "palette.h"
#include "sprites.h"

namespace art {

namespace {

constexpr float kPi = 3.14159265f;

using Painter = std::function<void(Image& frameImage, int frame)>;

Point At(float x, float y) { return {x, y}; }

// Mirror about the frame's vertical centre line.
Point Mirrored(Point p) { return {kFrame - p.x, p.y}; }

void FillBothSides(Image& img, const std::vector<Point>& left, Rgba c) {
    std::vector<Point> right;
    for (const Point& p : left) right.push_back(Mirrored(p));
    FillPolygon(img, left, c);
    FillPolygon(img, right, c);
}

Point Lerp(Point a, Point b, float t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

// A wing blade from root to tip, widest a little past the middle.
std::vector<Point> LeafShape(Point root, Point tip, float halfWidth) {
    const float dx = tip.x - root.x, dy = tip.y - root.y;
    const float len = std::sqrt(dx * dx + dy * dy);
    const Point n = {-dy / len * halfWidth, dx / len * halfWidth};
    const Point mid = Lerp(root, tip, 0.55f);
    return {root, {mid.x + n.x, mid.y + n.y}, tip, {mid.x - n.x, mid.y - n.y}};
}

// ---- bat ----
void PaintBat(Image& img, int frame) {
    static const float kTipY[kFrames] = {3, 12, 23};
    const Rgba membrane = Rgb(0x4c2a6e), bone = Rgb(0x9a66c4), body = Rgb(0x7a44a8);
    const Point shoulder = At(12, 12), hip = At(13, 19), tip = At(1, kTipY[frame]);
    const Point a = Lerp(tip, hip, 0.3f), b = Lerp(tip, hip, 0.55f), c = Lerp(tip, hip, 0.8f);
    FillBothSides(img, {shoulder, tip, {a.x, a.y + 3}, b, {c.x, c.y + 3}, hip}, membrane);
    for (const Point& end : {tip, Point{a.x, a.y + 3}, Point{c.x, c.y + 3}}) {
        DrawLine(img, static_cast<int>(shoulder.x), static_cast<int>(shoulder.y), static_cast<int>(end.x),
                 static_cast<int>(end.y), bone);
        const Point m = Mirrored(shoulder), e = Mirrored(end);
        DrawLine(img, static_cast<int>(m.x) - 1, static_cast<int>(m.y), static_cast<int>(e.x) - 1,
                 static_cast<int>(e.y), bone);
    }
    FillBothSides(img, {At(11.5f, 12), At(12.5f, 5), At(15, 11)}, body);
    FillEllipse(img, 16, 16, 5, 6.5f, body);
    FillEllipse(img, 16, 18, 3, 3.5f, Rgb(0x9a66c4));
    FillRect(img, {13, 13, 2, 2}, Rgb(0xffe04a));
    FillRect(img, {17, 13, 2, 2}, Rgb(0xffe04a));
    img.Set(14, 20, Rgb(0xffffff));
    img.Set(17, 20, Rgb(0xffffff));
}

// ---- wasp ----
void PaintWasp(Image& img, int frame) {
    static const Point kWingTip[kFrames] = {{13, 1}, {4, 5}, {3, 11}};
    const Rgba wing = Rgb(0xd6ecff), vein = Rgb(0x8fb4d8);
    const Rgba yellow = Rgb(0xf6c42c), black = Rgb(0x2a2118);
    FillEllipse(img, 11, 18, 8, 5.5f, yellow);
    for (int y = 12; y < 24; ++y)
        for (int x = 6; x < 16; ++x)
            if (img.At(x, y).a != 0 && (x - 6) % 4 < 2) img.Set(x, y, black);
    FillPolygon(img, {At(3.5f, 16.5f), At(0, 18.5f), At(3.5f, 20)}, black);
    FillEllipse(img, 20, 16, 4, 4, Rgb(0xe0a020));
    FillEllipse(img, 25.5f, 15, 4, 4, black);
    FillEllipse(img, 26.5f, 14, 2, 2.5f, Rgb(0xe83a2a));
    DrawLine(img, 26, 11, 29, 6, black);
    DrawLine(img, 20, 20, 18, 24, black);
    DrawLine(img, 22, 19, 22, 24, black);
    const Point root = At(19, 12), tip = At(kWingTip[frame].x, kWingTip[frame].y);
    FillPolygon(img, LeafShape(root, tip, 4.0f), wing);
    DrawLine(img, static_cast<int>(root.x), static_cast<int>(root.y), static_cast<int>(tip.x), static_cast<int>(tip.y),
             vein);
}

// ---- ghost ----
void PaintGhost(Image& img, int frame) {
    const Rgba body = Rgb(0xc8f0f4), shade = Rgb(0x86c4d8), eye = Rgb(0x1d2438);
    static const float kArmY[kFrames] = {11, 15, 19};
    FillEllipse(img, 16, 13, 8, 8, body);
    FillRect(img, {8, 13, 16, 12}, body);
    for (int i = 0; i < 4; ++i) {
        const float cx = 9 + i * 4.67f + (frame - 1) * 1.5f;
        FillEllipse(img, cx, 25, 2.4f, 3.5f, body);
    }
    FillRect(img, {8, 22, 2, 3}, shade);
    FillEllipse(img, 12.5f, 6.5f, 2, 1.5f, Rgb(0xffffff));
    FillBothSides(img, {At(8.5f, 14), At(3, kArmY[frame]), At(8.5f, 18)}, body);
    FillEllipse(img, 13, 13, 1.6f, 2.6f, eye);
    FillEllipse(img, 19, 13, 1.6f, 2.6f, eye);
    FillEllipse(img, 16, 19, 1.6f, 1.8f, eye);
}

// ---- winged eye ----
void PaintEye(Image& img, int frame) {
    static const float kBase[kFrames] = {215, 180, 145};
    const Rgba feather[] = {Rgb(0xf2d070), Rgb(0xd8a640), Rgb(0xb07a2a)};
    for (int i = 0; i < 3; ++i) {
        const float ang = (kBase[frame] + i * 22.0f) * kPi / 180.0f;
        const float len = 11.0f - i * 1.5f;
        const Point root = At(11, 16);
        const Point tip = {root.x + len * std::cos(ang), root.y + len * std::sin(ang)};
        const Point normal = {-std::sin(ang) * 2.2f, std::cos(ang) * 2.2f};
        FillBothSides(img, {{root.x + normal.x, root.y + normal.y}, tip, {root.x - normal.x, root.y - normal.y}},
                      feather[i]);
    }
    FillEllipse(img, 16, 16, 7.5f, 7.5f, Rgb(0xf4eee4));
    FillEllipse(img, 16, 18, 6, 4.5f, Rgb(0xdcd2c6));
    FillEllipse(img, 16, 15.5f, 6.5f, 6, Rgb(0xf4eee4));
    DrawLine(img, 10, 17, 12, 16, Rgb(0xd04848));
    DrawLine(img, 21, 20, 19, 18, Rgb(0xd04848));
    FillEllipse(img, 17, 16, 3.8f, 3.8f, Rgb(0xc8282e));
    FillEllipse(img, 17, 16, 1.8f, 1.8f, Rgb(0x100810));
    img.Set(15, 14, Rgb(0xffffff));
}

// ---- fire sprite ----
void PaintFire(Image& img, int frame) {
    const float sway = (frame - 1) * 2.5f;
    static const float kLickY[kFrames] = {8, 13, 18};
    FillBothSides(img, {At(10, 15), At(2, kLickY[frame]), At(10, 21)}, pal::kFlameRed);
    FillBothSides(img, {At(10, 16.5f), At(5, kLickY[frame] + 2), At(10, 19.5f)}, pal::kFlameOrange);
    FillEllipse(img, 16, 21, 8, 8, pal::kFlameRed);
    FillPolygon(img, {At(8.5f, 19), At(16 + sway, 1), At(23.5f, 19)}, pal::kFlameRed);
    FillEllipse(img, 16, 21.5f, 6, 6, pal::kFlameOrange);
    FillPolygon(img, {At(10.5f, 20), At(16 + sway * 0.6f, 6), At(21.5f, 20)}, pal::kFlameOrange);
    FillEllipse(img, 16, 22.5f, 4, 4.5f, pal::kFlameYellow);
    FillRect(img, {13, 19, 2, 3}, Rgb(0x3a1008));
    FillRect(img, {18, 19, 2, 3}, Rgb(0x3a1008));
    DrawLine(img, 14, 24, 18, 24, Rgb(0x3a1008));
}

// ---- dragonfly ----
void PaintDragonfly(Image& img, int frame) {
    static const float kTipY[kFrames] = {1, 9, 19};
    const Rgba wing = Rgb(0xc6f4e4), vein = Rgb(0x6ab8a4);
    const Rgba green = Rgb(0x3cc46a), dark = Rgb(0x1e7a4e);
    for (int w = 0; w < 2; ++w) {
        const Point root = At(18.0f - w * 3, 14);
        const Point tip = {root.x - 10 - w * 3, kTipY[frame] + w * 2};
        FillPolygon(img, LeafShape(root, tip, 2.5f), wing);
        DrawLine(img, static_cast<int>(root.x), static_cast<int>(root.y), static_cast<int>(tip.x),
                 static_cast<int>(tip.y), vein);
    }
    for (int i = 0; i < 6; ++i) FillRect(img, {3 + i * 2 + i, 16, 3, 3}, i % 2 ? dark : green);
    FillEllipse(img, 21, 17, 3.5f, 3.5f, green);
    FillEllipse(img, 26, 16, 3.5f, 3.5f, Rgb(0x2fa8d8));
    FillEllipse(img, 27, 15, 1.2f, 1.2f, Rgb(0xe6fbff));
    DrawLine(img, 20, 20, 19, 24, dark);
    DrawLine(img, 22, 20, 23, 24, dark);
}

// Each frame is painted on its own canvas so wing tips never spill into a neighbour.
Image Strip(const Painter& paint) {
    Image img(kFrames * kFrame, kFrame);
    for (int f = 0; f < kFrames; ++f) {
        Image frame(kFrame, kFrame);
        paint(frame, f);
        Outline(frame, {0, 0, kFrame, kFrame}, pal::kInk);
        Blit(img, frame, {0, 0, kFrame, kFrame}, f * kFrame, 0);
    }
    return img;
}

}  // namespace

std::vector<Image> MakeEnemies() {
    return {Strip(PaintBat), Strip(PaintWasp), Strip(PaintGhost),
            Strip(PaintEye), Strip(PaintFire), Strip(PaintDragonfly)};
}

}  // namespace art
