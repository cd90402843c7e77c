// The pairing of damage.h; a template because the entries are compared by the caller.
#include <algorithm>

namespace platform {

template <class Same>
std::vector<std::pair<size_t, size_t>> PairInOrder(size_t before, size_t after, Same same) {
    std::vector<std::pair<size_t, size_t>> pairs;
    // Long lists pair by position only: still in order, so still exact, only less precise.
    constexpr size_t kMaxCells = size_t(1) << 20;
    if (before * after > kMaxCells) {
        for (size_t i = 0; i < std::min(before, after); ++i) {
            if (same(i, i)) pairs.emplace_back(i, i);
        }
        return pairs;
    }
    // lengths[i][j]: the longest common subsequence of before[i..] and after[j..].
    const size_t width = after + 1;
    std::vector<uint32_t> lengths((before + 1) * width, 0);
    for (size_t i = before; i-- > 0;) {
        for (size_t j = after; j-- > 0;) {
            uint32_t& cell = lengths[i * width + j];
            cell = same(i, j) ? lengths[(i + 1) * width + j + 1] + 1
                              : std::max(lengths[(i + 1) * width + j], lengths[i * width + j + 1]);
        }
    }
    for (size_t i = 0, j = 0; i < before && j < after;) {
        if (same(i, j) && lengths[i * width + j] == lengths[(i + 1) * width + j + 1] + 1) {
            pairs.emplace_back(i++, j++);
        } else if (lengths[(i + 1) * width + j] >= lengths[i * width + j + 1]) {
            ++i;
        } else {
            ++j;
        }
    }
    return pairs;
}

}  // namespace platform
