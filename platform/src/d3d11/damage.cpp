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

// Keeps only the part of `rect` no rectangle of the set has yet, in up to four pieces per rectangle it meets.
void Damage::Add(const PixelRect& rect) {
    if (rect.Empty()) return;
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
    for (const PixelRect& r : rects_) {
        box = {std::min(box.left, r.left), std::min(box.top, r.top), std::max(box.right, r.right),
               std::max(box.bottom, r.bottom)};
    }
    rects_.assign(1, box);
}

}  // namespace platform
