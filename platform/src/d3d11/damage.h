// What changed between two frames drawn into the same picture: rectangles of pixels, and the pairing of two
// frames' lists of clears and draws that finds them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace platform {

// Pixels [left, right) x [top, bottom), rows top-down as Direct3D counts them.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
    long long Area() const { return Empty() ? 0 : (long long)(right - left) * (bottom - top); }
};
PixelRect Intersection(const PixelRect& a, const PixelRect& b);
bool Overlap(const PixelRect& a, const PixelRect& b);

// A set of pixels kept as rectangles that do not overlap, so drawing each of them once draws every pixel once.
class Damage {
public:
    void Add(const PixelRect& rect);
    const std::vector<PixelRect>& Rects() const { return rects_; }
    bool Empty() const { return rects_.empty(); }
    long long Area() const;

private:
    // Past this many pieces the set becomes their bounding box: more pixels, never fewer.
    static constexpr size_t kMaxRects = 48;
    void Merge(const PixelRect& rect);
    std::vector<PixelRect> rects_;
};

// Pairs entries of two lists that are equal and in the same order in both (a longest common subsequence). An
// entry left unpaired changed, appeared or went away; every pixel that no unpaired entry touches saw the same
// operations in the same order in both lists. `same(i, j)` compares before[i] with after[j].
template <class Same>
std::vector<std::pair<size_t, size_t>> PairInOrder(size_t before, size_t after, Same same);

}  // namespace platform

#include "damage_pairing.inl"
