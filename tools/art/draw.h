#pragma once

#include <vector>

#include "image.h"

namespace art {

struct Point {
    float x, y;
};

struct Rect {
    int x, y, w, h;
};

void FillRect(Image& img, Rect r, Rgba c);
void FrameRect(Image& img, Rect r, int thickness, Rgba c);
// Corners cut in steps, the usual pixel-art rounding.
void FillRoundRect(Image& img, Rect r, int radius, Rgba c);
void FillEllipse(Image& img, float cx, float cy, float rx, float ry, Rgba c);
void FillPolygon(Image& img, const std::vector<Point>& pts, Rgba c);
void DrawLine(Image& img, int x0, int y0, int x1, int y1, Rgba c);
// Arc of a circle, angles in degrees, 0 = right, 90 = down (image rows grow downward).
void DrawArc(Image& img, float cx, float cy, float radius, float fromDeg, float toDeg, int thickness, Rgba c);
// Paints every clear pixel in r that touches an opaque one (4-neighbour) with c.
void Outline(Image& img, Rect r, Rgba c);
// Copies src region (sx, sy, w, h) enlarged by scale, alpha-blended, to (dx, dy).
void Blit(Image& dst, const Image& src, Rect from, int dx, int dy, int scale = 1);

}  // namespace art
