#include "damage.h"

namespace platform {

PixelRect Intersection(const PixelRect& a, const PixelRect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

bool Overlap(const PixelRect& a, const PixelRect& b) { return !Intersection(a, b).Empty(); }

long long Damage::Area() const {
    long long area = 0;
    for (const PixelRect& r : rects_) area += r.Area();
    return area;
}

namespace {

PixelRect Bounds(const PixelRect& a, const PixelRect& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

// Two overlapping or near rectangles are drawn as their bounding box when it adds few pixels: every rectangle costs
// a pass over the frame's draws, every pixel its share of them. On llvmpipe the pixels weigh more than the passes.
bool WorthJoining(const PixelRect& a, const PixelRect& b) {
    const long long covered = a.Area() + b.Area() - Intersection(a, b).Area();
    return Bounds(a, b).Area() - covered <= covered / 8;
}

}  // namespace

// Joins `rect` with a rectangle of the set worth joining, or keeps only the part of it no rectangle of the set has
// yet, in up to four pieces per rectangle it meets.
void Damage::Add(const PixelRect& rect) {
    if (rect.Empty()) return;
    for (size_t i = 0; i < rects_.size(); ++i) {
        if (!WorthJoining(rect, rects_[i])) continue;
        const PixelRect joined = Bounds(rect, rects_[i]);
        rects_.erase(rects_.begin() + long(i));
        Add(joined);
        return;
    }
    std::vector<PixelRect> pieces{rect};
    for (const PixelRect& have : rects_) {
        std::vector<PixelRect> left;
        for (const PixelRect& p : pieces) {
            if (!Overlap(p, have)) {
                left.push_back(p);
                continue;
            }
            const PixelRect in = Intersection(p, have);
            const PixelRect around[4] = {{p.left, p.top, p.right, in.top},
                                         {p.left, in.bottom, p.right, p.bottom},
                                         {p.left, in.top, in.left, in.bottom},
                                         {in.right, in.top, p.right, in.bottom}};
            for (const PixelRect& a : around) {
                if (!a.Empty()) left.push_back(a);
            }
        }
        pieces.swap(left);
        if (pieces.empty()) return;
    }
    for (const PixelRect& p : pieces) Merge(p);
}

void Damage::Merge(const PixelRect& rect) {
    rects_.push_back(rect);
    if (rects_.size() <= kMaxRects) return;
    PixelRect box = rects_.front();
    for (const PixelRect& r : rects_) box = Bounds(box, r);
    rects_.assign(1, box);
}

}  // namespace platform
