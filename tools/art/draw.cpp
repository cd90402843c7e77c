#include "draw.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace art {

namespace {

constexpr float kPi = 3.14159265f;

bool OpaqueAt(const Image& img, int x, int y) { return img.Contains(x, y) && img.At(x, y).a != 0; }

}  // namespace

void FillRect(Image& img, Rect r, Rgba c) {
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) img.Blend(x, y, c);
}

void FrameRect(Image& img, Rect r, int t, Rgba c) {
    FillRect(img, {r.x, r.y, r.w, t}, c);
    FillRect(img, {r.x, r.y + r.h - t, r.w, t}, c);
    FillRect(img, {r.x, r.y + t, t, r.h - 2 * t}, c);
    FillRect(img, {r.x + r.w - t, r.y + t, t, r.h - 2 * t}, c);
}

void FillRoundRect(Image& img, Rect r, int radius, Rgba c) {
    for (int row = 0; row < r.h; ++row) {
        const int fromEdge = std::min(row, r.h - 1 - row);
        int inset = 0;
        if (fromEdge < radius) {
            const float dy = static_cast<float>(radius - fromEdge) - 0.5f;
            const float rr = static_cast<float>(radius);
            inset = radius - static_cast<int>(std::sqrt(std::max(0.0f, rr * rr - dy * dy)) + 0.5f);
        }
        FillRect(img, {r.x + inset, r.y + row, r.w - 2 * inset, 1}, c);
    }
}

void FillEllipse(Image& img, float cx, float cy, float rx, float ry, Rgba c) {
    const int x0 = static_cast<int>(std::floor(cx - rx)), x1 = static_cast<int>(std::ceil(cx + rx));
    const int y0 = static_cast<int>(std::floor(cy - ry)), y1 = static_cast<int>(std::ceil(cy + ry));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
            if (dx * dx + dy * dy <= 1.0f) img.Blend(x, y, c);
        }
    }
}

// Scanline fill sampling pixel centres, even-odd rule.
void FillPolygon(Image& img, const std::vector<Point>& pts, Rgba c) {
    if (pts.size() < 3) return;
    float minY = pts[0].y, maxY = pts[0].y;
    for (const Point& p : pts) {
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    std::vector<float> xs;
    for (int y = static_cast<int>(std::floor(minY)); y <= static_cast<int>(std::ceil(maxY)); ++y) {
        const float sy = y + 0.5f;
        xs.clear();
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const Point& a = pts[i];
            const Point& b = pts[(i + 1) % pts.size()];
            if ((a.y <= sy) != (b.y <= sy)) xs.push_back(a.x + (sy - a.y) / (b.y - a.y) * (b.x - a.x));
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
            for (int x = static_cast<int>(std::ceil(xs[i] - 0.5f)); x + 0.5f < xs[i + 1]; ++x) img.Blend(x, y, c);
        }
    }
}

void DrawLine(Image& img, int x0, int y0, int x1, int y1, Rgba c) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        img.Blend(x0, y0, c);
        if (x0 == x1 && y0 == y1) return;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void DrawArc(Image& img, float cx, float cy, float radius, float fromDeg, float toDeg, int thickness, Rgba c) {
    // Points are collected first so overlapping samples never blend twice.
    std::vector<std::pair<int, int>> dots;
    const int steps = static_cast<int>(std::fabs(toDeg - fromDeg) * radius / 20.0f) + 8;
    for (int i = 0; i <= steps; ++i) {
        const float a = (fromDeg + (toDeg - fromDeg) * i / steps) * kPi / 180.0f;
        for (int t = 0; t < thickness; ++t) {
            const float r = radius + t;
            dots.emplace_back(static_cast<int>(std::floor(cx + r * std::cos(a))),
                              static_cast<int>(std::floor(cy + r * std::sin(a))));
        }
    }
    std::sort(dots.begin(), dots.end());
    dots.erase(std::unique(dots.begin(), dots.end()), dots.end());
    for (const auto& [x, y] : dots) img.Blend(x, y, c);
}

void Outline(Image& img, Rect r, Rgba c) {
    std::vector<Point> rim;
    for (int y = r.y; y < r.y + r.h; ++y) {
        for (int x = r.x; x < r.x + r.w; ++x) {
            if (OpaqueAt(img, x, y)) continue;
            auto inside = [&](int nx, int ny) {
                return nx >= r.x && ny >= r.y && nx < r.x + r.w && ny < r.y + r.h && OpaqueAt(img, nx, ny);
            };
            if (inside(x - 1, y) || inside(x + 1, y) || inside(x, y - 1) || inside(x, y + 1))
                rim.push_back({static_cast<float>(x), static_cast<float>(y)});
        }
    }
    for (const Point& p : rim) img.Set(static_cast<int>(p.x), static_cast<int>(p.y), c);
}

void Blit(Image& dst, const Image& src, Rect from, int dx, int dy, int scale) {
    for (int y = 0; y < from.h * scale; ++y)
        for (int x = 0; x < from.w * scale; ++x)
            dst.Blend(dx + x, dy + y, src.At(from.x + x / scale, from.y + y / scale));
}

}  // namespace art
