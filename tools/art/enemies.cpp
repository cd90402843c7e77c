#include <cmath>
#include <functional>

#include "draw.hpp"
#include "palette.hpp"
#include "sprites.hpp"

namespace art {

namespace {

constexpr float kPi = 3.14159265f;

using Painter = std::function<void(Image& frameImage, int frame)>;

Point at(float x, float y) { return {x, y}; }

// Mirror about the frame's vertical centre line.
Point mirrored(Point p) { return {kFrame - p.x, p.y}; }

void fillBothSides(Image& img, const std::vector<Point>& left, Rgba c) {
    std::vector<Point> right;
    for (const Point& p : left) right.push_back(mirrored(p));
    fillPolygon(img, left, c);
    fillPolygon(img, right, c);
}

Point lerp(Point a, Point b, float t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

// A wing blade from root to tip, widest a little past the middle.
std::vector<Point> leafShape(Point root, Point tip, float halfWidth) {
    const float dx = tip.x - root.x, dy = tip.y - root.y;
    const float len = std::sqrt(dx * dx + dy * dy);
    const Point n = {-dy / len * halfWidth, dx / len * halfWidth};
    const Point mid = lerp(root, tip, 0.55f);
    return {root, {mid.x + n.x, mid.y + n.y}, tip, {mid.x - n.x, mid.y - n.y}};
}

// ---- bat ----
void paintBat(Image& img, int frame) {
    static const float tipY[kFrames] = {3, 12, 23};
    const Rgba membrane = rgb(0x4c2a6e), bone = rgb(0x9a66c4), body = rgb(0x7a44a8);
    const Point shoulder = at(12, 12), hip = at(13, 19), tip = at(1, tipY[frame]);
    const Point a = lerp(tip, hip, 0.3f), b = lerp(tip, hip, 0.55f), c = lerp(tip, hip, 0.8f);
    fillBothSides(img, {shoulder, tip, {a.x, a.y + 3}, b, {c.x, c.y + 3}, hip}, membrane);
    for (const Point& end : {tip, Point{a.x, a.y + 3}, Point{c.x, c.y + 3}}) {
        drawLine(img, static_cast<int>(shoulder.x), static_cast<int>(shoulder.y), static_cast<int>(end.x),
                 static_cast<int>(end.y), bone);
        const Point m = mirrored(shoulder), e = mirrored(end);
        drawLine(img, static_cast<int>(m.x) - 1, static_cast<int>(m.y), static_cast<int>(e.x) - 1,
                 static_cast<int>(e.y), bone);
    }
    fillBothSides(img, {at(11.5f, 12), at(12.5f, 5), at(15, 11)}, body);
    fillEllipse(img, 16, 16, 5, 6.5f, body);
    fillEllipse(img, 16, 18, 3, 3.5f, rgb(0x9a66c4));
    fillRect(img, {13, 13, 2, 2}, rgb(0xffe04a));
    fillRect(img, {17, 13, 2, 2}, rgb(0xffe04a));
    img.set(14, 20, rgb(0xffffff));
    img.set(17, 20, rgb(0xffffff));
}

// ---- wasp ----
void paintWasp(Image& img, int frame) {
    static const Point wingTip[kFrames] = {{13, 1}, {4, 5}, {3, 11}};
    const Rgba wing = rgb(0xd6ecff), vein = rgb(0x8fb4d8);
    const Rgba yellow = rgb(0xf6c42c), black = rgb(0x2a2118);
    fillEllipse(img, 11, 18, 8, 5.5f, yellow);
    for (int y = 12; y < 24; ++y)
        for (int x = 6; x < 16; ++x)
            if (img.at(x, y).a != 0 && (x - 6) % 4 < 2) img.set(x, y, black);
    fillPolygon(img, {at(3.5f, 16.5f), at(0, 18.5f), at(3.5f, 20)}, black);
    fillEllipse(img, 20, 16, 4, 4, rgb(0xe0a020));
    fillEllipse(img, 25.5f, 15, 4, 4, black);
    fillEllipse(img, 26.5f, 14, 2, 2.5f, rgb(0xe83a2a));
    drawLine(img, 26, 11, 29, 6, black);
    drawLine(img, 20, 20, 18, 24, black);
    drawLine(img, 22, 19, 22, 24, black);
    const Point root = at(19, 12), tip = at(wingTip[frame].x, wingTip[frame].y);
    fillPolygon(img, leafShape(root, tip, 4.0f), wing);
    drawLine(img, static_cast<int>(root.x), static_cast<int>(root.y), static_cast<int>(tip.x), static_cast<int>(tip.y),
             vein);
}

// ---- ghost ----
void paintGhost(Image& img, int frame) {
    const Rgba body = rgb(0xc8f0f4), shade = rgb(0x86c4d8), eye = rgb(0x1d2438);
    static const float armY[kFrames] = {11, 15, 19};
    fillEllipse(img, 16, 13, 8, 8, body);
    fillRect(img, {8, 13, 16, 12}, body);
    for (int i = 0; i < 4; ++i) {
        const float cx = 9 + i * 4.67f + (frame - 1) * 1.5f;
        fillEllipse(img, cx, 25, 2.4f, 3.5f, body);
    }
    fillRect(img, {8, 22, 2, 3}, shade);
    fillEllipse(img, 12.5f, 6.5f, 2, 1.5f, rgb(0xffffff));
    fillBothSides(img, {at(8.5f, 14), at(3, armY[frame]), at(8.5f, 18)}, body);
    fillEllipse(img, 13, 13, 1.6f, 2.6f, eye);
    fillEllipse(img, 19, 13, 1.6f, 2.6f, eye);
    fillEllipse(img, 16, 19, 1.6f, 1.8f, eye);
}

// ---- winged eye ----
void paintEye(Image& img, int frame) {
    static const float base[kFrames] = {215, 180, 145};
    const Rgba feather[] = {rgb(0xf2d070), rgb(0xd8a640), rgb(0xb07a2a)};
    for (int i = 0; i < 3; ++i) {
        const float ang = (base[frame] + i * 22.0f) * kPi / 180.0f;
        const float len = 11.0f - i * 1.5f;
        const Point root = at(11, 16);
        const Point tip = {root.x + len * std::cos(ang), root.y + len * std::sin(ang)};
        const Point normal = {-std::sin(ang) * 2.2f, std::cos(ang) * 2.2f};
        fillBothSides(img, {{root.x + normal.x, root.y + normal.y}, tip, {root.x - normal.x, root.y - normal.y}},
                      feather[i]);
    }
    fillEllipse(img, 16, 16, 7.5f, 7.5f, rgb(0xf4eee4));
    fillEllipse(img, 16, 18, 6, 4.5f, rgb(0xdcd2c6));
    fillEllipse(img, 16, 15.5f, 6.5f, 6, rgb(0xf4eee4));
    drawLine(img, 10, 17, 12, 16, rgb(0xd04848));
    drawLine(img, 21, 20, 19, 18, rgb(0xd04848));
    fillEllipse(img, 17, 16, 3.8f, 3.8f, rgb(0xc8282e));
    fillEllipse(img, 17, 16, 1.8f, 1.8f, rgb(0x100810));
    img.set(15, 14, rgb(0xffffff));
}

// ---- fire sprite ----
void paintFire(Image& img, int frame) {
    const float sway = (frame - 1) * 2.5f;
    static const float lickY[kFrames] = {8, 13, 18};
    fillBothSides(img, {at(10, 15), at(2, lickY[frame]), at(10, 21)}, pal::kFlameRed);
    fillBothSides(img, {at(10, 16.5f), at(5, lickY[frame] + 2), at(10, 19.5f)}, pal::kFlameOrange);
    fillEllipse(img, 16, 21, 8, 8, pal::kFlameRed);
    fillPolygon(img, {at(8.5f, 19), at(16 + sway, 1), at(23.5f, 19)}, pal::kFlameRed);
    fillEllipse(img, 16, 21.5f, 6, 6, pal::kFlameOrange);
    fillPolygon(img, {at(10.5f, 20), at(16 + sway * 0.6f, 6), at(21.5f, 20)}, pal::kFlameOrange);
    fillEllipse(img, 16, 22.5f, 4, 4.5f, pal::kFlameYellow);
    fillRect(img, {13, 19, 2, 3}, rgb(0x3a1008));
    fillRect(img, {18, 19, 2, 3}, rgb(0x3a1008));
    drawLine(img, 14, 24, 18, 24, rgb(0x3a1008));
}

// ---- dragonfly ----
void paintDragonfly(Image& img, int frame) {
    static const float tipY[kFrames] = {1, 9, 19};
    const Rgba wing = rgb(0xc6f4e4), vein = rgb(0x6ab8a4);
    const Rgba green = rgb(0x3cc46a), dark = rgb(0x1e7a4e);
    for (int w = 0; w < 2; ++w) {
        const Point root = at(18.0f - w * 3, 14);
        const Point tip = {root.x - 10 - w * 3, tipY[frame] + w * 2};
        fillPolygon(img, leafShape(root, tip, 2.5f), wing);
        drawLine(img, static_cast<int>(root.x), static_cast<int>(root.y), static_cast<int>(tip.x),
                 static_cast<int>(tip.y), vein);
    }
    for (int i = 0; i < 6; ++i) fillRect(img, {3 + i * 2 + i, 16, 3, 3}, i % 2 ? dark : green);
    fillEllipse(img, 21, 17, 3.5f, 3.5f, green);
    fillEllipse(img, 26, 16, 3.5f, 3.5f, rgb(0x2fa8d8));
    fillEllipse(img, 27, 15, 1.2f, 1.2f, rgb(0xe6fbff));
    drawLine(img, 20, 20, 19, 24, dark);
    drawLine(img, 22, 20, 23, 24, dark);
}

// Each frame is painted on its own canvas so wing tips never spill into a neighbour.
Image strip(const Painter& paint) {
    Image img(kFrames * kFrame, kFrame);
    for (int f = 0; f < kFrames; ++f) {
        Image frame(kFrame, kFrame);
        paint(frame, f);
        outline(frame, {0, 0, kFrame, kFrame}, pal::kInk);
        blit(img, frame, {0, 0, kFrame, kFrame}, f * kFrame, 0);
    }
    return img;
}

}  // namespace

std::vector<Image> makeEnemies() {
    return {strip(paintBat), strip(paintWasp), strip(paintGhost),
            strip(paintEye), strip(paintFire), strip(paintDragonfly)};
}

}  // namespace art
